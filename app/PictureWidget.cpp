#include "app/PictureWidget.h"

#include <QMessageBox>
#include <QPainter>
#include <QResizeEvent>

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
        for (const RecordedCall& call : recorder_->calls())
            recorded_.push_back(traceLine(call));
        recorder_.reset();
    }
    canvas_.reset();
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
    if (canvas_ == nullptr && !picture_.isNull() && picture_.size() != event->size())
        picture_ = QImage();
    update();
}
