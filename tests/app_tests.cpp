// The desktop program through its real widgets: menu actions, mouse
// events on the popups, and the real message boxes, answered as a user
// would answer them.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <cstring>
#include <QFontDatabase>
#include <QStyle>
#include <QTest>
#include <QtTest>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/OrientationGrid.h"
#include "app/PopupWindow.h"
#include "app/MessageBoxWidth.h"
#include "app/SheetWindow.h"
#include "device/HelpPage.h"
#include "sheets/DataSheet.h"
#include "device/RecordingCanvas.h"
#include "platform/QtCanvas.h"
#include "tests/ModalAnswerer.h"

namespace {

void click(QWidget* w, QPoint at = QPoint(5, 5))
{
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

// The pointer moving over a window, as the platform reports it.
void moveOver(QWidget* w, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void closeNow(QWidget* w)
{
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The segments of the pictures drawn in a window.
QStringList segments(const PictureWidget& w)
{
    QStringList lines;
    for (const std::string& call : w.recordedCalls())
        if (call.rfind("line ", 0) == 0)
            lines << QString::fromStdString(call);
    return lines;
}

// Every page begins by filling the whole window.
int pages(const PictureWidget& w)
{
    int n = 0;
    for (const std::string& call : w.recordedCalls())
        n += call.rfind("fill 0 0 ", 0) == 0;
    return n;
}

// The longest text a sheet editor shows: the header's or a row's.
QString longestRow(const DataSheet& sheet)
{
    QString longest;
    for (std::size_t i = 0; i <= entryCount(sheet); ++i)
        if (std::strlen(sheet[i].display) > static_cast<std::size_t>(longest.size()))
            longest = QString::fromLatin1(sheet[i].display);
    return longest;
}

// A window that keeps its pictures in an image at the default resolution,
// pixel for pixel, recording their calls.
class ImageWindow final : public DeviceWindow {
public:
    explicit ImageWindow(QSize size) : image_(size, QImage::Format_RGB32) {}
    DeviceRect clientRect() override { return {0, 0, image_.width(), image_.height()}; }
    Canvas* acquireCanvas() override
    {
        canvas_ = std::make_unique<QtCanvas>(&image_);
        recorder_ = std::make_unique<RecordingCanvas>(*canvas_);
        return recorder_.get();
    }
    void releaseCanvas(Canvas*) override
    {
        for (const RecordedCall& call : recorder_->calls())
            calls.push_back(traceLine(call));
        recorder_.reset();
        canvas_.reset();
    }
    PromptAnswer ask(Prompt, const std::string&, const std::string&) override
    {
        return PromptAnswer::Ok;
    }
    std::vector<std::string> calls;

private:
    QImage image_;
    std::unique_ptr<QtCanvas> canvas_;
    std::unique_ptr<RecordingCanvas> recorder_;
};

// The heights at which the texts of some calls stand.
QList<int> textHeights(const std::vector<std::string>& calls)
{
    QList<int> heights;
    for (const std::string& call : calls)
        if (call.rfind("text ", 0) == 0)
            heights << QString::fromStdString(call).split(' ')[2].toInt();
    return heights;
}

void doubleClickRow(QListWidget* list, int row)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class AppTests : public QObject {
    Q_OBJECT

    std::unique_ptr<Application> app;
    std::unique_ptr<ModalAnswerer> boxes;

    const MainWindow::Commands& menu() { return app->mainWindow().commands(); }

private slots:
    void initTestCase()
    {
        // A queue name makes the Print command ask its question here, if
        // the spooler has it; nothing is printed, every question is declined.
        qputenv("PRINTER", "kelvo-pdf");
    }

    void init()
    {
        boxes = std::make_unique<ModalAnswerer>();
        app = std::make_unique<Application>();
        app->mainWindow().show();
    }

    void cleanup()
    {
        app.reset();
        boxes.reset();
    }

    void menuBarAsTheProgramShowsIt()
    {
        const QList<QAction*> bar = app->mainWindow().menuBar()->actions();
        QStringList texts;
        for (QAction* a : bar)
            texts << a->text();
        QCOMPARE(texts, (QStringList{"&File", "E&xit", "&Data", "&Plot", "&Orientation", "&Help",
                                     "&About"}));
        const QList<QAction*> data = bar[2]->menu()->actions();
        QCOMPARE(data.size(), 5);
        QCOMPARE(data[0]->text(), QString("&Fdata"));
        QVERIFY(data[1]->isSeparator());
        QCOMPARE(data[2]->text(), QString("&Gdata"));
        QVERIFY(data[3]->isSeparator());
        QCOMPARE(data[4]->text(), QString("&Style"));
        const QList<QAction*> plot = bar[3]->menu()->actions();
        QCOMPARE(plot.size(), 3);
        QCOMPARE(plot[0]->text(), QString("&Screen"));
        QVERIFY(plot[1]->isSeparator());
        QCOMPARE(plot[2]->text(), QString("&Print"));
        QVERIFY(!bar[4]->isEnabled());
        QCOMPARE(app->mainWindow().windowTitle(), QString("kelvo"));
    }

    void sheetWindowsOpenOnce()
    {
        menu().fdata->trigger();
        SheetWindow* first = app->functionSheetWindow();
        QVERIFY(first != nullptr);
        QCOMPARE(first->windowTitle(), QString("fdata"));
        QCOMPARE(first->parentWidget(), &app->mainWindow());
        QCOMPARE(first->pos(), QPoint(30, 50));
        QCOMPARE(first->size(), QSize(200, 200));
        menu().fdata->trigger();
        QCOMPARE(app->functionSheetWindow(), first);
        QCOMPARE(first->list()->count(), 6);
        menu().gdata->trigger();
        QCOMPARE(app->settingsSheetWindow()->windowTitle(), QString("Gdata"));
        QCOMPARE(app->settingsSheetWindow()->list()->count(), 15);
        menu().style->trigger();
        SheetWindow* style = app->styleSheetWindow();
        QVERIFY(style != nullptr);
        QCOMPARE(style->windowTitle(), QString("style"));
        QCOMPARE(style->list()->count(), 4);
        menu().style->trigger();
        QCOMPARE(app->styleSheetWindow(), style);
        closeNow(first);
        QVERIFY(app->functionSheetWindow() == nullptr);
        menu().fdata->trigger();
        QVERIFY(app->functionSheetWindow() != nullptr);
    }

    void sheetEditor_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("closeToCommit");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("display");

        QTest::newRow("typing before any double-click rewrites row 0")
            << "Gdata" << -1 << -1 << "x1        = 3" << false << 1 << "3" << "x1        = 3";
        QTest::newRow("a single click does not pick a row")
            << "fdata" << 5 << -1 << "a = 7" << false << 1 << "7" << "a = 7";
        QTest::newRow("a double-click picks a row; closing commits")
            << "fdata" << -1 << 5 << "f(x,y) = x*y" << true << 6 << "x*y" << "f(x,y) = x*y";
        QTest::newRow("a row shorter than name and equals keeps the value")
            << "Gdata" << -1 << -1 << "x1 = 3" << false << 1 << "-2" << "x1 = 3";
        QTest::newRow("a row one short of the value empties it")
            << "Gdata" << -1 << 9 << "tilt      =" << false << 10 << "" << "tilt      =";
        QTest::newRow("the name is never changed, only the display")
            << "Gdata" << -1 << 1 << "y9        = 5" << true << 2 << "5" << "y9        = 5";
        QTest::newRow("a value of 59 characters fits")
            << "Gdata" << -1 << -1 << "x1        = " + QString(59, '9') << false << 1
            << QString(59, '9') << "x1        = " + QString(59, '9');
        QTest::newRow("a longer value is refused whole")
            << "Gdata" << -1 << -1 << "x1        = " + QString(60, '9') << false << 1 << "-2"
            << "x1        = -2";
        QTest::newRow("the edit passes 118 characters; the value is still refused")
            << "Gdata" << -1 << -1 << "x1        = " + QString(200, '9') << true << 1 << "-2"
            << "x1        = -2";
    }

    void sheetEditor()
    {
        QFETCH(QString, sheet);
        QFETCH(int, clicked);
        QFETCH(int, picked);
        QFETCH(QString, typed);
        QFETCH(bool, closeToCommit);
        QFETCH(int, line);
        QFETCH(QString, value);
        QFETCH(QString, display);

        const bool functions = sheet == "fdata";
        (functions ? menu().fdata : menu().gdata)->trigger();
        SheetWindow* editor = functions ? app->functionSheetWindow() : app->settingsSheetWindow();
        DataSheet& data = functions ? app->sheets().fdata : app->sheets().sdata;
        const DataLine before = data[static_cast<std::size_t>(line)];
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QListWidget* list = editor->list();
        QCOMPARE(editor->edit()->text(), list->item(0)->text());
        if (clicked >= 0)
            click(list->viewport(), list->visualItemRect(list->item(clicked)).center());
        if (picked >= 0) {
            doubleClickRow(list, picked);
            QCOMPARE(editor->edit()->text(), list->item(picked)->text());
        }

        editor->edit()->selectAll();
        QTest::keyClicks(editor->edit(), typed);
        QCOMPARE(list->item(line - 1)->text(), typed.left(SheetWindow::bufferLimit));
        QCOMPARE(list->count(), static_cast<int>(entryCount(data)));
        QCOMPARE(QString(data[static_cast<std::size_t>(line)].display), QString(before.display));

        if (closeToCommit)
            closeNow(editor);
        else
            QTest::mouseClick(editor->button(), Qt::LeftButton);
        const DataLine& after = data[static_cast<std::size_t>(line)];
        QCOMPARE(QString(after.value), value);
        QCOMPARE(QString(after.display), display);
        QCOMPARE(QString(after.name), QString(before.name));
    }

    void sheetEditorsShowTheirRowsInFull_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::newRow("fdata") << "fdata";
        QTest::newRow("Gdata") << "Gdata";
    }

    // The list and the edit are as wide as the longest row in the font they
    // show it in, and the edit as tall as its font and frame.
    void sheetEditorsShowTheirRowsInFull()
    {
        QFETCH(QString, sheet);
        const bool functions = sheet == "fdata";
        (functions ? menu().fdata : menu().gdata)->trigger();
        SheetWindow* editor = functions ? app->functionSheetWindow() : app->settingsSheetWindow();
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QListWidget* list = editor->list();
        QLineEdit* edit = editor->edit();
        const QString longest = longestRow(functions ? app->sheets().fdata : app->sheets().sdata);
        const QFontMetrics shown(list->font());
        QVERIFY(list->width() >= shown.horizontalAdvance(longest) +
                                     list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        QVERIFY(edit->width() >= shown.horizontalAdvance(longest));
        QVERIFY(edit->height() >= edit->sizeHint().height());
        QVERIFY(list->height() >= list->count() * list->sizeHintForRow(0));

        // The button, the edit and the list from the top, at one x.
        QCOMPARE(editor->size(), QSize(200, 200));
        QCOMPARE(edit->x(), editor->button()->x());
        QCOMPARE(list->x(), editor->button()->x());
        QVERIFY(editor->button()->geometry().bottom() < edit->y());
        QVERIFY(edit->geometry().bottom() < list->y());
    }

    void sheetEditorGrowsAndShrinksWithItsWindow()
    {
        menu().gdata->trigger();
        SheetWindow* editor = app->settingsSheetWindow();
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        const QSize list = editor->list()->size();
        const QSize edit = editor->edit()->size();
        editor->resize(350, 300);
        QCOMPARE(editor->list()->size(), list + QSize(150, 100));
        QCOMPARE(editor->edit()->size(), edit + QSize(150, 0));
        editor->resize(170, 180);
        QCOMPARE(editor->list()->size(), list - QSize(30, 20));
        QCOMPARE(editor->edit()->size(), edit - QSize(30, 0));
    }

    void returnOnTheHighlightedRowPicksIt()
    {
        menu().fdata->trigger();
        SheetWindow* editor = app->functionSheetWindow();
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QListWidget* list = editor->list();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(editor->edit()->text(), list->item(0)->text()); // moving picks nothing
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(editor->edit()->text(), QString("c = 1"));
        editor->edit()->selectAll();
        QTest::keyClicks(editor->edit(), "c = 4");
        QTest::mouseClick(editor->button(), Qt::LeftButton);
        QCOMPARE(QString(app->sheets().fdata[3].value), QString("4"));
        QCOMPARE(QString(app->sheets().fdata[1].value), QString("5"));
    }

    // A valid expression of 63 characters must not be drawn as the other
    // valid one its first 59 make.
    void aLongValueIsRefusedWithAMessage()
    {
        menu().fdata->trigger();
        SheetWindow* editor = app->functionSheetWindow();
        doubleClickRow(editor->list(), 5);
        const QString row = "f(x,y) = " + QString("x*y+").repeated(15) + "x*1";
        editor->edit()->selectAll();
        QTest::keyClicks(editor->edit(), row);
        QTest::mouseClick(editor->button(), Qt::LeftButton);
        const DataLine& line = app->sheets().fdata[6];
        QCOMPARE(QString(line.value), QString("exp(-(x*x+4*y*y))"));
        QCOMPARE(QString(line.display), QString("f(x,y) = exp(-(x*x+4*y*y))"));
        QCOMPARE(editor->list()->item(5)->text(), row);
        QCOMPARE(boxes->shown.size(), 1);
        QCOMPARE(boxes->shown[0].caption, QString("fdata"));
        QVERIFY(boxes->shown[0].text.contains("f(x,y)"));
        QVERIFY(boxes->shown[0].text.contains("59"));
        QCOMPARE(boxes->shown[0].owner, editor);
        QCOMPARE(boxes->shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void boxesAreAsWideAsTheirCaptions()
    {
        buildLine(app->sheets().fdata[6], "f(x,y)", "2^3^2");
        menu().screen->trigger();
        click(app->plotWindow());
        QCOMPARE(boxes->shown.size(), 1);
        const QString caption = boxes->shown[0].caption;
        QCOMPARE(caption, QString("Parse error: therefore f(x,y) = 0"));
        QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        title.setBold(true);
        QVERIFY2(boxes->shown[0].width >= QFontMetrics(title).horizontalAdvance(caption) + 60,
                 qPrintable(QString::number(boxes->shown[0].width)));
        QVERIFY(boxes->shown[0].width >= captionWidth(caption));
    }

    // The rows of an open Gdata take a recorded pair, so that its commit
    // keeps it; the row being edited keeps its edit.
    void recordedAnglesSurviveAnOpenGdata()
    {
        menu().gdata->trigger();
        SheetWindow* editor = app->settingsSheetWindow();
        editor->edit()->selectAll();
        QTest::keyClicks(editor->edit(), "x1        = 1");
        menu().screen->trigger();
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        grid->resize(360, 180);
        moveOver(grid, QPoint(140, 65));
        click(grid);
        QCOMPARE(editor->list()->item(9)->text(), QString("tilt      = 25"));
        QCOMPARE(editor->list()->item(10)->text(), QString("theta     = -40"));
        QTest::mouseClick(editor->button(), Qt::LeftButton);
        closeNow(editor);
        const DataSheet& sdata = app->sheets().sdata;
        QCOMPARE(QString(sdata[SettingsLine::tilt].value), QString("25"));
        QCOMPARE(QString(sdata[SettingsLine::theta].value), QString("-40"));
        QCOMPARE(QString(sdata[SettingsLine::x1].value), QString("1"));
        QCOMPARE(QString(sdata[SettingsLine::x2].display), QString("x2        = 2"));
    }

    void theGridIsRedrawnOnAResize()
    {
        menu().screen->trigger();
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        QVERIFY(QTest::qWaitForWindowExposed(grid));
        grid->setRecording(true);
        moveOver(grid, QPoint(20, 20));
        const DataLine tilt = app->sheets().sdata[SettingsLine::tilt];
        grid->resize(300, 150);
        QCOMPARE(grid->picture().size(), QSize(300, 150) * grid->devicePixelRatio());
        ImageWindow expected(QSize(300, 150) * grid->devicePixelRatio());
        const DeviceRect opened{0, 0, 200, 210};
        drawOrientationGrid(expected, snapTilt(20, opened), snapTheta(20, opened));
        QCOMPARE(grid->recordedCalls(), expected.calls);
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::tilt].display), QString(tilt.display));
    }

    void shortcutsBesideTheMnemonics()
    {
        QCOMPARE(menu().exit->shortcut(), QKeySequence("Ctrl+Q"));
        QCOMPARE(menu().print->shortcut(), QKeySequence("Ctrl+P"));
        QCOMPARE(menu().help->shortcut(), QKeySequence("F1"));
        QVERIFY(QTest::qWaitForWindowActive(&app->mainWindow()));
        QTest::keyClick(&app->mainWindow(), Qt::Key_F1);
        QVERIFY(app->helpWindow() != nullptr);
    }

    // Run with QT_SCALE_FACTOR=2: the help page at twice the pixels, its
    // lines twice as far apart, as fonts twice as high make them; the grid
    // too, with the pointer mapped as at a ratio of 1.
    void picturesAtTwiceTheScale()
    {
        if (qEnvironmentVariable("QT_SCALE_FACTOR") != "2")
            QSKIP("needs QT_SCALE_FACTOR=2");
        QCOMPARE(app->mainWindow().devicePixelRatio(), 2.0);
        menu().help->trigger();
        PopupWindow* help = app->helpWindow();
        help->setRecording(true);
        click(help);
        QCOMPARE(help->picture().size(), QSize(1500, 980));
        QCOMPARE(help->picture().devicePixelRatio(), 2.0);
        ImageWindow single(QSize(750, 490));
        drawHelpPage(single);
        const QList<int> doubled = textHeights(help->recordedCalls());
        const QList<int> plain = textHeights(single.calls);
        QCOMPARE(doubled.size(), plain.size());
        const int pitch = plain.last() - plain.first();
        QVERIFY(pitch > 0);
        QVERIFY(qAbs(doubled.last() - doubled.first() - 2 * pitch) <= 2 * plain.size());

        // The pointer still meets the grid where it is drawn: the centre
        // of the window is tilt 0, theta 0, the top right corner 90, 180.
        menu().screen->trigger();
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        grid->resize(360, 180);
        QCOMPARE(grid->picture().size(), QSize(720, 360));
        moveOver(grid, QPoint(180, 90));
        click(grid);
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::tilt].value), QString("0"));
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::theta].value), QString("0"));
        moveOver(grid, QPoint(359, 0));
        click(grid);
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::tilt].value), QString("90"));
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::theta].value), QString("180"));
    }

    void exitCommitsEverySheet()
    {
        menu().fdata->trigger();
        menu().gdata->trigger();
        menu().style->trigger();
        app->styleSheetWindow()->edit()->selectAll();
        QTest::keyClicks(app->styleSheetWindow()->edit(), "lines  = 1");
        app->functionSheetWindow()->edit()->selectAll();
        QTest::keyClicks(app->functionSheetWindow()->edit(), "a = 7");
        app->settingsSheetWindow()->edit()->selectAll();
        QTest::keyClicks(app->settingsSheetWindow()->edit(), "x1        = -9");
        menu().exit->trigger();
        QVERIFY(app->functionSheetWindow() == nullptr);
        QVERIFY(app->settingsSheetWindow() == nullptr);
        QCOMPARE(QString(app->sheets().fdata[1].value), QString("7"));
        QCOMPARE(QString(app->sheets().sdata[1].value), QString("-9"));
        QVERIFY(app->styleSheetWindow() == nullptr);
        QCOMPARE(QString(app->sheets().style[StyleLine::lines].value), QString("1"));
    }

    void screenTwiceAndClicksInTheOlderWindow()
    {
        menu().screen->trigger();
        PopupWindow* older = app->plotWindow();
        QVERIFY(menu().orientation->isEnabled());
        QCOMPARE(older->windowTitle(), QString("plot"));
        QCOMPARE(older->size(), QSize(200, 200));
        QCOMPARE(older->pos(), QPoint(30, 50));
        QCOMPARE(older->parentWidget(), &app->mainWindow());
        menu().screen->trigger();
        PopupWindow* newer = app->plotWindow();
        QVERIFY(newer != older);
        older->setRecording(true);
        newer->setRecording(true);
        click(older);
        QCOMPARE(pages(*older), 0);
        click(newer);
        QCOMPARE(pages(*newer), 1);
        QVERIFY(segments(*newer).size() > 100);
        closeNow(older);
        QCOMPARE(app->plotWindow(), newer);
        click(newer);
        QCOMPARE(pages(*newer), 2);
    }

    void orientationAfterThePlotWindowClosed()
    {
        menu().screen->trigger();
        closeNow(app->plotWindow());
        QVERIFY(app->plotWindow() == nullptr);
        QVERIFY(menu().orientation->isEnabled());
        menu().orientation->trigger();
        QVERIFY(app->orientationWindow() == nullptr);
        QVERIFY(!menu().orientation->isEnabled());
        menu().screen->trigger();
        QVERIFY(menu().orientation->isEnabled());
    }

    void printBeforeScreenBelongsToTheMainWindow()
    {
        PictureWidget& page = app->mainWindow().page();
        app->mainWindow().resize(640, 480);
        page.setRecording(true);
        menu().print->trigger();
        QVERIFY(!menu().orientation->isEnabled());
        QCOMPARE(boxes->shown.size(), 1);
        const ShownBox& box = boxes->shown[0];
        QCOMPARE(box.owner, &app->mainWindow());
        if (QPrinterInfo::defaultPrinterName().isEmpty()) {
            QCOMPARE(box.caption, QString("Print"));
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QCOMPARE(pages(page), 0);
            return;
        }
        // Declined: the page is drawn into the main window instead.
        QCOMPARE(box.caption, QString("Shall we print to "));
        QCOMPARE(box.text, QPrinterInfo::defaultPrinterName());
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(pages(page), 1);
        QVERIFY(segments(page).size() > 1000);
    }

    void orientationMapping_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("tilt");
        QTest::newRow("centre") << 180 << 90 << 0;
        QTest::newRow("six above the centre") << 180 << 84 << 5;
        QTest::newRow("top edge") << 180 << 0 << 90;
        QTest::newRow("bottom edge") << 180 << 180 << -90;
        QTest::newRow("raw -4.9 truncates to 0") << 1800 << 949 << 0;
        QTest::newRow("raw -5") << 180 << 95 << -5;
        QTest::newRow("raw 87 snaps to 90") << 180 << 3 << 90;
        QTest::newRow("raw 86 stays at 85") << 1800 << 40 << 85;
        QTest::newRow("no height") << 0 << 0 << 0;
    }

    void orientationMapping()
    {
        QFETCH(int, height);
        QFETCH(int, y);
        QFETCH(int, tilt);
        QCOMPARE(snapTilt(y, DeviceRect{0, 0, 200, height}), tilt);
    }

    void thetaMapping_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("theta");
        QTest::newRow("left edge") << 360 << 0 << -180;
        QTest::newRow("centre") << 360 << 180 << 0;
        QTest::newRow("right edge") << 360 << 360 << 180;
        QTest::newRow("raw 173.9 gives 170") << 3600 << 3539 << 170;
        QTest::newRow("raw 174 gives 180") << 360 << 354 << 180;
        QTest::newRow("raw -174 gives -180") << 360 << 6 << -180;
        QTest::newRow("far outside") << 360 << 2000000000 << 180;
        QTest::newRow("no width") << 0 << 5 << 180;
    }

    void thetaMapping()
    {
        QFETCH(int, width);
        QFETCH(int, x);
        QFETCH(int, theta);
        QCOMPARE(snapTheta(x, DeviceRect{0, 0, width, 200}), theta);
    }

    // The pointer at tilt 25 and theta -40 draws the surface that a click
    // in the plot draws once the grid has recorded those angles.
    void pointerTurnsThePlotAndAClickRecordsTheAngles()
    {
        menu().screen->trigger();
        PopupWindow* plot = app->plotWindow();
        plot->resize(400, 300);
        plot->setRecording(true);
        click(plot);
        const QStringList sheetView = segments(*plot);
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        QVERIFY(grid != nullptr);
        QCOMPARE(grid->parentWidget(), plot);
        QCOMPARE(grid->windowTitle(), QString("Orientation"));
        QCOMPARE(grid->size(), QSize(200, 210));
        grid->resize(360, 180);

        moveOver(grid, QPoint(140, 40));
        QCOMPARE(pages(*plot), 2);
        plot->clearRecordedCalls();
        moveOver(grid, QPoint(140, 65));
        const QStringList turned = segments(*plot);
        QCOMPARE(pages(*plot), 1);
        QVERIFY(turned != sheetView);
        moveOver(grid, QPoint(139, 64));
        QCOMPARE(pages(*plot), 1);

        click(grid);
        const DataSheet& sdata = app->sheets().sdata;
        QCOMPARE(QString(sdata[SettingsLine::tilt].display), QString("tilt      = 25"));
        QCOMPARE(QString(sdata[SettingsLine::theta].display), QString("theta     = -40"));
        plot->clearRecordedCalls();
        click(plot);
        QCOMPARE(segments(*plot), turned);
    }

    void plotClickUsesTheSheetWhileTheGridIsOpen()
    {
        menu().screen->trigger();
        PopupWindow* plot = app->plotWindow();
        plot->setRecording(true);
        click(plot);
        const QStringList sheetView = segments(*plot);
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        grid->resize(360, 180);
        moveOver(grid, QPoint(300, 10));
        plot->clearRecordedCalls();
        click(plot);
        QCOMPARE(segments(*plot), sheetView);
        plot->clearRecordedCalls();
        moveOver(grid, QPoint(200, 10));
        QCOMPARE(pages(*plot), 1);
        QVERIFY(segments(*plot) != sheetView);
    }

    void noSecondPageWhileAMessageBoxWaits()
    {
        buildLine(app->sheets().fdata[6], "f(x,y)", "exp(");
        menu().screen->trigger();
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        grid->resize(360, 180);
        PopupWindow* plot = app->plotWindow();
        plot->setRecording(true);
        boxes->whileOpen = [&] {
            moveOver(grid, QPoint(10, 10));
            click(plot);
            menu().print->trigger();
            QVERIFY(!plot->close());
            QVERIFY(!app->mainWindow().close());
        };
        click(plot);
        QCOMPARE(boxes->texts(), QStringList{"Parse error: therefore f(x,y) = 0|f(x,y) = exp("});
        QCOMPARE(pages(*plot), 1);
        QCOMPARE(app->plotWindow(), plot);
        // The move made while the box waited was not taken: the same one now draws.
        boxes->whileOpen = nullptr;
        moveOver(grid, QPoint(10, 10));
        QCOMPARE(pages(*plot), 2);
        QCOMPARE(boxes->shown.size(), 2);
    }

    void noPageWhileAPrintPromptWaits()
    {
        menu().screen->trigger();
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        grid->resize(360, 180);
        PopupWindow* plot = app->plotWindow();
        plot->setRecording(true);
        boxes->whileOpen = [&] {
            moveOver(grid, QPoint(10, 10));
            moveOver(grid, QPoint(350, 170));
            click(plot);
        };
        menu().print->trigger();
        QCOMPARE(boxes->shown.size(), 1);
        QCOMPARE(pages(*plot), 0);
        // The angles the pointer reached meanwhile were not taken: the
        // centre, where the pointer was last seen, still draws nothing.
        boxes->whileOpen = nullptr;
        moveOver(grid, QPoint(180, 90));
        QCOMPARE(pages(*plot), 0);
        click(plot);
        QCOMPARE(pages(*plot), 1);
    }

    // The print question comes before its page is begun, the parse
    // warning once its page is drawn, in the window of the last screen
    // page; a print before any screen page warns of nothing.
    void askBeforeThePageTellAfterIt()
    {
        if (QPrinterInfo::defaultPrinterName().isEmpty())
            QSKIP("no default destination: the print is refused before any question");
        buildLine(app->sheets().fdata[6], "f(x,y)", "exp(");
        PictureWidget& main = app->mainWindow().page();
        main.setRecording(true);
        PopupWindow* plot = nullptr;
        QList<int> plotPages, mainPages;
        QList<bool> mainBegun;
        boxes->whileOpen = [&] {
            plotPages << (plot != nullptr ? pages(*plot) : 0);
            mainPages << pages(main);
            mainBegun << !main.picture().isNull();
        };
        const QString printTo = "Shall we print to |" + QPrinterInfo::defaultPrinterName();
        const QString warning = "Parse error: therefore f(x,y) = 0|f(x,y) = exp(";
        menu().print->trigger();
        QCOMPARE(boxes->texts(), QStringList{printTo});
        menu().screen->trigger();
        plot = app->plotWindow();
        plot->setRecording(true);
        click(plot);
        menu().print->trigger();
        QCOMPARE(boxes->texts(), (QStringList{printTo, warning, printTo, warning}));
        QCOMPARE(plotPages, (QList<int>{0, 1, 1, 1}));
        QCOMPARE(mainPages, (QList<int>{0, 1, 1, 2}));
        QCOMPARE(mainBegun, (QList<bool>{false, true, true, true}));
        QCOMPARE(boxes->shown[2].owner, &app->mainWindow());
        QCOMPARE(boxes->shown[3].owner, plot);
    }

    void picturesSurviveExposureAndResizeClears()
    {
        menu().screen->trigger();
        PopupWindow* plot = app->plotWindow();
        plot->resize(300, 200);
        click(plot);
        const QImage before = plot->picture();
        QVERIFY(!before.isNull());
        plot->hide();
        plot->show();
        QVERIFY(QTest::qWaitForWindowExposed(plot));
        QCOMPARE(plot->grab().toImage().convertToFormat(QImage::Format_RGB32), before);
        plot->resize(320, 220);
        QVERIFY(plot->picture().isNull());
        click(plot);
        QCOMPARE(plot->picture().size(), QSize(320, 220));
    }

    void closingThePlotClosesTheGrid()
    {
        menu().screen->trigger();
        menu().orientation->trigger();
        PopupWindow* grid = app->orientationWindow();
        QVERIFY(grid != nullptr);
        menu().orientation->trigger();
        QCOMPARE(app->orientationWindow(), grid);
        closeNow(app->plotWindow());
        QVERIFY(app->orientationWindow() == nullptr);
        menu().screen->trigger();
        menu().orientation->trigger();
        QVERIFY(app->orientationWindow() != nullptr);
        QCOMPARE(app->orientationWindow()->parentWidget(), app->plotWindow());
    }

    void helpOpensOnceAndRedrawsOnAClick()
    {
        menu().help->trigger();
        PopupWindow* help = app->helpWindow();
        QVERIFY(help != nullptr);
        QCOMPARE(help->windowTitle(), QString("help"));
        QCOMPARE(help->size(), QSize(750, 490));
        QCOMPARE(help->parentWidget(), &app->mainWindow());
        menu().help->trigger();
        QCOMPARE(app->helpWindow(), help);
        help->setRecording(true);
        click(help);
        int texts = 0;
        for (const std::string& call : help->recordedCalls())
            texts += call.rfind("text ", 0) == 0;
        QCOMPARE(texts, 21);
        closeNow(help);
        QVERIFY(app->helpWindow() == nullptr);
        menu().help->trigger();
        QVERIFY(app->helpWindow() != nullptr);
    }

    void parseWarningIsOwnedByThePlotWindow()
    {
        buildLine(app->sheets().fdata[6], "f(x,y)", "2^3^2");
        menu().screen->trigger();
        click(app->plotWindow());
        QCOMPARE(boxes->texts(), QStringList{"Parse error: therefore f(x,y) = 0|f(x,y) = 2^3^2"});
        QCOMPARE(boxes->shown[0].owner, app->plotWindow());
        QCOMPARE(boxes->shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void aboutIsModalOverTheMainWindow()
    {
        menu().about->trigger();
        QCOMPARE(boxes->shown.size(), 1);
        QCOMPARE(boxes->shown[0].name, QString("AboutBox"));
        QCOMPARE(boxes->shown[0].owner, &app->mainWindow());
    }

    void exitWithEveryWindowOpen()
    {
        menu().screen->trigger();
        menu().orientation->trigger();
        menu().help->trigger();
        menu().fdata->trigger();
        closeNow(app->orientationWindow());
        closeNow(app->helpWindow());
        app->plotWindow()->resize(0, 0);
        click(app->plotWindow());
        menu().exit->trigger();
        QVERIFY(app->plotWindow() == nullptr);
        QVERIFY(app->functionSheetWindow() == nullptr);
        QVERIFY(app->helpWindow() == nullptr);
    }
};

QTEST_MAIN(AppTests)
#include "app_tests.moc"
