#pragma once
#include <QGuiApplication>
#include <string>

// Qt for a process that shows no window: the offscreen platform, whatever
// the environment names, and a private runtime directory when the
// environment gives none. Qt serves fonts, images and printing only.
class HeadlessGui {
public:
    HeadlessGui(int& argc, char** argv);
    ~HeadlessGui();
    HeadlessGui(const HeadlessGui&) = delete;
    HeadlessGui& operator=(const HeadlessGui&) = delete;

private:
    // The platform and the runtime directory, set before the application
    // starts; the directory is removed after it ends.
    struct Environment {
        Environment();
        ~Environment();
        std::string runtimeDir;
    };
    Environment environment_;
    QGuiApplication app_;
};
