#include "app/PopupWindow.h"

#include <QMouseEvent>

PopupWindow::PopupWindow(const QString& caption, QSize size, QWidget* owner)
    : PictureWidget(owner, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    move(30, 50);
    resize(size);
}

void PopupWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void PopupWindow::mouseMoveEvent(QMouseEvent* event)
{
    emit pointerMoved(event->position().toPoint());
}
