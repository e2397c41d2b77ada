#pragma once
#include <QObject>
#include <QPointer>
#include <QSize>
#include <memory>
#include <optional>

#include "device/PlotDevice.h"
#include "expr/SurfaceFunction.h"
#include "render/ComposePage.h"
#include "render/MeshHeights.h"
#include "sheets/Sheets.h"

class MainWindow;
class PopupWindow;
class PrintService;
struct PageRequest;
class SheetDocument;
class SheetWindow;

// The desktop program. It owns the main window, the long-lived device and
// the surface function; it opens the windows of the menu's commands and
// acts on what they signal. A window that closes is gone from here too:
// each is held as a QPointer, and whether it is open is whether it exists.
class Application final : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override;

    MainWindow& mainWindow() { return *mainWindow_; }
    // The user's data: what the editors edit and every page is drawn from.
    Sheets& sheets() { return sheets_; }
    // The open windows, null when closed. The plot window is the one the
    // last Screen command opened, as long as it is open.
    SheetWindow* functionSheetWindow() const;
    SheetWindow* settingsSheetWindow() const;
    SheetWindow* styleSheetWindow() const;
    PopupWindow* plotWindow() const;
    PopupWindow* orientationWindow() const;
    PopupWindow* helpWindow() const;
    // Reads a sheet file given at start; one that cannot be read is told
    // in a box, and the program goes on with the defaults.
    void openAtStart(const QString& path);

public slots:
    void openFunctionSheet();
    void openSettingsSheet();
    void openStyleSheet();
    void openPlotWindow();
    void print();
    void openOrientationWindow();
    void openHelpWindow();
    void showAbout();
    void openSheetFile();
    // Reads a data file's grid, which the pages then draw.
    void openDataFile();
    void saveSheets();
    void saveSheetsAs();
    // Writes the page the plot window shows to a file the user picks.
    void savePicture();
    // Puts that page on the clipboard, as an image and as an SVG drawing.
    void copyPicture();

protected:
    // No window closes while one of the shell's boxes waits.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectCommands();
    void connectFileCommands();
    // Sheet files on the main window: closing asks about changed sheets,
    // a .kelvo file or a data file dropped on it opens. True when the
    // event is done with.
    bool sheetFileEvent(QEvent* event);
    void openGivenFile(const QString& path);
    void openGivenData(const QString& path);
    // The page inputs as they stand, for a page drawn now.
    PageContext pageContext(const ViewAngles& view);
    void showRecentFiles();
    // The open editors' rows written back, as Exit and the File menu's
    // commands do before they look at the sheets.
    void commitEditors();
    void showSheetsInEditors();
    void connectEditor(SheetWindow* editor);
    PopupWindow* openPopup(const QString& caption, QSize size, QWidget* owner);
    void bindDevice(DeviceWindow& window);
    // The page on the plot window at the screen's angles, unless a box
    // waits.
    void composeOnScreen();
    // The shown page, to draw anew at the plot window's size.
    PageRequest shownPageRequest(PopupWindow& plot) const;
    // Shows what a page must tell, once it is drawn.
    void tell(const PageReport& report);

    void plotWindowClicked();
    void orientationPointerMoved(QPoint at);
    void orientationWindowClicked();
    void redrawOrientationGrid();
    void helpWindowClicked();
    void releaseDevice();
    void recordAngles();

    Sheets sheets_;
    // What the plot window's page was drawn from, for saving it.
    struct ShownPage {
        Sheets sheets;
        ViewAngles view;
        std::shared_ptr<const HeightGrid> grid;
    };
    std::optional<ShownPage> shownPage_;
    std::unique_ptr<PrintService> spooler_;
    std::unique_ptr<PlotDevice> device_;
    std::unique_ptr<SurfaceFunction> surface_;
    // The surface's heights, kept with the surface function: a page that
    // changes only the tilt draws from them.
    std::unique_ptr<MeshHeights> heights_;
    // The viewing angles of screen pages: the sheet's from a click in the
    // plot window or the opening of an orientation grid, the pointer's
    // over the grid. Prints are drawn at the sheet's.
    ViewAngles view_;
    int snappedTilt_ = 0;
    int snappedTheta_ = 0;
    // True while one of the shell's boxes waits (a print question, the
    // parse warning, a print's note). A page never waits for one: it is
    // asked before and told after. But the box's nested event loop still
    // delivers what the platform's modality lets through (a timer, an
    // event sent to a widget directly): meanwhile no page starts, so that
    // boxes do not pile up, and no window closes, so that none is deleted
    // under its own box or under the click that opened it.
    bool boxWaiting_ = false;

    QPointer<SheetWindow> fdataWindow_;
    QPointer<SheetWindow> sdataWindow_;
    QPointer<SheetWindow> styleWindow_;
    QPointer<PopupWindow> plotWindow_;
    // The window of the last screen page while the device lives: it owns
    // the parse warning of every page, so a print before any screen page
    // shows none.
    QPointer<PopupWindow> screenPageWindow_;
    QPointer<PopupWindow> orientationWindow_;
    QPointer<PopupWindow> helpWindow_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<SheetDocument> document_;
};
