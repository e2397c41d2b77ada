#include "device/PlotDevice.h"

void PlotDevice::setTextColour(int index)
{
    if (!isPenIndex(index) || !colourDrawing())
        return;
    if (dc != nullptr)
        dc->setTextColour(PenColours[static_cast<std::size_t>(index)]);
    textColourIndex = index;
}

void PlotDevice::writeText(const std::string& text)
{
    if (dc == nullptr)
        return;
    if (isBrushIndex(brushIndex))
        dc->setBkColour(BrushColours[static_cast<std::size_t>(brushIndex)]);
    if (isPenIndex(textColourIndex))
        dc->setTextColour(PenColours[static_cast<std::size_t>(textColourIndex)]);
    textExtent = dc->textExtent(text);
    dc->textOut(textX, textY, text);
    textX += textExtent.width;
}

void PlotDevice::nextLineAt(int column)
{
    textY += lineHeight;
    textX = lineStartX + column * charWidth;
}

void PlotDevice::newLines(int count)
{
    if (count != 0)
        textY += count * lineHeight;
    else
        textY = top + lineHeight;
    textX = lineStartX;
}
