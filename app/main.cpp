// kelvo: the desktop program.
#include <QApplication>

#include "app/Application.h"
#include "app/MainWindow.h"

int main(int argc, char** argv)
{
    QApplication qt(argc, argv);
    qt.setQuitOnLastWindowClosed(false);
    Application app;
    app.mainWindow().resize(640, 480);
    app.mainWindow().show();
    return qt.exec();
}
