#include "app/PictureWidget.h"

#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>

#include "app/MessageBoxWidth.h"

PictureWidget::PictureWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize PictureWidget::pixelSize() const
{
    return size() * devicePixelRatio();
}

DeviceRect PictureWidget::clientRect()
{
    const QSize pixels = pixelSize();
    return {0, 0, pixels.width(), pixels.height()};
}

// The picture is drawn at a ratio of 1, pixel for pixel; its resolution is
// the screen's logical one times the ratio, so that text keeps its size.
Canvas* PictureWidget::acquireCanvas()
{
    const qreal ratio = devicePixelRatio();
    if (picture_.size() != pixelSize()) {
        picture_ = QImage(pixelSize(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
        if (ratio != 1) {
            picture_.setDotsPerMeterX(qRound(picture_.dotsPerMeterX() * ratio));
            picture_.setDotsPerMeterY(qRound(picture_.dotsPerMeterY() * ratio));
        }
    }
    picture_.setDevicePixelRatio(1);
    canvas_ = std::make_unique<QtCanvas>(&picture_);
    if (!recording_)
        return canvas_.get();
    recorder_ = std::make_unique<RecordingCanvas>(*canvas_);
    return recorder_.get();
}

void PictureWidget::releaseCanvas(Canvas*)
{
    if (recorder_) {
        for (const RecordedCall& call : recorder_->calls())
            recorded_.push_back(traceLine(call));
        recorder_.reset();
    }
    canvas_.reset();
    picture_.setDevicePixelRatio(devicePixelRatio());
    update();
}

PromptAnswer PictureWidget::ask(Prompt kind, const std::string& text, const std::string& caption)
{
    return showBox(text, caption, isQuestion(kind));
}

PromptAnswer PictureWidget::showBox(const std::string& text, const std::string& caption,
                                    bool question)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(caption.c_str()),
                    QString::fromLatin1(text.c_str()),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, window());
    fitCaption(box);
    const int answer = box.exec();
    if (!question)
        return PromptAnswer::Ok;
    return answer == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
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
    if (canvas_ == nullptr && !picture_.isNull() && picture_.size() != pixelSize())
        picture_ = QImage();
    update();
    if (event->oldSize() != event->size())
        emit resized();
}
