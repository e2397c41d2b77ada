// Sheet files and data files in the desktop program: the File menu with
// Qt's own file dialogs driven as a user drives them, the title's mark,
// the question on Exit with each answer, and files dropped on the main
// window.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PopupWindow.h"
#include "app/SheetDocument.h"
#include "app/SheetWindow.h"
#include "grid/GridReader.h"
#include "grid/GridSheetLines.h"
#include "sheets/SheetCommit.h"
#include "sheets/SheetFile.h"
#include "tests/ModalAnswerer.h"

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A matrix of heights with a row of column names, not flat anywhere
// along a line of the mesh.
const QByteArray heightsCsv = "x0,x1,x2,x3,x4\n0,1,2,1,0\n1,3,4,2,1\n0,2,5,3,0\n1,1,2,1,1\n";

// The lines of a page's drawing calls, as a .calls file holds them.
std::vector<std::string> callsOf(const QByteArray& file)
{
    std::vector<std::string> calls;
    for (const QByteArray& line : file.split('\n'))
        if (!line.isEmpty())
            calls.push_back(line.toStdString());
    return calls;
}

void dropOn(QWidget* target, const QString& file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

// Types a row into an editor over the row shown, and presses "update".
void typeRow(SheetWindow* editor, const QString& row)
{
    editor->edit()->selectAll();
    QTest::keyClicks(editor->edit(), row);
    QTest::mouseClick(editor->button(), Qt::LeftButton);
}

} // namespace

class SheetFileAppTests : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<Application> app;
    std::unique_ptr<ModalAnswerer> boxes;
    // The file the next file dialog is answered with.
    QString picked;

    const MainWindow::Commands& menu() { return app->mainWindow().commands(); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString title() { return app->mainWindow().windowTitle(); }
    // The message boxes shown, without the file dialogs.
    QList<ShownBox> messages() const
    {
        QList<ShownBox> list;
        for (const ShownBox& box : boxes->shown)
            if (box.buttons != QMessageBox::NoButton)
                list << box;
        return list;
    }

    // The sheets saved to a file through Save As, and the window's title.
    void saveAs(const QString& file)
    {
        picked = file;
        menu().saveAs->trigger();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // The recent files are kept in the test's own directory.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    void init()
    {
        boxes = std::make_unique<ModalAnswerer>();
        boxes->whileOpen = [this] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                dialog->selectFile(picked);
        };
        app = std::make_unique<Application>();
        app->mainWindow().show();
    }

    void cleanup()
    {
        app.reset();
        boxes.reset();
    }

    void fileMenuAtTheLeftWithThePlatformsKeys()
    {
        const QList<QAction*> bar = app->mainWindow().menuBar()->actions();
        QCOMPARE(bar[0]->text(), QString("&File"));
        QCOMPARE(bar[1]->text(), QString("E&xit"));
        QStringList entries;
        for (QAction* action : bar[0]->menu()->actions())
            entries << action->text();
        QCOMPARE(entries, (QStringList{QString::fromUtf8("&Open\u2026"), "Open &Recent",
                                       QString::fromUtf8("Open &Data\u2026"), "", "&Save",
                                       QString::fromUtf8("Save &As\u2026")}));
        QCOMPARE(menu().open->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(menu().save->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(menu().saveAs->shortcut(), QKeySequence(QKeySequence::SaveAs));
    }

    // Save As names the file in the title; a commit marks it changed, a
    // commit back to what the file holds clears the mark, Save clears it.
    void saveNamesTheFileAndTheMarkFollowsTheSheets()
    {
        QCOMPARE(title(), QString("kelvo"));
        const QString file = path("marked.kelvo");
        saveAs(file);
        QCOMPARE(title(), QString::fromUtf8("marked.kelvo \u2014 kelvo"));
        QVERIFY(contents(file).startsWith("kelvo sheets 1\n"));

        menu().gdata->trigger();
        typeRow(app->settingsSheetWindow(), "x1        = 5");
        QCOMPARE(title(), QString::fromUtf8("*marked.kelvo \u2014 kelvo"));
        typeRow(app->settingsSheetWindow(), "x1        = -2");
        QCOMPARE(title(), QString::fromUtf8("marked.kelvo \u2014 kelvo"));
        typeRow(app->settingsSheetWindow(), "x1 = 5");
        QCOMPARE(title(), QString::fromUtf8("*marked.kelvo \u2014 kelvo"));
        menu().save->trigger();
        QCOMPARE(title(), QString::fromUtf8("marked.kelvo \u2014 kelvo"));
        QVERIFY(contents(file).contains("\nx1        | x1 = 5\n"));
        QVERIFY(messages().isEmpty());
    }

    // The file's rows show at once in the open editors; its display texts
    // come back exactly.
    void openShowsTheFileInTheOpenEditors()
    {
        const QString file = path("opened.kelvo");
        Sheets sheets;
        buildLine(sheets.fdata[6], sheets.fdata[6].name, "sin(x)");
        commitRow(sheets.sdata[SettingsLine::title], "title     = W\xE4rme");
        commitRow(sheets.sdata[SettingsLine::n], "n = 8");
        write(file, QByteArray::fromStdString(writeSheetFile(sheets).text));

        menu().fdata->trigger();
        menu().gdata->trigger();
        picked = file;
        menu().open->trigger();
        QVERIFY2(messages().isEmpty(), qPrintable(messages().value(0).text));
        QVERIFY(sameTexts(app->sheets(), sheets));
        QCOMPARE(app->functionSheetWindow()->list()->item(5)->text(), QString("f(x,y) = sin(x)"));
        QCOMPARE(app->settingsSheetWindow()->list()->item(14)->text(),
                 QString::fromUtf8("title     = W\u00e4rme"));
        QCOMPARE(app->settingsSheetWindow()->list()->item(6)->text(), QString("n = 8"));
        QCOMPARE(title(), QString::fromUtf8("opened.kelvo \u2014 kelvo"));
        // Closing the editors writes back what they show: nothing changes.
        app->functionSheetWindow()->close();
        app->settingsSheetWindow()->close();
        QCOMPARE(title(), QString::fromUtf8("opened.kelvo \u2014 kelvo"));
    }

    // The page of sheets with edited rows, drawn again after the file is
    // opened in a new run, is the same call for call.
    void aReopenedFileDrawsTheSamePage()
    {
        const auto page = [this] {
            menu().screen->trigger();
            app->plotWindow()->resize(320, 240);
            app->plotWindow()->setRecording(true);
            QTest::mouseClick(app->plotWindow(), Qt::LeftButton, {}, QPoint(5, 5));
            return app->plotWindow()->recordedCalls();
        };
        menu().fdata->trigger();
        typeRow(app->functionSheetWindow(), "a = 2");
        app->functionSheetWindow()->list()->setCurrentRow(5);
        QTest::keyClick(app->functionSheetWindow()->list(), Qt::Key_Return);
        typeRow(app->functionSheetWindow(), "f(x,y) = sin(a*x)*y");
        menu().gdata->trigger();
        typeRow(app->settingsSheetWindow(), "x1 = 1");
        const auto before = page();
        const QString file = path("reopened.kelvo");
        saveAs(file);

        app = std::make_unique<Application>();
        app->mainWindow().show();
        picked = file;
        menu().open->trigger();
        const auto after = page();
        QVERIFY(!before.empty());
        QVERIFY(before == after);
        for (const char* shown : {"\"a = 2\"", "\"x1 = 1\"", "\"f(x,y) = sin(a*x)*y\""})
            QVERIFY2(std::any_of(after.begin(), after.end(),
                                 [shown](const std::string& call) {
                                     return call.find(shown) != std::string::npos;
                                 }),
                     shown);
        QCOMPARE(QString(app->sheets().fdata[6].value), QString("sin(a*x)*y"));
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::x1].display), QString("x1 = 1"));
    }

    void aBadFileIsToldAndChangesNothing()
    {
        const QString file = path("bad.kelvo");
        write(file, "kelvo sheets 1\n[fdata]\nzz = 1\n");
        menu().gdata->trigger();
        typeRow(app->settingsSheetWindow(), "x1        = 5");
        boxes->answers = {QMessageBox::Discard};
        picked = file;
        menu().open->trigger();
        QCOMPARE(messages().size(), 2);
        QCOMPARE(messages()[1].caption, QString("Open"));
        QCOMPARE(messages()[1].text, file + ":3: no sheet line is named \"zz\"");
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::x1].value), QString("5"));
        QCOMPARE(title(), QString("kelvo"));
    }

    void openAtStartTellsABadFileAndKeepsTheDefaults()
    {
        app->openAtStart(path("absent.kelvo"));
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].text,
                 path("absent.kelvo") + ": cannot be read: No such file or directory");
        QCOMPARE(messages()[0].owner, &app->mainWindow());
        QVERIFY(sameTexts(app->sheets(), Sheets{}));
        QCOMPARE(title(), QString("kelvo"));
    }

    void exitAsksAboutChangedSheets_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Save") << int(QMessageBox::Save) << true << true;
        QTest::newRow("Discard") << int(QMessageBox::Discard) << true << false;
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << false << false;
    }

    // The edit is still in the open editor when Exit is chosen: Exit
    // commits it, then asks.
    void exitAsksAboutChangedSheets()
    {
        QFETCH(int, answer);
        QFETCH(bool, ends);
        QFETCH(bool, saved);
        const QString file = path(QString("exit-%1.kelvo").arg(QTest::currentDataTag()));
        saveAs(file);
        const QByteArray before = contents(file);
        menu().fdata->trigger();
        app->functionSheetWindow()->edit()->selectAll();
        QTest::keyClicks(app->functionSheetWindow()->edit(), "a = 7");
        boxes->answers = {QMessageBox::StandardButton(answer)};
        menu().exit->trigger();

        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].caption, QString("kelvo"));
        QCOMPARE(messages()[0].text,
                 QString("The sheets have changed since %1 was opened or saved. Save them?")
                     .arg(QFileInfo(file).fileName()));
        QCOMPARE(messages()[0].buttons,
                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(!app->mainWindow().isVisible(), ends);
        QCOMPARE(QString(app->sheets().fdata[1].value), QString("7"));
        QCOMPARE(contents(file) != before, saved);
        if (saved)
            QVERIFY(contents(file).contains("\na = 7\n"));
    }

    void exitWithoutChangesAsksNothing()
    {
        menu().fdata->trigger();
        menu().exit->trigger();
        QVERIFY(!app->mainWindow().isVisible());
        QVERIFY(messages().isEmpty());
    }

    // Save with no file yet asks for one; a save that fails says why and
    // the program does not end.
    void aFailedSaveOnExitSaysWhyAndStays()
    {
        QFile blocker(path("plain-file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        buildLine(app->sheets().fdata[1], "a", "3");
        boxes->answers = {QMessageBox::Save};
        picked = path("plain-file/sheets.kelvo");
        QVERIFY(!app->mainWindow().close());
        QCOMPARE(messages().size(), 2);
        QCOMPARE(messages()[0].text, QString("The sheets have changed. Save them?"));
        QCOMPARE(messages()[1].caption, QString("Save"));
        QVERIFY2(messages()[1].text.contains("cannot be saved: Not a directory"),
                 qPrintable(messages()[1].text));
        QVERIFY(app->mainWindow().isVisible());
        QVERIFY(!QFile::exists(picked));
    }

    // The newest first, at most ten, those gone dropped when the menu opens.
    void openRecentKeepsTheLastTenThatExist()
    {
        for (int i = 0; i < 12; ++i)
            saveAs(path(QString("recent-%1.kelvo").arg(i)));
        QFile::remove(path("recent-10.kelvo"));
        emit menu().file->aboutToShow();
        const QList<QAction*> entries = menu().recent->actions();
        QCOMPARE(entries.size(), 9);
        QCOMPARE(entries[0]->text(), "&1 " + path("recent-11.kelvo"));
        QCOMPARE(entries[1]->text(), "&2 " + path("recent-9.kelvo"));
        QCOMPARE(entries[8]->text(), "&9 " + path("recent-2.kelvo"));

        buildLine(app->sheets().fdata[1], "a", "9");
        boxes->answers = {QMessageBox::Discard};
        entries[1]->trigger();
        QCOMPARE(QString(app->sheets().fdata[1].value), QString("5"));
        QCOMPARE(title(), QString::fromUtf8("recent-9.kelvo \u2014 kelvo"));
    }

    // The plot window's page at 320 x 240, drawn by a click.
    std::vector<std::string> clickedPage()
    {
        menu().screen->trigger();
        app->plotWindow()->resize(320, 240);
        app->plotWindow()->setRecording(true);
        QTest::mouseClick(app->plotWindow(), Qt::LeftButton, {}, QPoint(5, 5));
        return app->plotWindow()->recordedCalls();
    }

    // kelvo-render's page of the same size.
    std::vector<std::string> renderedPage(const QString& args)
    {
        const QString out = path("rendered.calls");
        QFile::remove(out);
        const QString command =
            QStringLiteral(KELVO_RENDER_PATH " --size 320x240 %1 -o '%2'").arg(args, out);
        [&] { QCOMPARE(std::system(command.toLocal8Bit().constData()), 0); }();
        return callsOf(contents(out));
    }

    // Open Data sets the lines at once in the open editors and marks the
    // sheets changed; a click draws the grid's page, which Save Picture
    // writes too; Save records the data file, and the file opened again
    // draws the same page.
    void openDataDrawsTheGridAndTheSheetFileKeepsIt()
    {
        const QString data = path("heights.csv");
        write(data, heightsCsv);
        const QString file = path("terrain.kelvo");
        saveAs(file);
        menu().fdata->trigger();
        menu().gdata->trigger();
        picked = data;
        menu().openData->trigger();
        QVERIFY2(messages().isEmpty(), qPrintable(messages().value(0).text));

        Sheets expected;
        GridRead grid = readGridFile(data.toStdString());
        QVERIFY(grid);
        setGridLines(expected, *grid.grid, "heights.csv");
        QVERIFY(sameTexts(app->sheets(), expected));
        QCOMPARE(app->functionSheetWindow()->list()->item(5)->text(), QString("f(x,y) = z"));
        QCOMPARE(app->settingsSheetWindow()->list()->item(6)->text(), QString("n         = 3"));
        QCOMPARE(title(), QString::fromUtf8("*terrain.kelvo \u2014 kelvo"));

        const std::vector<std::string> page = clickedPage();
        const std::vector<std::string> rendered = renderedPage("--data '" + data + "'");
        QVERIFY(page.size() > 40);
        QVERIFY(page == rendered);
        QVERIFY(page != renderedPage("--set 'f(x,y)=z' --set n=3 --set m=4 --set k=1 "
                                     "--set x2=4 --set y2=3 --set z2=5 --set z1=0 --set x1=0 "
                                     "--set y1=0"));
        const QString picture = path("terrain.calls");
        picked = picture;
        for (QAction* action : app->plotWindow()->actions())
            if (action->text() == QString::fromUtf8("Save Picture As\u2026"))
                action->trigger();
        QVERIFY(callsOf(contents(picture)) == rendered);

        menu().save->trigger();
        QCOMPARE(title(), QString::fromUtf8("terrain.kelvo \u2014 kelvo"));
        QVERIFY(contents(file).endsWith("\n[data]\npath = heights.csv\n"));
        app = std::make_unique<Application>();
        app->mainWindow().show();
        picked = file;
        menu().open->trigger();
        QVERIFY(messages().isEmpty());
        QVERIFY(clickedPage() == rendered);
    }

    void aRefusedDataFileIsToldAndChangesNothing()
    {
        const QString data = path("ragged.csv");
        write(data, "1 2 3\n4 5\n");
        picked = data;
        menu().openData->trigger();
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].caption, QString("Open Data"));
        QCOMPARE(messages()[0].text, QString("ragged.csv:2: 2 values, but the first row has 3"));
        QCOMPARE(messages()[0].owner, &app->mainWindow());
        QVERIFY(sameTexts(app->sheets(), Sheets{}));
        QVERIFY(!app->plotWindow());
        QVERIFY(clickedPage() == renderedPage(""));
    }

    // The sheets are read, and the page drawn without the grid.
    void aSheetFileWhoseDataIsGoneOpensWithoutIt()
    {
        Sheets sheets;
        buildLine(sheets.fdata[6], sheets.fdata[6].name, "z+x");
        buildLine(sheets.sdata[SettingsLine::n], sheets.sdata[SettingsLine::n].name, "6");
        const QString file = path("orphan.kelvo");
        write(file, QByteArray::fromStdString(writeSheetFile(sheets, "gone/heights.csv").text));
        picked = file;
        menu().open->trigger();
        QCOMPARE(messages().size(), 1);
        QCOMPARE(messages()[0].caption, QString("Open"));
        QCOMPARE(messages()[0].text,
                 path("gone/heights.csv") + ": cannot be read: No such file or directory");
        QVERIFY(sameTexts(app->sheets(), sheets));
        QCOMPARE(title(), QString::fromUtf8("orphan.kelvo \u2014 kelvo"));
        QVERIFY(clickedPage() == renderedPage("--set 'f(x,y)=z+x' --set n=6"));
    }

    void aDroppedDataFileOpens()
    {
        const QString data = path("dropped.tsv");
        write(data, "0\t1\t0\n1\t2\t1\n");
        dropOn(&app->mainWindow(), data);
        QVERIFY(messages().isEmpty());
        QCOMPARE(QString(app->sheets().fdata[6].value), QString("z"));
        QCOMPARE(QString(app->sheets().sdata[SettingsLine::title].value), QString("dropped.tsv"));
        QVERIFY(clickedPage() == renderedPage("--data '" + data + "'"));
    }

    void aDroppedSheetFileOpens()
    {
        Sheets sheets;
        buildLine(sheets.fdata[2], "b", "4");
        const QString file = path("dropped.kelvo");
        write(file, QByteArray::fromStdString(writeSheetFile(sheets).text));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QWidget* target = &app->mainWindow();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QVERIFY(sameTexts(app->sheets(), sheets));

        QMimeData other;
        other.setUrls({QUrl::fromLocalFile(path("page.png"))});
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &other, Qt::LeftButton, {});
        refused.setAccepted(false);
        QApplication::sendEvent(target, &refused);
        QVERIFY(!refused.isAccepted());
    }
};

QTEST_MAIN(SheetFileAppTests)
#include "sheet_file_app_tests.moc"
