#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QtTest>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/OrientationGrid.h"
#include "app/PopupWindows.h"
#include "sheets/DataSheet.h"
#include "sheets/SheetWindow.h"

class AppTests : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Application> app;
    AppState& state() { return app->state(); }
    // Every message box shown, answered Ok (or No to a question).
    QStringList shown;

    void click(QWidget* w, QPoint at = QPoint(5, 5)) { QTest::mouseClick(w, Qt::LeftButton, {}, at); }
    void moveOver(QWidget* w, QPoint at) { QTest::mouseMove(w, at); QCoreApplication::processEvents(); }
    static int lineCount(const PictureWidget& w)
    {
        int n = 0;
        for (const std::string& call : w.recordedCalls())
            n += call.rfind("line ", 0) == 0;
        return n;
    }

private slots:
    void init()
    {
        initFunctionSheet();
        initSettingsSheet();
        shown.clear();
        PictureWidget::messageHook = [this](PictureWidget&, Prompt kind, const std::string& text,
                                            const std::string& caption) {
            shown << QString::fromStdString(caption + "|" + text);
            return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
        };
        app = std::make_unique<Application>();
        app->mainWindow().show();
    }

    void cleanup()
    {
        app.reset();
        PictureWidget::messageHook = nullptr;
    }

    void menuItemsAndIdentifiers()
    {
        const QList<QAction*> bar = app->mainWindow().menuBar()->actions();
        QStringList texts;
        for (QAction* a : bar)
            texts << a->text();
        QCOMPARE(texts, (QStringList{"E&xit", "&Data", "&Plot", "&Orientation", "&Help", "&About"}));
        QCOMPARE(bar[0]->data().toInt(), 10);
        QCOMPARE(bar[3]->data().toInt(), 70);
        QCOMPARE(bar[4]->data().toInt(), 90);
        QCOMPARE(bar[5]->data().toInt(), 99);
        const QList<QAction*> data = bar[1]->menu()->actions();
        QCOMPARE(data.size(), 3);
        QCOMPARE(data[0]->text(), QString("&Fdata"));
        QCOMPARE(data[0]->data().toInt(), 30);
        QVERIFY(data[1]->isSeparator());
        QCOMPARE(data[2]->text(), QString("&Gdata"));
        QCOMPARE(data[2]->data().toInt(), 40);
        const QList<QAction*> plot = bar[2]->menu()->actions();
        QCOMPARE(plot[0]->text(), QString("&Screen"));
        QCOMPARE(plot[0]->data().toInt(), 50);
        QVERIFY(plot[1]->isSeparator());
        QCOMPARE(plot[2]->text(), QString("&Print"));
        QCOMPARE(plot[2]->data().toInt(), 60);
        QVERIFY(!bar[3]->isEnabled());
        QCOMPARE(app->mainWindow().windowTitle(), QString("kelvo"));
    }

    void sheetWindowsOpenOnce()
    {
        app->command(CommandFdata);
        SheetWindow* first = state().fdataWindow;
        QVERIFY(first != nullptr);
        QCOMPARE(first->windowTitle(), QString("fdata"));
        QCOMPARE(first->parentWidget(), &app->mainWindow());
        QCOMPARE(first->pos(), QPoint(30, 50));
        app->command(CommandFdata);
        QCOMPARE(state().fdataWindow, first);
        app->command(CommandGdata);
        QCOMPARE(state().sdataWindow->windowTitle(), QString("Gdata"));
        QCOMPARE(state().sdataWindow->list()->count(), 15);
        QCOMPARE(first->list()->count(), 6);
    }

    void screenTwiceAndClicksInTheOlderWindow()
    {
        app->command(CommandScreen);
        PlotWindow* older = state().plotWindow;
        QVERIFY(app->mainWindow().action(CommandOrientation)->isEnabled());
        QCOMPARE(older->windowTitle(), QString("plot"));
        QCOMPARE(older->size(), QSize(200, 200));
        app->command(CommandScreen);
        PlotWindow* newer = state().plotWindow;
        QVERIFY(newer != older);
        older->setRecording(true);
        newer->setRecording(true);
        click(older);
        QCOMPARE(lineCount(*older), 0);
        click(newer);
        QVERIFY(lineCount(*newer) > 100);
        PlotDevice* device = state().device.get();
        older->close();
        QCoreApplication::processEvents();
        QCOMPARE(state().device.get(), device);
        QCOMPARE(state().plotWindow, newer);
    }

    void orientationAfterThePlotWindowClosed()
    {
        app->command(CommandScreen);
        state().plotWindow->close();
        QCoreApplication::processEvents();
        QVERIFY(state().device == nullptr);
        QVERIFY(state().surfaceFunction == nullptr);
        QVERIFY(app->mainWindow().action(CommandOrientation)->isEnabled());
        app->command(CommandOrientation);
        QVERIFY(state().orientationWindow == nullptr);
        QVERIFY(!app->mainWindow().action(CommandOrientation)->isEnabled());
    }

    void printBeforeScreenDrawsOnTheMainWindow()
    {
        app->command(CommandPrint);
        QVERIFY(state().device != nullptr);
        QVERIFY(state().surfaceFunction != nullptr);
        QVERIFY(!app->mainWindow().action(CommandOrientation)->isEnabled());
        QVERIFY(!shown.isEmpty());
    }

    void typingBeforeAnyDoubleClickRewritesRowZero()
    {
        app->command(CommandGdata);
        SheetWindow* sheet = state().sdataWindow;
        QLineEdit* edit = sheet->edit();
        QCOMPARE(edit->text(), QString("x1        = -2"));
        edit->selectAll();
        QTest::keyClicks(edit, "x1        = 3");
        QCOMPARE(sheet->list()->item(0)->text(), QString("x1        = 3"));
        QCOMPARE(QString(sdata[1].value), QString("-2"));
        QTest::mouseClick(sheet->button(), Qt::LeftButton);
        QCOMPARE(QString(sdata[1].value), QString("3"));
        QCOMPARE(QString(sdata[1].display), QString("x1        = 3"));
    }

    void shortRowKeepsTheValue()
    {
        app->command(CommandGdata);
        SheetWindow* sheet = state().sdataWindow;
        sheet->edit()->selectAll();
        QTest::keyClicks(sheet->edit(), "x1 = 3");
        QTest::mouseClick(sheet->button(), Qt::LeftButton);
        QCOMPARE(QString(sdata[1].display), QString("x1 = 3"));
        QCOMPARE(QString(sdata[1].value), QString("-2"));
    }

    void doubleClickPicksTheRowAndClosingCommits()
    {
        app->command(CommandFdata);
        SheetWindow* sheet = state().fdataWindow;
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        QListWidget* list = sheet->list();
        const QRect row = list->visualItemRect(list->item(5));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(sheet->selected(), 0);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(sheet->selected(), 5);
        QCOMPARE(sheet->edit()->text(), QString("f(x,y) = exp(-(x*x+4*y*y))"));
        sheet->edit()->selectAll();
        QTest::keyClicks(sheet->edit(), "f(x,y) = x*y");
        QCOMPARE(list->item(5)->text(), QString("f(x,y) = x*y"));
        sheet->close();
        QCoreApplication::processEvents();
        QVERIFY(state().fdataWindow == nullptr);
        QCOMPARE(QString(fdata[6].value), QString("x*y"));
    }

    void longRowsAreCutToTheFields()
    {
        app->command(CommandGdata);
        SheetWindow* sheet = state().sdataWindow;
        sheet->edit()->selectAll();
        QTest::keyClicks(sheet->edit(), "x1        = " + QString(200, '9'));
        QCOMPARE(sheet->list()->item(0)->text().size(), SheetWindow::bufferLimit);
        QTest::mouseClick(sheet->button(), Qt::LeftButton);
        QCOMPARE(QString(sdata[1].value), QString(59, '9'));
        QCOMPARE(QString(sdata[2].name), QString("x2       "));
    }

    void exitCommitsBothSheets()
    {
        app->command(CommandFdata);
        app->command(CommandGdata);
        state().fdataWindow->edit()->selectAll();
        QTest::keyClicks(state().fdataWindow->edit(), "a = 7");
        state().sdataWindow->edit()->selectAll();
        QTest::keyClicks(state().sdataWindow->edit(), "x1        = -9");
        app->command(CommandExit);
        app.reset();
        QCOMPARE(QString(fdata[1].value), QString("7"));
        QCOMPARE(QString(sdata[1].value), QString("-9"));
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

    void pointerTurnsThePlotAndAClickRecordsTheAngles()
    {
        app->command(CommandScreen);
        PlotWindow* plot = state().plotWindow;
        plot->resize(400, 300);
        app->command(CommandOrientation);
        OrientationWindow* grid = state().orientationWindow;
        QVERIFY(grid != nullptr);
        QCOMPARE(grid->parentWidget(), plot);
        QCOMPARE(grid->windowTitle(), QString("Orientation"));
        grid->resize(360, 180);
        plot->setRecording(true);
        // theta -40 at x 140 of 360; tilt 25 at 50 above the centre of 180.
        app->orientationPointerMoved(grid, 140, 40);
        QCOMPARE(state().snappedTilt, 50);
        app->orientationPointerMoved(grid, 140, 90 - 50 * 180 / 180 / 2);
        QCOMPARE(state().snappedTilt, 25);
        QCOMPARE(state().snappedTheta, -40);
        QCOMPARE(state().viewTilt, 25.0);
        QCOMPARE(state().device->projection().sinTilt, std::sin(25 * 0.017453292519943295));
        const int drawn = lineCount(*plot);
        QVERIFY(drawn > 0);
        app->orientationPointerMoved(grid, 139, 64);
        QCOMPARE(lineCount(*plot), drawn);
        app->orientationWindowClicked(grid);
        QCOMPARE(QString(sdata[SettingsLine::tilt].display), QString("tilt      = 25"));
        QCOMPARE(QString(sdata[SettingsLine::theta].display), QString("theta     = -40"));
        click(plot);
        QCOMPARE(state().viewTilt, 25.0);
        QCOMPARE(state().viewTheta, -40.0);
    }

    void plotClickUsesTheSheetWhileTheGridIsOpen()
    {
        app->command(CommandScreen);
        app->command(CommandOrientation);
        OrientationWindow* grid = state().orientationWindow;
        grid->resize(360, 180);
        app->orientationPointerMoved(grid, 300, 10);
        QVERIFY(state().viewTilt != 15.0);
        click(state().plotWindow);
        QCOMPARE(state().viewTilt, 15.0);
        QCOMPARE(state().device->projection().sinTilt, std::sin(15 * 0.017453292519943295));
    }

    void noSecondPageWhileAMessageBoxWaits()
    {
        buildLine(fdata[6], "f(x,y)", "exp(");
        app->command(CommandScreen);
        app->command(CommandOrientation);
        OrientationWindow* grid = state().orientationWindow;
        grid->resize(360, 180);
        PlotWindow* plot = state().plotWindow;
        plot->setRecording(true);
        int nested = 0;
        bool snappedKept = true;
        PictureWidget::messageHook = [&](PictureWidget&, Prompt, const std::string&,
                                         const std::string&) {
            ++nested;
            const int snapped = state().snappedTheta;
            app->orientationPointerMoved(grid, 10, 10);
            click(plot);
            app->command(CommandPrint);
            snappedKept = snappedKept && state().snappedTheta == snapped;
            return PromptAnswer::Ok;
        };
        click(plot);
        QCOMPARE(nested, 1);
        QVERIFY(snappedKept);
        QVERIFY(!state().composing);
        click(plot);
        QCOMPARE(nested, 2);
    }

    void noPageWhileAPrintQuestionWaits()
    {
        app->command(CommandScreen);
        app->command(CommandOrientation);
        OrientationWindow* grid = state().orientationWindow;
        grid->resize(360, 180);
        PlotWindow* plot = state().plotWindow;
        plot->setRecording(true);
        int questions = 0;
        PictureWidget::messageHook = [&](PictureWidget&, Prompt kind, const std::string&,
                                         const std::string&) {
            ++questions;
            app->orientationPointerMoved(grid, 10, 10);
            app->orientationPointerMoved(grid, 350, 170);
            click(plot);
            return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
        };
        app->command(CommandPrint);
        QVERIFY(questions >= 1);
        QCOMPARE(lineCount(*plot), 0);
        QCOMPARE(state().snappedTilt, 0);
        QCOMPARE(state().snappedTheta, 0);
        click(plot);
        QVERIFY(lineCount(*plot) > 0);
    }

    void picturesSurviveExposureAndResizeClears()
    {
        app->command(CommandScreen);
        PlotWindow* plot = state().plotWindow;
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

    void closingThePlotClosesTheGridAndReleasesTheDevice()
    {
        app->command(CommandScreen);
        app->command(CommandOrientation);
        QVERIFY(state().orientationWindow != nullptr);
        QCOMPARE(state().orientationAllowed, 0);
        state().plotWindow->close();
        QCoreApplication::processEvents();
        QVERIFY(state().orientationWindow == nullptr);
        QCOMPARE(state().orientationAllowed, 1);
        QVERIFY(state().device == nullptr);
        app->command(CommandScreen);
        app->command(CommandOrientation);
        QVERIFY(state().orientationWindow != nullptr);
    }

    void helpOpensOnceAndRedrawsOnAClick()
    {
        app->command(CommandHelp);
        HelpWindow* help = state().helpWindow;
        QVERIFY(help != nullptr);
        QCOMPARE(help->size(), QSize(750, 490));
        QCOMPARE(state().helpAllowed, 0);
        app->command(CommandHelp);
        QCOMPARE(state().helpWindow, help);
        help->setRecording(true);
        click(help);
        int texts = 0;
        for (const std::string& call : help->recordedCalls())
            texts += call.rfind("text ", 0) == 0;
        QCOMPARE(texts, 21);
        help->close();
        QCoreApplication::processEvents();
        QCOMPARE(state().helpAllowed, 1);
    }

    void parseWarningIsOwnedByThePlotWindow()
    {
        buildLine(fdata[6], "f(x,y)", "2^3^2");
        app->command(CommandScreen);
        PictureWidget* owner = nullptr;
        PictureWidget::messageHook = [&](PictureWidget& w, Prompt kind, const std::string& text,
                                         const std::string& caption) {
            owner = &w;
            shown << QString::fromStdString(caption + "|" + text);
            return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
        };
        click(state().plotWindow);
        QCOMPARE(owner, static_cast<PictureWidget*>(state().plotWindow));
        QCOMPARE(shown, QStringList{"Parse error: therefore f(x,y) = 0|f(x,y) = 2^3^2"});
    }

    void windowsCloseInAnyOrder()
    {
        app->command(CommandScreen);
        app->command(CommandOrientation);
        app->command(CommandHelp);
        app->command(CommandFdata);
        state().orientationWindow->close();
        state().helpWindow->close();
        state().plotWindow->resize(0, 0);
        click(state().plotWindow);
        QCoreApplication::processEvents();
        app.reset();
        QVERIFY(true);
    }
};

QTEST_MAIN(AppTests)
#include "app_tests.moc"
