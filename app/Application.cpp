#include "app/Application.h"

#include <QtCore/qglobal.h>
#include <QDir>

// Outside any namespace, as Q_INIT_RESOURCE needs.
static void initResources() { Q_INIT_RESOURCE(kelvo); }

#include <QApplication>
#include <cstdio>

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/OrientationGrid.h"
#include "app/PopupWindows.h"
#include "device/HelpPage.h"
#include "platform/SpoolerPrintService.h"
#include "render/ComposePage.h"
#include "sheets/Readings.h"
#include "sheets/SheetWindow.h"

namespace {

// Marks a page as being drawn for as long as it lives.
class ComposingGuard {
public:
    explicit ComposingGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~ComposingGuard() { flag_ = false; }

private:
    bool& flag_;
};

} // namespace

Application::Application() : spooler_(std::make_unique<SpoolerPrintService>())
{
    initResources();
    state_.printService = spooler_.get();
    state_.mainWindow = new MainWindow(*this);
}

Application::~Application()
{
    delete state_.mainWindow;
}

void Application::command(int id)
{
    switch (id) {
    case CommandExit: state_.mainWindow->close(); break;
    case CommandFdata:
    case CommandGdata: openSheet(id); break;
    case CommandScreen: openPlotWindow(); break;
    case CommandPrint: print(); break;
    case CommandOrientation: openOrientationWindow(); break;
    case CommandHelp: openHelpWindow(); break;
    case CommandAbout: showAboutBox(state_.mainWindow); break;
    default: break;
    }
}

void Application::openSheet(int id)
{
    const bool functions = id == CommandFdata;
    SheetWindow*& open = functions ? state_.fdataWindow : state_.sdataWindow;
    if (open != nullptr)
        return;
    open = new SheetWindow(functions ? "fdata" : "Gdata", functions ? fdata : sdata,
                           state_.mainWindow);
    open->onDestroyed = [&open] { open = nullptr; };
    open->show();
}

void Application::bindDevice(DeviceWindow* window)
{
    if (state_.device)
        state_.device->bindWindow(*window);
    else
        state_.device = std::make_unique<PlotDevice>(*window, state_.printService);
    if (!state_.surfaceFunction)
        state_.surfaceFunction = std::make_unique<SurfaceFunction>(fdata);
}

void Application::openPlotWindow()
{
    if (state_.composing)
        return;
    auto* plot = new PlotWindow(*this, state_.mainWindow);
    state_.plotWindow = plot;
    bindDevice(plot);
    state_.mainWindow->setOrientationEnabled(true);
    plot->show();
}

void Application::print()
{
    if (state_.composing)
        return;
    bindDevice(&state_.mainWindow->page());
    ComposingGuard guard(state_.composing);
    composeWithState(PageTarget::Printer);
}

// The page of the sheets as they are now, with the live angles.
void Application::composeWithState(PageTarget target)
{
    const Sheets sheets{fdata, sdata};
    ViewAngles view{state_.viewTilt, state_.viewTheta};
    PageContext page{*state_.device, sheets, state_.surfaceFunction.get(), view,
                     state_.orientationWindow != nullptr};
    composePage(page, target);
    state_.viewTilt = view.tilt;
    state_.viewTheta = view.theta;
}

void Application::openOrientationWindow()
{
    if (state_.plotWindow == nullptr) {
        state_.mainWindow->setOrientationEnabled(false);
        return;
    }
    if (state_.orientationAllowed != 1)
        return;
    state_.orientationAllowed = 0;
    auto* orientation = new OrientationWindow(*this, state_.plotWindow);
    state_.orientationWindow = orientation;
    state_.viewTilt = realReading(sdata[SettingsLine::tilt].value);
    state_.viewTheta = realReading(sdata[SettingsLine::theta].value);
    orientation->show();
    drawOrientationGrid(*orientation, state_.viewTilt, state_.viewTheta);
}

void Application::openHelpWindow()
{
    if (state_.helpAllowed != 1)
        return;
    state_.helpAllowed = 0;
    auto* help = new HelpWindow(*this, state_.mainWindow);
    state_.helpWindow = help;
    help->show();
    drawHelpPage(*help);
}

void Application::composeOnScreen()
{
    if (state_.composing || !state_.device || !state_.surfaceFunction ||
        state_.plotWindow == nullptr)
        return;
    ComposingGuard guard(state_.composing);
    state_.device->bindWindow(*state_.plotWindow);
    composeWithState(PageTarget::Screen);
}

void Application::plotWindowClicked(PlotWindow* window)
{
    if (state_.composing || window != state_.plotWindow || !state_.device ||
        !state_.surfaceFunction)
        return;
    state_.viewTilt = realReading(sdata[SettingsLine::tilt].value);
    state_.viewTheta = realReading(sdata[SettingsLine::theta].value);
    composeOnScreen();
}

void Application::orientationPointerMoved(OrientationWindow* window, int x, int y)
{
    if (state_.composing)
        return;
    const DeviceRect client = window->clientRect();
    const int tilt = snapTilt(y, client);
    const int theta = snapTheta(x, client);
    bool changed = false;
    if (tilt != state_.snappedTilt) {
        state_.snappedTilt = tilt;
        changed = true;
    }
    if (theta != state_.snappedTheta) {
        state_.snappedTheta = theta;
        changed = true;
    }
    if (!changed)
        return;
    state_.viewTilt = state_.snappedTilt;
    state_.viewTheta = state_.snappedTheta;
    composeOnScreen();
}

void Application::orientationWindowClicked(OrientationWindow* window)
{
    drawOrientationGrid(*window, state_.viewTilt, state_.viewTheta);
    recordAngles();
}

void Application::recordAngles()
{
    char text[16];
    DataLine& tilt = sdata[SettingsLine::tilt];
    std::snprintf(text, sizeof text, "%d", state_.snappedTilt);
    buildLine(tilt, tilt.name, text);
    DataLine& theta = sdata[SettingsLine::theta];
    std::snprintf(text, sizeof text, "%d", state_.snappedTheta);
    buildLine(theta, theta.name, text);
}

void Application::helpWindowClicked(HelpWindow* window)
{
    drawHelpPage(*window);
}

void Application::plotWindowDestroyed(PlotWindow* window)
{
    if (window != state_.plotWindow)
        return;
    if (state_.device) {
        state_.device->finishDrawing();
        state_.device.reset();
        state_.surfaceFunction.reset();
    }
    state_.plotWindow = nullptr;
}

void Application::orientationWindowDestroyed(OrientationWindow* window)
{
    if (window != state_.orientationWindow)
        return;
    state_.orientationWindow = nullptr;
    state_.orientationAllowed = 1;
}

void Application::helpWindowDestroyed(HelpWindow* window)
{
    if (window != state_.helpWindow)
        return;
    state_.helpWindow = nullptr;
    state_.helpAllowed = 1;
}
