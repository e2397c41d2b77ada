// kelvo-render: draws the page that a click in the plot window draws,
// into a file, or prints it, without any window.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/PageFile.h"
#include "platform/SheetFileStore.h"
#include "platform/SignalCleanup.h"
#include "sheets/SheetLookup.h"
#include "sheets/Sheets.h"
#include "tools/render/PrintPage.h"
#include "tools/render/RenderOptions.h"
#include "Version.h"

namespace {

constexpr int exitPageWarning = 1;
constexpr int exitFailure = 2;

// Each --set on top of the sheets (the names are known good).
void applySets(const RenderOptions& options, Sheets& sheets)
{
    for (const auto& [name, value] : options.sets) {
        DataLine* line = findEntryLine(sheets, name);
        buildLine(*line, line->name, value.c_str());
    }
}

// The sheets of the sheet file (or the defaults) with the --set lines
// applied, saved when --save asks; false, having said why, when the file
// cannot be read or the save fails.
bool prepareSheets(const RenderOptions& options, Sheets& sheets)
{
    if (!options.sheetFile.empty()) {
        if (const auto error = loadSheetFile(options.sheetFile, sheets)) {
            std::fprintf(stderr, "kelvo-render: %s\n", error->c_str());
            return false;
        }
    }
    applySets(options, sheets);
    if (!options.save.empty()) {
        if (const auto error = saveSheetFile(options.save, sheets)) {
            std::fprintf(stderr, "kelvo-render: %s\n", error->c_str());
            return false;
        }
    }
    return true;
}

// Writes the page to the file, telling on stderr what the page lacks
// (a warning: status 1) or why no file was written (status 2).
int renderToFile(const RenderOptions& o, const Sheets& sheets)
{
    const PageFileResult result = writePageFile(o.output, PageRequest{sheets, o.width, o.height, {}});
    if (const auto& warning = result.parseWarning)
        std::fprintf(stderr, "kelvo-render: %s\n  %s\n  %s\n", warning->caption.c_str(),
                     warning->line.c_str(), warning->diagnostic.c_str());
    if (!result.meshWarning.empty())
        std::fprintf(stderr, "kelvo-render: %s\n", result.meshWarning.c_str());
    if (!result.written) {
        std::fprintf(stderr, "kelvo-render: cannot write %s: %s\n", o.output.c_str(),
                     result.error.c_str());
        return exitFailure;
    }
    return result.parseWarning || result.meshRefusal != MeshRefusal::None ? exitPageWarning : 0;
}

// Qt wants a private runtime directory; without an environment there is
// none, so the process makes a fresh one of its own (mkdtemp: a new name,
// mode 0700, never an existing path or a symlink) and removes it at exit.
class RuntimeDir {
public:
    RuntimeDir()
    {
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            return;
        std::string name = QDir::tempPath().toStdString() + "/kelvo-runtime-XXXXXX";
        if (mkdtemp(name.data()) == nullptr)
            return;
        path_ = name;
        SignalCleanup::add(path_.c_str());
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(path_));
    }
    ~RuntimeDir()
    {
        if (path_.empty())
            return;
        SignalCleanup::remove(path_.c_str());
        QDir(QString::fromStdString(path_)).removeRecursively();
    }
    RuntimeDir(const RuntimeDir&) = delete;
    RuntimeDir& operator=(const RuntimeDir&) = delete;

private:
    std::string path_;
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = parseRenderOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "kelvo-render: %s\n%s", error.c_str(), renderUsage);
        return exitFailure;
    }
    if (options->help) {
        std::fputs(renderUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("kelvo-render %s\n", programVersion);
        return 0;
    }
    Sheets sheets;
    if (!prepareSheets(*options, sheets))
        return exitFailure;
    if (!options->print && options->output.empty())
        return 0;

    // No window is ever shown: Qt serves only fonts, images and printing,
    // so no display is needed whatever the environment asks for.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    SignalCleanup::install();
    const RuntimeDir runtimeDir;
    QGuiApplication app(argc, argv);
    if (options->print)
        return printPage(sheets, options->blackAndWhite);
    return renderToFile(*options, sheets);
}
