#pragma once
#include <string>
#include <string_view>

#include "device/Canvas.h"
#include "fonts/FaceChoice.h"
#include "fonts/FontRequest.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;
typedef struct hb_font_t hb_font_t;
typedef struct hb_buffer_t hb_buffer_t;

// A face file at a request's size, measured as Qt's FreeType font engine
// measures it where fontconfig hints slightly: heights from the OS/2
// table (typographic or Windows metrics) or else from hhea, scaled by
// size / units per em in Qt's 26.6 fixed point; the average character
// width from OS/2's xAvgCharWidth at the horizontal size in pixels; a
// text's width shaped by HarfBuzz (kerning and ligatures as Qt shapes a
// line of one script) with FreeType's unhinted advances, summed and
// rounded. unproven() says why a face cannot be measured so: not a
// scalable OpenType face with OS/2 and hhea tables, bitmaps of its own,
// a symbol encoding, sizes past Qt's fixed point.
class SizedFace {
public:
    SizedFace(FT_Library library, const FaceChoice& choice, const FontRequest& request);
    ~SizedFace();
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;

    const std::string& unproven() const { return unproven_; }
    const TextMetrics& metrics() const { return metrics_; }
    // The width of a text of Latin-1 bytes; why it may differ from Qt's
    // goes to unproven (a control character, a character the face lacks,
    // for which Qt would take another font).
    int textWidth(std::string_view text, std::string& unproven);

private:
    std::string faceRefusal(const FontRequest& request) const;
    std::string readMetrics(const FontRequest& request);
    void makeShaper(const FontRequest& request);

    FT_Face face_ = nullptr;
    hb_font_t* font_ = nullptr;
    hb_buffer_t* buffer_ = nullptr;
    TextMetrics metrics_;
    std::string unproven_;
};
