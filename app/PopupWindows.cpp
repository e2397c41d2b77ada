#include "app/PopupWindows.h"

#include <QCloseEvent>
#include <QMouseEvent>

#include "app/Application.h"

PopupWindow::PopupWindow(Application& app, const QString& caption, int width, int height,
                         QWidget* owner)
    : PictureWidget(owner, Qt::Window), app_(app)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    move(30, 50);
    resize(width, height);
}

void PopupWindow::closeEvent(QCloseEvent* event)
{
    if (app_.state().composing)
        event->ignore();
    else
        event->accept();
}

PlotWindow::PlotWindow(Application& app, QWidget* owner) : PopupWindow(app, "plot", 200, 200, owner) {}

PlotWindow::~PlotWindow()
{
    app_.plotWindowDestroyed(this);
}

void PlotWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        app_.plotWindowClicked(this);
}

OrientationWindow::OrientationWindow(Application& app, QWidget* owner)
    : PopupWindow(app, "Orientation", 200, 210, owner)
{
    setMouseTracking(true);
}

OrientationWindow::~OrientationWindow()
{
    app_.orientationWindowDestroyed(this);
}

void OrientationWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    app_.orientationPointerMoved(this, p.x(), p.y());
}

void OrientationWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        app_.orientationWindowClicked(this);
}

HelpWindow::HelpWindow(Application& app, QWidget* owner) : PopupWindow(app, "help", 750, 490, owner) {}

HelpWindow::~HelpWindow()
{
    app_.helpWindowDestroyed(this);
}

void HelpWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        app_.helpWindowClicked(this);
}
