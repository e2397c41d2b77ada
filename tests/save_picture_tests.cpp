// Saving the plot window's picture through its context menu's command,
// with Qt's own file dialog driven as a user drives it.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PopupWindow.h"

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the file dialog with the path, and notes the message box that
// may follow before closing it.
class SaveAnswerer {
public:
    explicit SaveAnswerer(QString path) : path_(std::move(path))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(5);
    }

    bool dialogShown = false;
    QString boxText;
    QWidget* boxOwner = nullptr;

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog != nullptr && dialog->isVisible()) {
            dialogShown = true;
            dialog->selectFile(path_);
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && box->isVisible()) {
            boxText = box->text();
            boxOwner = box->parentWidget();
            box->done(QMessageBox::Ok);
        }
    }

    QString path_;
    QTimer timer_;
};

} // namespace

class SavePictureTests : public QObject {
    Q_OBJECT

    std::unique_ptr<Application> app;
    QTemporaryDir dir;

    // The plot window at the size, its page drawn by a click.
    PopupWindow* shownPlot(QSize size)
    {
        app->mainWindow().commands().screen->trigger();
        PopupWindow* plot = app->plotWindow();
        plot->resize(size);
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(5, 5));
        return plot;
    }

    static QAction* saveAction(PopupWindow* plot)
    {
        for (QAction* action : plot->actions())
            if (action->text() == QString::fromUtf8("Save Picture As\u2026"))
                return action;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(dir.isValid());
    }

    void init() { app = std::make_unique<Application>(); }
    void cleanup() { app.reset(); }

    void theContextMenuOffersIt()
    {
        PopupWindow* plot = shownPlot(QSize(200, 200));
        QCOMPARE(plot->contextMenuPolicy(), Qt::ActionsContextMenu);
        QAction* save = saveAction(plot);
        QVERIFY(save != nullptr);
        QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    }

    void savesWhatKelvoRenderWrites_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("sets");
        QTest::newRow("png") << "png" << "";
        QTest::newRow("calls") << "calls" << "";
        QTest::newRow("callsOfAnotherSurface") << "calls" << "--set 'f(x,y)=x*y' --set n=7";
    }

    // The same sheets and size give the same bytes as kelvo-render's.
    void savesWhatKelvoRenderWrites()
    {
        QFETCH(QString, extension);
        QFETCH(QString, sets);
        if (!sets.isEmpty()) {
            Sheets& sheets = app->sheets();
            buildLine(sheets.fdata[6], sheets.fdata[6].name, "x*y");
            buildLine(sheets.sdata[SettingsLine::n], sheets.sdata[SettingsLine::n].name, "7");
        }
        PopupWindow* plot = shownPlot(QSize(320, 240));
        const QString saved = dir.filePath(QString("saved-%1.%2").arg(QTest::currentDataTag(), extension));
        {
            SaveAnswerer answerer(saved);
            saveAction(plot)->trigger();
            QVERIFY(answerer.dialogShown);
            QVERIFY2(answerer.boxText.isEmpty(), qPrintable(answerer.boxText));
        }
        const QString reference =
            dir.filePath(QString("reference-%1.%2").arg(QTest::currentDataTag(), extension));
        const QString command = QStringLiteral(KELVO_RENDER_PATH " --size 320x240 %1 -o '%2'")
                                    .arg(sets, reference);
        QCOMPARE(std::system(command.toLocal8Bit().constData()), 0);
        const QByteArray bytes = contents(saved);
        QVERIFY(!bytes.isEmpty());
        QVERIFY(bytes == contents(reference));
    }

    void aFailedSaveSaysSoAndWritesNothing()
    {
        PopupWindow* plot = shownPlot(QSize(200, 200));
        QTemporaryDir place;
        const QString blocker = place.filePath("plain-file");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString target = blocker + "/page.png";
        SaveAnswerer answerer(target);
        saveAction(plot)->trigger();
        QVERIFY(answerer.dialogShown);
        QVERIFY2(answerer.boxText.contains("not saved"), qPrintable(answerer.boxText));
        QVERIFY2(answerer.boxText.contains("Not a directory"), qPrintable(answerer.boxText));
        QCOMPARE(answerer.boxOwner, plot);
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QDir(place.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain-file"});
    }
};

QTEST_MAIN(SavePictureTests)
#include "save_picture_tests.moc"
