#pragma once
#include <QImage>
#include <QWidget>
#include <memory>

#include "device/DeviceWindow.h"
#include "device/Prompter.h"
#include "device/RecordingCanvas.h"
#include "platform/QtCanvas.h"

// A widget that PlotDevice draws into. Each picture goes into an image
// that the widget keeps and paints whenever the platform asks, so a
// covered and uncovered window shows it again; a resize clears it.
// The picture is made in device pixels, with fonts for the matching
// resolution, and shown 1:1: sharp on a scaled screen as on any other.
// Its prompts are modal message boxes over its top-level window, each wide
// enough for its caption.
class PictureWidget : public QWidget, public DeviceWindow {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // In device pixels.
    DeviceRect clientRect() override;
    Canvas* acquireCanvas() override;
    void releaseCanvas(Canvas* canvas) override;
    PromptAnswer ask(Prompt kind, const std::string& text, const std::string& caption) override;

    const QImage& picture() const { return picture_; }
    // With recording on, every picture's calls are kept here (for tests).
    void setRecording(bool on) { recording_ = on; }
    const std::vector<std::string>& recordedCalls() const { return recorded_; }
    void clearRecordedCalls() { recorded_.clear(); }

signals:
    // The widget took another size, and its picture is gone.
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Yes or No for a question, Ok for a note.
    PromptAnswer showBox(const std::string& text, const std::string& caption, bool question);
    QSize pixelSize() const;

    QImage picture_;
    std::unique_ptr<QtCanvas> canvas_;
    std::unique_ptr<RecordingCanvas> recorder_;
    bool recording_ = false;
    std::vector<std::string> recorded_;
};
