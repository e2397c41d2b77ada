// The Print command through the real widgets and the real spooler: the
// default destination must be a cups-pdf queue (tools/setup-printer).
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QRegularExpression>
#include <QTest>
#include <QtTest>
#include <pwd.h>
#include <unistd.h>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "tests/ModalAnswerer.h"

namespace {

// Where cups-pdf puts this user's prints: Out in its configuration.
QString cupsPdfOut()
{
    QFile conf("/etc/cups/cups-pdf.conf");
    if (!conf.open(QIODevice::ReadOnly))
        return {};
    QString out = "/var/spool/cups-pdf/${USER}";
    for (const QString& line : QString::fromLocal8Bit(conf.readAll()).split('\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith("Out "))
            out = trimmed.mid(4).trimmed();
    }
    const passwd* user = getpwuid(getuid());
    out.replace("${HOME}", QString::fromLocal8Bit(user->pw_dir));
    out.replace("${USER}", QString::fromLocal8Bit(user->pw_name));
    return out;
}

QStringList pdfsIn(const QString& dir)
{
    return QDir(dir).entryList({"*.pdf"}, QDir::Files, QDir::Name);
}

QString run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

bool coloured(QRgb p)
{
    return std::abs(qRed(p) - qGreen(p)) > 24 || std::abs(qGreen(p) - qBlue(p)) > 24 ||
           std::abs(qRed(p) - qBlue(p)) > 24;
}

} // namespace

class PrintTests : public QObject {
    Q_OBJECT

    QString outDir;
    std::unique_ptr<Application> app;
    std::unique_ptr<ModalAnswerer> boxes;

    // Prints through the menu command and waits for the spooler's PDF.
    QString printAndWait(const QStringList& before)
    {
        app->mainWindow().commands().print->trigger();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            for (const QString& name : pdfsIn(outDir)) {
                if (before.contains(name))
                    continue;
                const QString path = outDir + "/" + name;
                if (run("pdfinfo", {path}).contains("Pages:"))
                    return path;
            }
            QTest::qWait(200);
        }
        return {};
    }

    QImage rendered(const QString& pdf)
    {
        const QString base = QDir::tempPath() + "/kelvo-print-test";
        run("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf, base});
        const QImage page = QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
        QFile::remove(base + ".png");
        return page;
    }

private slots:
    void initTestCase()
    {
        if (QPrinterInfo::defaultPrinterName().isEmpty())
            QSKIP("no print spooler with a default destination here; tools/setup-printer (as root) makes one");
        outDir = cupsPdfOut();
        if (outDir.isEmpty() || QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("cups-pdf or poppler-utils is not installed");
        QDir().mkpath(outDir);
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

    void colourPrint()
    {
        boxes->answers = {QMessageBox::Yes, QMessageBox::Yes};
        const QString pdf = printAndWait(pdfsIn(outDir));
        QVERIFY2(!pdf.isEmpty(), "no PDF from the spooler");
        const QStringList shown = boxes->texts();
        QCOMPARE(shown, (QStringList{"Shall we print to |" + QPrinterInfo::defaultPrinterName(),
                                     "Notice|Colour ?", "Note|Printing is Finished"}));
        for (const ShownBox& box : boxes->shown)
            QCOMPARE(box.owner, &app->mainWindow());
        QVERIFY(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString text = run("pdftotext", {pdf, "-"});
        QVERIFY(text.contains("f(x,y) = exp(-(x*x+4*y*y))"));
        QString compact = text;
        compact.remove(QRegularExpression("\\s"));
        for (const char* line : {"a=5", "e=1", "x1=-2", "z2=1", "k=10", "tilt=15", "theta=0"})
            QVERIFY2(compact.contains(line), line);
        const QImage page = rendered(pdf);
        QVERIFY(!page.isNull());
        int magenta = 0, paleYellow = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QRgb p = page.pixel(x, y);
                magenta += qRed(p) > 180 && qBlue(p) > 180 && qGreen(p) < 150;
                paleYellow += qRed(p) >= 248 && qGreen(p) >= 249 && qBlue(p) >= 208 && qBlue(p) <= 228;
            }
        QVERIFY(magenta > 50);
        QVERIFY(paleYellow > 1000);
    }

    void blackAndWhitePrint()
    {
        boxes->answers = {QMessageBox::Yes, QMessageBox::No};
        const QString pdf = printAndWait(pdfsIn(outDir));
        QVERIFY2(!pdf.isEmpty(), "no PDF from the spooler");
        const QImage page = rendered(pdf);
        QVERIFY(!page.isNull());
        int colouredPixels = 0, dark = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                colouredPixels += coloured(page.pixel(x, y));
                dark += qGray(page.pixel(x, y)) < 128;
            }
        QCOMPARE(colouredPixels, 0);
        QVERIFY(dark > 50);
    }

    void declinedPrintDrawsInTheMainWindow()
    {
        const QStringList before = pdfsIn(outDir);
        boxes->answers = {QMessageBox::No};
        app->mainWindow().resize(640, 480);
        app->mainWindow().page().setRecording(true);
        app->mainWindow().commands().print->trigger();
        QCOMPARE(boxes->shown.size(), 1);
        QTest::qWait(3000);
        QCOMPARE(pdfsIn(outDir), before);
        int lines = 0;
        for (const std::string& call : app->mainWindow().page().recordedCalls())
            lines += call.rfind("line ", 0) == 0 && call.size() > 2 &&
                     call.compare(call.size() - 2, 2, " 3") == 0;
        QVERIFY(lines > 1000);
    }
};

QTEST_MAIN(PrintTests)
#include "print_tests.moc"
