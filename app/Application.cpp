#include "app/Application.h"

#include <QtCore/qglobal.h>

// Outside any namespace, as Q_INIT_RESOURCE needs.
static void initResources() { Q_INIT_RESOURCE(kelvo); }

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMessageBox>
#include <cstdio>

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/OrientationGrid.h"
#include "app/PopupWindow.h"
#include "app/SheetDocument.h"
#include "app/SheetWindow.h"
#include "device/HelpPage.h"
#include "platform/PageFile.h"
#include "platform/PageMimeData.h"
#include "platform/SpoolerPrintService.h"
#include "render/ComposePage.h"

namespace {

// Marks a box as waiting for as long as it lives.
class BoxGuard {
public:
    explicit BoxGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~BoxGuard() { flag_ = false; }
    BoxGuard(const BoxGuard&) = delete;
    BoxGuard& operator=(const BoxGuard&) = delete;

private:
    bool& flag_;
};

// A whole number as the line's value, its display text built anew.
void setWholeValue(DataLine& line, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    buildLine(line, line.name, text);
}

} // namespace

Application::Application() : spooler_(std::make_unique<SpoolerPrintService>())
{
    initResources();
    mainWindow_ = std::make_unique<MainWindow>();
    mainWindow_->installEventFilter(this);
    mainWindow_->setAcceptDrops(true);
    document_ = std::make_unique<SheetDocument>(sheets_, *mainWindow_);
    connectCommands();
    connectFileCommands();
}

// The windows go first, while everything their going touches still lives.
Application::~Application()
{
    document_.reset();
    mainWindow_.reset();
}

SheetWindow* Application::functionSheetWindow() const { return fdataWindow_; }
SheetWindow* Application::settingsSheetWindow() const { return sdataWindow_; }
SheetWindow* Application::styleSheetWindow() const { return styleWindow_; }
PopupWindow* Application::plotWindow() const { return plotWindow_; }
PopupWindow* Application::orientationWindow() const { return orientationWindow_; }
PopupWindow* Application::helpWindow() const { return helpWindow_; }

void Application::connectCommands()
{
    const MainWindow::Commands& menu = mainWindow_->commands();
    connect(menu.exit, &QAction::triggered, mainWindow_.get(), &QWidget::close);
    connect(menu.fdata, &QAction::triggered, this, &Application::openFunctionSheet);
    connect(menu.gdata, &QAction::triggered, this, &Application::openSettingsSheet);
    connect(menu.style, &QAction::triggered, this, &Application::openStyleSheet);
    connect(menu.screen, &QAction::triggered, this, &Application::openPlotWindow);
    connect(menu.print, &QAction::triggered, this, &Application::print);
    connect(menu.orientation, &QAction::triggered, this, &Application::openOrientationWindow);
    connect(menu.help, &QAction::triggered, this, &Application::openHelpWindow);
    connect(menu.about, &QAction::triggered, this, &Application::showAbout);
}

bool Application::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && boxWaiting_) {
        event->ignore();
        return true;
    }
    if (watched == mainWindow_.get() && sheetFileEvent(event))
        return true;
    return QObject::eventFilter(watched, event);
}

PopupWindow* Application::openPopup(const QString& caption, QSize size, QWidget* owner)
{
    auto* popup = new PopupWindow(caption, size, owner);
    popup->installEventFilter(this);
    return popup;
}

void Application::openFunctionSheet()
{
    if (fdataWindow_)
        return;
    fdataWindow_ = new SheetWindow("fdata", sheets_.fdata, mainWindow_.get());
    connectEditor(fdataWindow_);
    fdataWindow_->show();
}

void Application::openSettingsSheet()
{
    if (sdataWindow_)
        return;
    sdataWindow_ = new SheetWindow("Gdata", sheets_.sdata, mainWindow_.get());
    connectEditor(sdataWindow_);
    sdataWindow_->show();
}

// The style sheet in an editor like the other two.
void Application::openStyleSheet()
{
    if (styleWindow_)
        return;
    styleWindow_ = new SheetWindow("style", sheets_.style, mainWindow_.get());
    connectEditor(styleWindow_);
    styleWindow_->show();
}

void Application::bindDevice(DeviceWindow& window)
{
    if (device_)
        device_->bindWindow(window);
    else
        device_ = std::make_unique<PlotDevice>(window);
    if (!surface_) {
        surface_ = std::make_unique<SurfaceFunction>(sheets_.fdata);
        heights_ = std::make_unique<MeshHeights>();
    }
}

// The new window becomes the plot window; an older one stays on screen,
// deaf to clicks, and its going releases nothing.
void Application::openPlotWindow()
{
    if (boxWaiting_)
        return;
    if (plotWindow_) {
        plotWindow_->disconnect(this);
        for (QAction* action : plotWindow_->actions())
            action->setEnabled(false);
    }
    shownPage_.reset();
    PopupWindow* plot = openPopup("plot", QSize(200, 200), mainWindow_.get());
    connect(plot, &PopupWindow::clicked, this, &Application::plotWindowClicked);
    auto* save = new QAction(QStringLiteral("Save Picture As\u2026"), plot);
    // Ctrl+S saves the sheets from every window; the picture is exported.
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    plot->addAction(save);
    plot->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(save, &QAction::triggered, this, &Application::savePicture);
    auto* copy = new QAction(QStringLiteral("Copy"), plot);
    copy->setShortcut(QKeySequence::Copy);
    plot->addAction(copy);
    connect(copy, &QAction::triggered, this, &Application::copyPicture);
    connect(plot, &QObject::destroyed, this, &Application::releaseDevice);
    plotWindow_ = plot;
    bindDevice(*plot);
    mainWindow_->commands().orientation->setEnabled(true);
    plot->show();
}

// The questions come first, owned by the main window; the page is drawn
// on the printer the user chose, or on the main window when declined.
void Application::print()
{
    if (boxWaiting_)
        return;
    std::unique_ptr<PrinterSession> printer;
    PrinterSession::Opening opening;
    {
        const BoxGuard guard(boxWaiting_);
        opening = PrinterSession::open(spooler_.get(), mainWindow_->page(), printer);
    }
    if (opening == PrinterSession::Opening::Refused)
        return;
    bindDevice(mainWindow_->page());
    tell(composePage(pageContext(sheetAngles(sheets_.sdata)), PageTarget::Printer,
                     std::move(printer)));
}

void Application::openOrientationWindow()
{
    if (!plotWindow_) {
        mainWindow_->commands().orientation->setEnabled(false);
        return;
    }
    if (orientationWindow_)
        return;
    PopupWindow* grid = openPopup("Orientation", QSize(200, 210), plotWindow_);
    grid->setMouseTracking(true);
    connect(grid, &PopupWindow::pointerMoved, this, &Application::orientationPointerMoved);
    connect(grid, &PopupWindow::clicked, this, &Application::orientationWindowClicked);
    connect(grid, &PictureWidget::resized, this, &Application::redrawOrientationGrid);
    orientationWindow_ = grid;
    view_ = sheetAngles(sheets_.sdata);
    grid->show();
    drawOrientationGrid(*grid, view_.tilt, view_.theta);
}

void Application::openHelpWindow()
{
    if (helpWindow_)
        return;
    PopupWindow* help = openPopup("help", QSize(750, 490), mainWindow_.get());
    connect(help, &PopupWindow::clicked, this, &Application::helpWindowClicked);
    helpWindow_ = help;
    help->show();
    drawHelpPage(*help);
}

void Application::showAbout()
{
    showAboutBox(mainWindow_.get());
}

void Application::composeOnScreen()
{
    if (boxWaiting_ || !device_ || !surface_ || !plotWindow_)
        return;
    device_->bindWindow(*plotWindow_);
    screenPageWindow_ = plotWindow_;
    const PageReport report = composePage(pageContext(view_), PageTarget::Screen);
    shownPage_ = ShownPage{sheets_, view_, document_->grid()};
    tell(report);
}

PageContext Application::pageContext(const ViewAngles& view)
{
    return {*device_, sheets_, surface_.get(), view, heights_.get(), document_->grid()};
}

// The page is drawn anew from what the window's picture was drawn from,
// at the window's size, through the code that kelvo-render writes with.
void Application::savePicture()
{
    const QPointer<PopupWindow> plot = plotWindow_;
    if (!plot || !shownPage_ || boxWaiting_)
        return;
    QFileDialog dialog(plot, QStringLiteral("Save Picture As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                           QStringLiteral("PDF document (*.pdf)"),
                           QStringLiteral("HPGL plot (*.hpgl)"),
                           QStringLiteral("Drawing calls (*.calls)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !plot ||
        !shownPage_)
        return;
    const QString path = dialog.selectedFiles().constFirst();
    const PageFileResult result = writePageFile(path.toStdString(), shownPageRequest(*plot));
    if (result.written)
        return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Save Picture As"),
                    QStringLiteral("The picture was not saved to %1: %2")
                        .arg(path, QString::fromStdString(result.error)),
                    QMessageBox::Ok, plot);
    box.exec();
}

// The shown page at the window's size, drawn anew as Save Picture draws
// it; before the first page there is nothing to copy.
void Application::copyPicture()
{
    if (!plotWindow_ || !shownPage_ || boxWaiting_)
        return;
    std::unique_ptr<QMimeData> page = pageMimeData(shownPageRequest(*plotWindow_));
    QGuiApplication::clipboard()->setMimeData(page.release()); // which takes it over
}

PageRequest Application::shownPageRequest(PopupWindow& plot) const
{
    const DeviceRect client = plot.clientRect();
    return PageRequest{shownPage_->sheets, client.right - client.left, client.bottom - client.top,
                       shownPage_->view, shownPage_->grid};
}

// The parse warning belongs to the window of the last screen page, the
// print's note to the main window.
void Application::tell(const PageReport& report)
{
    const BoxGuard guard(boxWaiting_);
    tellPage(report, screenPageWindow_.data(), mainWindow_->page());
}

void Application::plotWindowClicked()
{
    if (boxWaiting_ || !device_ || !surface_)
        return;
    view_ = sheetAngles(sheets_.sdata);
    composeOnScreen();
}

// A page is drawn only when the pointer reaches another snapped angle.
void Application::orientationPointerMoved(QPoint at)
{
    if (boxWaiting_ || !orientationWindow_)
        return;
    // The pointer is in the window's own units, not its picture's pixels.
    const QSize area = orientationWindow_->size();
    const DeviceRect client{0, 0, area.width(), area.height()};
    const int tilt = snapTilt(at.y(), client);
    const int theta = snapTheta(at.x(), client);
    if (tilt == snappedTilt_ && theta == snappedTheta_)
        return;
    snappedTilt_ = tilt;
    snappedTheta_ = theta;
    view_.tilt = snappedTilt_;
    view_.theta = snappedTheta_;
    composeOnScreen();
}

void Application::orientationWindowClicked()
{
    redrawOrientationGrid();
    recordAngles();
}

// A resize clears the grid's picture; it comes back as it was, with the
// marker at the current angles and nothing recorded.
void Application::redrawOrientationGrid()
{
    if (orientationWindow_)
        drawOrientationGrid(*orientationWindow_, view_.tilt, view_.theta);
}

// An open Gdata editor shows the recorded pair too, so that its next
// commit writes them back rather than its older rows.
void Application::recordAngles()
{
    setWholeValue(sheets_.sdata[SettingsLine::tilt], snappedTilt_);
    setWholeValue(sheets_.sdata[SettingsLine::theta], snappedTheta_);
    if (sdataWindow_) {
        sdataWindow_->showLine(SettingsLine::tilt);
        sdataWindow_->showLine(SettingsLine::theta);
    }
    document_->showState();
}

void Application::helpWindowClicked()
{
    drawHelpPage(*helpWindow_);
}

// The plot window went: the device and the surface function go with it,
// and the next Screen or Print makes them anew.
void Application::releaseDevice()
{
    if (device_) {
        device_->finishDrawing();
        device_.reset();
        surface_.reset();
        heights_.reset();
        screenPageWindow_ = nullptr;
    }
}
