// Copying the plot window's page to the clipboard, which the offscreen
// platform keeps in this process: the image must be the page Save Picture
// writes and the window shows, the SVG a drawing of the same page.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QtTest>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PopupWindow.h"
#include "platform/PageFile.h"
#include "platform/PageMimeData.h"
#include "sheets/Readings.h"

namespace {

// What happens between the click that draws the page and Copy.
enum class After { Nothing, SheetEdit, PointerOverGrid };

void moveOver(QWidget* w, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QImage copiedImage()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasImage() ? data->imageData().value<QImage>() : QImage();
}

QByteArray copiedSvg()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr ? data->data(svgMimeType) : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(After)

class CopyPictureTests : public QObject {
    Q_OBJECT

    std::unique_ptr<Application> app;
    QTemporaryDir dir;

    PopupWindow* openPlot(QSize size)
    {
        app->mainWindow().commands().screen->trigger();
        PopupWindow* plot = app->plotWindow();
        plot->resize(size);
        return plot;
    }

    static QAction* copyAction(PopupWindow* plot)
    {
        for (QAction* action : plot->actions())
            if (action->text() == QStringLiteral("Copy"))
                return action;
        return nullptr;
    }

    // The PNG that Save Picture writes of these sheets at these angles.
    QImage savedPicture(const Sheets& sheets, QSize size, ViewAngles view)
    {
        const QString path = dir.filePath(QString("%1.png").arg(QTest::currentDataTag()));
        const PageFileResult result =
            writePageFile(path.toStdString(), PageRequest{sheets, size.width(), size.height(), view});
        return result.written ? QImage(path).convertToFormat(QImage::Format_RGB32) : QImage();
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void init()
    {
        app = std::make_unique<Application>();
        QGuiApplication::clipboard()->setText("before");
    }
    void cleanup() { app.reset(); }

    void theContextMenuOffersItBesideSavePicture()
    {
        PopupWindow* plot = openPlot(QSize(200, 200));
        QCOMPARE(plot->contextMenuPolicy(), Qt::ActionsContextMenu);
        QAction* copy = copyAction(plot);
        QVERIFY(copy != nullptr);
        QCOMPARE(copy->shortcut(), QKeySequence(QKeySequence::Copy));
        QCOMPARE(copy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    }

    // Before the first click the window shows no page, and the clipboard
    // keeps what it held.
    void beforeThePageNothingIsCopied()
    {
        PopupWindow* plot = openPlot(QSize(200, 200));
        copyAction(plot)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
        QVERIFY(copiedImage().isNull());
        QVERIFY(copiedSvg().isEmpty());
    }

    void copiesThePageShown_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("function");
        QTest::addColumn<After>("after");
        QTest::newRow("the defaults") << QSize(320, 240) << "" << After::Nothing;
        QTest::newRow("another surface, tall") << QSize(211, 300) << "sin(x*y)" << After::Nothing;
        QTest::newRow("sheets edited after the click")
            << QSize(300, 200) << "x*y" << After::SheetEdit;
        QTest::newRow("angles from the grid") << QSize(300, 200) << "" << After::PointerOverGrid;
    }

    void copiesThePageShown()
    {
        QFETCH(QSize, size);
        QFETCH(QString, function);
        QFETCH(After, after);
        Sheets& sheets = app->sheets();
        DataLine& f = sheets.fdata[6];
        if (!function.isEmpty())
            buildLine(f, f.name, function.toLatin1().constData());
        PopupWindow* plot = openPlot(size);
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(5, 5));
        const Sheets shown = sheets;
        const ViewAngles ofTheSheet{realReading(sheets.sdata[SettingsLine::tilt].value),
                                    realReading(sheets.sdata[SettingsLine::theta].value)};
        ViewAngles view = ofTheSheet;
        if (after == After::SheetEdit) {
            buildLine(f, f.name, "x+y*y");
        } else if (after == After::PointerOverGrid) {
            app->mainWindow().commands().orientation->trigger();
            PopupWindow* grid = app->orientationWindow();
            grid->resize(360, 180);
            moveOver(grid, QPoint(140, 65));
            view = ViewAngles{25, -40};
        }
        copyAction(plot)->trigger();

        const QImage image = copiedImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), size);
        const QImage saved = savedPicture(shown, size, view);
        QVERIFY(!saved.isNull());
        QVERIFY(image == saved);
        QVERIFY(image == plot->picture().convertToFormat(QImage::Format_RGB32));
        // Not the page the sheets would give now.
        if (after != After::Nothing)
            QVERIFY(image != savedPicture(sheets, size, ofTheSheet));

        const QByteArray svg = copiedSvg();
        QSvgRenderer drawing(svg);
        QVERIFY(drawing.isValid());
        QCOMPARE(drawing.defaultSize(), size);
        QVERIFY2(svg.contains(">f(x,y) = " + QByteArray(shown.fdata[6].value) + "<"), svg.left(400));
        QCOMPARE(svg, pageSvg(PageRequest{shown, size.width(), size.height(), view}));
    }

    // A drawing is held whole or not at all: a page of more SVG than the
    // memory bound (one of many millions of samples on the clipboard)
    // comes as its image alone.
    void theSvgIsHeldWithinItsBound_data()
    {
        QTest::addColumn<qint64>("slack");
        QTest::newRow("a byte over the bound") << qint64{-1};
        QTest::newRow("at the bound") << qint64{0};
        QTest::newRow("under the bound") << qint64{1000};
    }

    void theSvgIsHeldWithinItsBound()
    {
        QFETCH(qint64, slack);
        const Sheets sheets;
        const PageRequest request{sheets, 400, 300, {}};
        const QString path = dir.filePath(QString("%1.svg").arg(QTest::currentDataTag()));
        QVERIFY(writePageFile(path.toStdString(), request).written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        const QByteArray held = pageSvg(request, saved.size() + slack);
        QCOMPARE(held, slack < 0 ? QByteArray() : saved);
    }

    // And a page of more pixels than an image may have comes as SVG alone.
    void aPageOfTooManyPixelsComesAsItsSvg()
    {
        const Sheets sheets;
        const std::unique_ptr<QMimeData> data = pageMimeData(PageRequest{sheets, 16384, 8193, {}});
        QVERIFY(!data->hasImage());
        QSvgRenderer drawing(data->data(svgMimeType));
        QVERIFY(drawing.isValid());
        QCOMPARE(drawing.defaultSize(), QSize(16384, 8193));
    }
};

QTEST_MAIN(CopyPictureTests)
#include "copy_picture_tests.moc"
