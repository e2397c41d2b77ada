#pragma once
#include <string>

#include "device/Canvas.h"

// A canvas that writes a page into a file, and leaves the page's
// resolution and the measuring of its text to the canvas the page is
// drawn for, so that the file holds that canvas's page call for call.
class FileCanvas : public Canvas {
public:
    explicit FileCanvas(Canvas& fonts) : fonts_(fonts) {}

    Resolution resolution() const override { return fonts_.resolution(); }
    TextMetrics fontMetrics(const FontSpec& font) override { return fonts_.fontMetrics(font); }
    int textWidth(const std::string& text, const FontSpec& font) override
    {
        return fonts_.textWidth(text, font);
    }

protected:
    Canvas& fonts_;
};
