#include "tools/render/HeadlessGui.h"

#include <QDir>
#include <cstdlib>

#include "pages/SignalCleanup.h"

// Without an environment there is no runtime directory, so the process
// makes a fresh one of its own (mkdtemp: a new name, mode 0700, never an
// existing path or a symlink) and removes it at exit.
HeadlessGui::Environment::Environment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    SignalCleanup::install();
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    std::string name = QDir::tempPath().toStdString() + "/kelvo-runtime-XXXXXX";
    if (mkdtemp(name.data()) == nullptr)
        return;
    runtimeDir = name;
    SignalCleanup::add(runtimeDir.c_str());
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtimeDir));
}

HeadlessGui::Environment::~Environment()
{
    if (runtimeDir.empty())
        return;
    SignalCleanup::remove(runtimeDir.c_str());
    QDir(QString::fromStdString(runtimeDir)).removeRecursively();
}

HeadlessGui::HeadlessGui(int& argc, char** argv) : app_(argc, argv) {}

HeadlessGui::~HeadlessGui() = default;
