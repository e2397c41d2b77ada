#pragma once
#include <QPoint>

#include "app/PictureWidget.h"

// A popup of the program: a top-level window owned by another, at (30, 50),
// that goes away when closed. It tells of left clicks and of the pointer
// moving over it (with mouse tracking on, also with no button held).
class PopupWindow final : public PictureWidget {
    Q_OBJECT
public:
    PopupWindow(const QString& caption, QSize size, QWidget* owner);

signals:
    void clicked();
    void pointerMoved(QPoint at);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
