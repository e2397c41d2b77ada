#include "app/PictureWidget.h"

#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>

PictureWidget::MessageHook PictureWidget::messageHook;

PictureWidget::PictureWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

DeviceRect PictureWidget::clientRect()
{
    return {0, 0, width(), height()};
}

Canvas* PictureWidget::acquireCanvas()
{
    if (picture_.size() != size()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
    }
    canvas_ = std::make_unique<QtCanvas>(&picture_);
    if (!recording_)
        return canvas_.get();
    recorder_ = std::make_unique<RecordingCanvas>(*canvas_);
    return recorder_.get();
}

void PictureWidget::releaseCanvas(Canvas*)
{
    if (recorder_) {
        recorded_.insert(recorded_.end(), recorder_->calls().begin(), recorder_->calls().end());
        recorder_.reset();
    }
    canvas_.reset();
    update();
}

MessageAnswer PictureWidget::messageBox(const std::string& text, const std::string& caption,
                                        MessageButtons buttons)
{
    if (messageHook)
        return messageHook(*this, text, caption, buttons);
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(caption.c_str()),
                    QString::fromLatin1(text.c_str()),
                    buttons == MessageButtons::Ok ? QMessageBox::Ok
                                                  : QMessageBox::Yes | QMessageBox::No,
                    window());
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!picture_.isNull())
        painter.drawImage(0, 0, picture_);
}

void PictureWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The platform may confirm a size the picture already has (a window
    // being mapped): only a real change clears it.
    if (canvas_ == nullptr && !picture_.isNull() && picture_.size() != event->size())
        picture_ = QImage();
    update();
}
