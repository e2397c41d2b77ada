#pragma once
#include <memory>

#include "app/AppState.h"
#include "render/ComposePage.h"

class QWidget;

// The program's behaviour: the menu commands, the clicks and pointer
// moves of its popups, and what goes when a window is destroyed.
class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    AppState& state() { return state_; }
    MainWindow& mainWindow() { return *state_.mainWindow; }

    void command(int id);

    void plotWindowClicked(PlotWindow* window);
    void orientationPointerMoved(OrientationWindow* window, int x, int y);
    void orientationWindowClicked(OrientationWindow* window);
    void helpWindowClicked(HelpWindow* window);

    void plotWindowDestroyed(PlotWindow* window);
    void orientationWindowDestroyed(OrientationWindow* window);
    void helpWindowDestroyed(HelpWindow* window);

private:
    void openSheet(int id);
    void openPlotWindow();
    void print();
    void openOrientationWindow();
    void openHelpWindow();
    void bindDevice(DeviceWindow* window);
    // The page on the plot window, unless one is being drawn already.
    void composeOnScreen();
    void composeWithState(PageTarget target);
    void recordAngles();

    AppState state_;
    std::unique_ptr<PrintService> spooler_;
};
