#pragma once
#include "app/PictureWidget.h"

class Application;

// A popup of the program: a top-level window owned by another, at (30, 50),
// that goes away when closed. It cannot close while a page is being drawn.
class PopupWindow : public PictureWidget {
    Q_OBJECT
public:
    PopupWindow(Application& app, const QString& caption, int width, int height, QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;
    Application& app_;
};

// A click draws the page.
class PlotWindow final : public PopupWindow {
    Q_OBJECT
public:
    PlotWindow(Application& app, QWidget* owner);
    ~PlotWindow() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The pointer turns the view; a click records the angles.
class OrientationWindow final : public PopupWindow {
    Q_OBJECT
public:
    OrientationWindow(Application& app, QWidget* owner);
    ~OrientationWindow() override;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// A click draws the help page again.
class HelpWindow final : public PopupWindow {
    Q_OBJECT
public:
    HelpWindow(Application& app, QWidget* owner);
    ~HelpWindow() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
