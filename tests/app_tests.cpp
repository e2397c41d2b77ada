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
#include <QTest>
#include <QtTest>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/OrientationGrid.h"
#include "app/PopupWindow.h"
#include "app/SheetWindow.h"
#include "sheets/DataSheet.h"
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
        QCOMPARE(texts, (QStringList{"E&xit", "&Data", "&Plot", "&Orientation", "&Help", "&About"}));
        const QList<QAction*> data = bar[1]->menu()->actions();
        QCOMPARE(data.size(), 3);
        QCOMPARE(data[0]->text(), QString("&Fdata"));
        QVERIFY(data[1]->isSeparator());
        QCOMPARE(data[2]->text(), QString("&Gdata"));
        const QList<QAction*> plot = bar[2]->menu()->actions();
        QCOMPARE(plot.size(), 3);
        QCOMPARE(plot[0]->text(), QString("&Screen"));
        QVERIFY(plot[1]->isSeparator());
        QCOMPARE(plot[2]->text(), QString("&Print"));
        QVERIFY(!bar[3]->isEnabled());
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
        QTest::newRow("long rows are cut to the fields")
            << "Gdata" << -1 << -1 << "x1        = " + QString(200, '9') << false << 1
            << QString(59, '9') << "x1        = " + QString(106, '9');
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

    void exitCommitsBothSheets()
    {
        menu().fdata->trigger();
        menu().gdata->trigger();
        app->functionSheetWindow()->edit()->selectAll();
        QTest::keyClicks(app->functionSheetWindow()->edit(), "a = 7");
        app->settingsSheetWindow()->edit()->selectAll();
        QTest::keyClicks(app->settingsSheetWindow()->edit(), "x1        = -9");
        menu().exit->trigger();
        QVERIFY(app->functionSheetWindow() == nullptr);
        QVERIFY(app->settingsSheetWindow() == nullptr);
        QCOMPARE(QString(app->sheets().fdata[1].value), QString("7"));
        QCOMPARE(QString(app->sheets().sdata[1].value), QString("-9"));
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
