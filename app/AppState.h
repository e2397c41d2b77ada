#pragma once
#include <QPointer>
#include <memory>

#include "device/PlotDevice.h"
#include "expr/SurfaceFunction.h"
#include "app/SheetWindow.h"

class HelpWindow;
class MainWindow;
class OrientationWindow;
class PlotWindow;
class PrintService;

// Menu command identifiers: the keys of the main window's dispatch.
enum Command : int {
    CommandExit = 10,
    CommandFdata = 30,
    CommandGdata = 40,
    CommandScreen = 50,
    CommandPrint = 60,
    CommandOrientation = 70,
    CommandHelp = 90,
    CommandAbout = 99,
};

// The process-wide state of the program: its windows, the long-lived
// device and surface function, one-shot flags and the live angles.
struct AppState {
    MainWindow* mainWindow = nullptr;
    QPointer<SheetWindow> fdataWindow;
    QPointer<SheetWindow> sdataWindow;
    PlotWindow* plotWindow = nullptr;
    OrientationWindow* orientationWindow = nullptr;
    HelpWindow* helpWindow = nullptr;
    std::unique_ptr<PlotDevice> device;
    std::unique_ptr<SurfaceFunction> surfaceFunction;
    int helpAllowed = 1;
    int orientationAllowed = 1;
    double viewTilt = 0;
    double viewTheta = 0;
    int snappedTilt = 0;
    int snappedTheta = 0;
    // True while a page is being drawn, message boxes included: no second
    // page may start on the device meanwhile.
    bool composing = false;
    PrintService* printService = nullptr;
};
