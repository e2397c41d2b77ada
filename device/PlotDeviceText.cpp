#include "device/PlotDevice.h"

Colour PlotDevice::textColour() const
{
    return isPenIndex(indices_.text) ? PenColours[static_cast<std::size_t>(indices_.text)]
                                     : colourOf(PenColour::Black);
}

Colour PlotDevice::textBackground() const
{
    return isBrushIndex(indices_.brush) ? BrushColours[static_cast<std::size_t>(indices_.brush)]
                                        : colourOf(BrushColour::White);
}

void PlotDevice::setTextColour(int index)
{
    if (isPenIndex(index) && colourDrawing())
        indices_.text = index;
}

void PlotDevice::writeText(const std::string& text)
{
    if (dc_ == nullptr)
        return;
    endLine();
    const int width = dc_->textWidth(text, font_);
    dc_->text({textX_, textY_}, text, font_, textColour(), textBackground());
    textX_ += width;
}

void PlotDevice::writeCentredText(const std::string& text, double x, double y)
{
    if (dc_ == nullptr)
        return;
    endLine();
    const int width = dc_->textWidth(text, font_);
    dc_->text({toDeviceX(x) - width / 2, toDeviceY(y) - lineHeight_ / 2}, text, font_,
              textColour(), textBackground());
}

int PlotDevice::textWidth(const std::string& text) const
{
    return dc_ != nullptr ? dc_->textWidth(text, font_) : 0;
}

void PlotDevice::nextLineAt(int column)
{
    textY_ += lineHeight_;
    textX_ = lineStartX_ + column * charWidth_;
}

void PlotDevice::newLines(int count)
{
    if (count != 0)
        textY_ += count * lineHeight_;
    else
        textY_ = viewport_.top + lineHeight_;
    textX_ = lineStartX_;
}

void PlotDevice::indentLines(int columns)
{
    lineStartX_ = textX_ = viewport_.left + columns * charWidth_;
}

void PlotDevice::moveTextCursor(DevicePoint at)
{
    textX_ = at.x;
    textY_ = at.y;
}

void PlotDevice::tabTo(int column)
{
    textX_ = lineStartX_ + column * charWidth_;
}
