#include "fonts/TextMetricsCanvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include "fonts/FontSetupFiles.h"

// FreeType, for the canvas's faces: made with the canvas, done with it.
struct TextMetricsCanvas::Library {
    Library()
    {
        if (FT_Init_FreeType(&library) != 0)
            library = nullptr;
    }
    ~Library()
    {
        if (library != nullptr)
            FT_Done_FreeType(library);
    }
    FT_Library library = nullptr;
};

TextMetricsCanvas::TextMetricsCanvas() : library_(std::make_unique<Library>()) {}

// The faces go before the library that made them.
TextMetricsCanvas::~TextMetricsCanvas()
{
    faces_.clear();
}

SizedFace& TextMetricsCanvas::faceAt(const FontRequest& r)
{
    const FaceKey key{r.family, r.pixelSize, r.bold, r.italic, r.stretch};
    auto found = faces_.find(key);
    if (found == faces_.end()) {
        const FaceChoice choice = library_->library != nullptr
                                      ? chooseFace(r)
                                      : FaceChoice{{}, 0, "FreeType cannot start"};
        if (!choice.file.empty())
            faceFiles_.push_back(choice.file);
        found = faces_.emplace(key, std::make_unique<SizedFace>(library_->library, choice, r)).first;
    }
    return *found->second;
}

// A width request is Qt's stretch of the face at its natural width.
SizedFace& TextMetricsCanvas::faceFor(const FontSpec& font)
{
    FontRequest request = naturalRequestOf(font);
    if (font.width > 0 && !font.stockFixed)
        request.stretch = stretchFor(font.width, faceAt(request).metrics().aveCharWidth);
    SizedFace& face = faceAt(request);
    if (!face.unproven().empty())
        note(face.unproven());
    return face;
}

// A face that cannot be measured as Qt would gives heights in proportion
// to its size, so that the page can still be laid out.
TextMetrics TextMetricsCanvas::fontMetrics(const FontSpec& font)
{
    SizedFace& face = faceFor(font);
    if (face.unproven().empty())
        return face.metrics();
    const int px = naturalRequestOf(font).pixelSize;
    return {px + px / 6 + 1, px, px / 2 + 1};
}

int TextMetricsCanvas::textWidth(const std::string& text, const FontSpec& font)
{
    std::string why;
    const int width = faceFor(font).textWidth(text, why);
    if (!why.empty())
        note(why);
    return width;
}

std::vector<std::string> TextMetricsCanvas::setupFiles() const
{
    return fontSetupFiles(faceFiles_);
}
