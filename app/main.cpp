// kelvo: the desktop program.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "pages/SignalCleanup.h"

#include "Version.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/X11Display.h"

namespace {

constexpr const char* helpText =
    "kelvo draws z = f(x,y) as a wire mesh with hidden lines removed, in desktop windows.\n"
    "usage: kelvo [FILE.kelvo] | --help | --version\n"
    "It opens the sheet file FILE.kelvo if one is given, else starts on the defaults;\n"
    "everything else is set in its windows.\n"
    "The manual is man kelvo; man kelvo-render tells how to draw the page without a window,\n"
    "and man 5 kelvo how a sheet file is written.\n";

enum class Request { Run, Help, Version };

Request requestOf(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help")
            return Request::Help;
        if (arg == "--version")
            return Request::Version;
    }
    return Request::Run;
}

// The sheet file to open at start: the first argument that is not an
// option, after Qt has taken its own. The rest are ignored.
QString sheetFileOf(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-')
            return QString::fromLocal8Bit(argv[i]);
    return {};
}

// The platforms Qt will try: its -platform argument, else QT_QPA_PLATFORM.
std::string_view platformsOf(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-platform" || arg == "--platform")
            return argv[i + 1];
    }
    const char* platforms = std::getenv("QT_QPA_PLATFORM");
    return platforms != nullptr ? platforms : "";
}

// Only xcb and wayland (and Qt's default, one of them) open a display;
// offscreen, minimal and the rest do without. Qt tries "a;b" in turn, so
// one entry that needs no display is enough.
bool needsDisplay(std::string_view platforms)
{
    while (true) {
        const auto end = platforms.find(';');
        const std::string_view entry = platforms.substr(0, end);
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (!name.empty() && !name.starts_with("xcb") && !name.starts_with("wayland"))
            return false;
        if (end == std::string_view::npos)
            return true;
        platforms.remove_prefix(end + 1);
    }
}

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

bool haveDisplay()
{
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

// With only an X display named, Qt's xcb would abort when it cannot reach
// it. A Wayland display is left to Qt.
bool displayUnreachable()
{
    return !isSet("WAYLAND_DISPLAY") && isSet("DISPLAY") && !x11DisplayAnswers();
}

} // namespace

int main(int argc, char** argv)
{
    switch (requestOf(argc, argv)) {
    case Request::Help: std::fputs(helpText, stdout); return 0;
    case Request::Version: std::printf("kelvo %s\n", programVersion); return 0;
    case Request::Run: break;
    }
    // Without a display Qt would abort with a long complaint.
    if (needsDisplay(platformsOf(argc, argv)) && !haveDisplay()) {
        std::fputs("kelvo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                   "kelvo-render draws the page without one\n",
                   stderr);
        return 1;
    }
    if (needsDisplay(platformsOf(argc, argv)) && displayUnreachable()) {
        std::fprintf(stderr,
                     "kelvo: no display (cannot connect to the X display \"%s\"); "
                     "kelvo-render draws the page without one\n",
                     std::getenv("DISPLAY"));
        return 1;
    }
    // A print's document is removed even when the program is ended by a signal.
    SignalCleanup::install();
    QApplication qt(argc, argv);
    qt.setQuitOnLastWindowClosed(false);
    Application app;
    app.mainWindow().resize(640, 480);
    app.mainWindow().show();
    if (const QString file = sheetFileOf(argc, argv); !file.isEmpty())
        app.openAtStart(file);
    return qt.exec();
}
