#include "fonts/SizedFace.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include <hb-ft.h>
#include <hb.h>

namespace {

// Qt's QFixed: 26.6 fixed point in an int. Every step is checked to stay
// within an int, where Qt's own arithmetic would wrap.
using Fixed = std::int64_t;

bool fitsInt(Fixed value)
{
    return value >= INT_MIN && value <= INT_MAX;
}

// QFixed / QFixed(n): (value * 64) / (n * 64), truncated.
std::optional<Fixed> dividedBy(Fixed value, Fixed n)
{
    if (!fitsInt(value * 64) || !fitsInt(n * 64))
        return std::nullopt;
    return value * 64 / (n * 64);
}

// QFixed::fromReal(units * pixels) / unitsPerEm, as Qt scales a height.
std::optional<Fixed> scaledHeight(int units, int pixels, int unitsPerEm)
{
    const double real = static_cast<double>(units) * pixels * 64;
    if (real < INT_MIN || real > INT_MAX)
        return std::nullopt;
    return dividedBy(static_cast<Fixed>(real), unitsPerEm);
}

// qRound of a QFixed: to the nearest whole pixel, halves up.
int rounded(Fixed value)
{
    return static_cast<int>((value + 32) >> 6);
}

std::size_t tableLength(FT_Face face, FT_ULong tag)
{
    FT_ULong length = 0;
    return FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 ? length : 0;
}

// Qt's advance of a glyph where fontconfig hints slightly: the unhinted
// advance (16.16) in 26.6.
hb_position_t unhintedAdvance(hb_font_t*, void* face, hb_codepoint_t glyph, void*)
{
    auto* f = static_cast<FT_Face>(face);
    if (FT_Load_Glyph(f, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return 0;
    return static_cast<hb_position_t>(f->glyph->linearHoriAdvance >> 10);
}

hb_font_funcs_t* unhintedAdvances()
{
    static hb_font_funcs_t* funcs = [] {
        hb_font_funcs_t* made = hb_font_funcs_create();
        hb_font_funcs_set_glyph_h_advance_func(made, unhintedAdvance, nullptr, nullptr);
        hb_font_funcs_make_immutable(made);
        return made;
    }();
    return funcs;
}

bool isLatinLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == 0xaa || c == 0xba ||
           (c >= 0xc0 && c != 0xd7 && c != 0xf7);
}

} // namespace

SizedFace::SizedFace(FT_Library library, const FaceChoice& choice, const FontRequest& request)
{
    if (!choice.proven()) {
        unproven_ = choice.unproven;
        return;
    }
    if (FT_New_Face(library, choice.file.c_str(), choice.index, &face_) != 0) {
        face_ = nullptr;
        unproven_ = "FreeType cannot open " + choice.file;
        return;
    }
    unproven_ = faceRefusal(request);
    if (unproven_.empty())
        unproven_ = readMetrics(request);
    if (unproven_.empty())
        makeShaper(request);
}

SizedFace::~SizedFace()
{
    if (buffer_ != nullptr)
        hb_buffer_destroy(buffer_);
    if (font_ != nullptr)
        hb_font_destroy(font_);
    if (face_ != nullptr)
        FT_Done_Face(face_);
}

// A face Qt measures from its tables alone, without bitmap strikes, and
// whose style is the request's own (Qt would make up a bold or italic).
std::string SizedFace::faceRefusal(const FontRequest& request) const
{
    if (!FT_IS_SCALABLE(face_) || !FT_IS_SFNT(face_) || face_->num_fixed_sizes != 0 ||
        FT_HAS_MULTIPLE_MASTERS(face_))
        return "the face is not a plain scalable OpenType face";
    if (tableLength(face_, TTAG_EBLC) != 0 || tableLength(face_, TTAG_CBLC) != 0 ||
        tableLength(face_, TTAG_bdat) != 0)
        return "the face holds bitmaps";
    if (tableLength(face_, TTAG_OS2) < 78 || tableLength(face_, TTAG_hhea) < 10 ||
        face_->units_per_EM == 0)
        return "the face lacks the OS/2 or hhea table";
    bool unicode = false;
    for (int i = 0; i < face_->num_charmaps; ++i) {
        const FT_Encoding encoding = face_->charmaps[i]->encoding;
        if (encoding == FT_ENCODING_MS_SYMBOL || encoding == FT_ENCODING_ADOBE_CUSTOM)
            return "the face has a symbol encoding";
        unicode = unicode || encoding == FT_ENCODING_UNICODE;
    }
    if (!unicode || FT_Select_Charmap(face_, FT_ENCODING_UNICODE) != 0)
        return "the face has no Unicode character map";
    if (request.bold != ((face_->style_flags & FT_STYLE_FLAG_BOLD) != 0) ||
        request.italic != ((face_->style_flags & FT_STYLE_FLAG_ITALIC) != 0))
        return "the face is not of the style asked for (Qt would make it up)";
    if (std::getenv("QT_USE_SYSTEM_LINE_METRICS") != nullptr)
        return "Qt is told to take FreeType's line metrics";
    return {};
}

// The size as Qt sets it, then the heights from hhea, overridden by OS/2
// where it has them, and the average width.
std::string SizedFace::readMetrics(const FontRequest& request)
{
    const int px = request.pixelSize;
    const long long ysize = static_cast<long long>(px) * 64;
    const long long xsize = ysize * request.stretch / 100;
    if (xsize < 1 || xsize > INT_MAX || FT_Set_Char_Size(face_, xsize, ysize, 0, 0) != 0)
        return "FreeType cannot size the face";
    const int em = face_->units_per_EM;
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    if (hhea == nullptr || os2 == nullptr || os2->version == 0xffff)
        return "the face lacks the OS/2 or hhea table";
    std::optional<Fixed> ascent, descent;
    if (hhea->Ascender != 0 || hhea->Descender != 0) {
        ascent = scaledHeight(hhea->Ascender, px, em);
        descent = scaledHeight(-hhea->Descender, px, em);
    }
    constexpr FT_UShort useTypoMetrics = 0x80;
    if (os2->fsSelection & useTypoMetrics) {
        if (os2->sTypoAscender != 0 || os2->sTypoDescender != 0) {
            ascent = scaledHeight(os2->sTypoAscender, px, em);
            descent = scaledHeight(-os2->sTypoDescender, px, em);
        }
    } else if (os2->usWinAscent != 0 || os2->usWinDescent != 0) {
        ascent = scaledHeight(os2->usWinAscent, px, em);
        descent = scaledHeight(os2->usWinDescent, px, em);
    }
    const long long averageUnits = static_cast<long long>(os2->xAvgCharWidth) *
                                   face_->size->metrics.x_ppem;
    const std::optional<Fixed> average =
        fitsInt(averageUnits * 64) ? dividedBy(averageUnits * 64, em) : std::nullopt;
    if (!ascent || !descent || !average || os2->xAvgCharWidth == 0)
        return "the face's metrics pass what Qt's fixed point holds, or it has none";
    metrics_ = {rounded(*ascent) + rounded(*descent), rounded(*ascent), rounded(*average)};
    return {};
}

// HarfBuzz on the face at Qt's scale: x and y sizes in 26.6 (y negative,
// as Qt's), the sizes in whole pixels and in points at 96 to the inch.
void SizedFace::makeShaper(const FontRequest& request)
{
    hb_font_t* parent = hb_ft_font_create_referenced(face_);
    font_ = hb_font_create_sub_font(parent);
    hb_font_destroy(parent);
    hb_font_set_funcs(font_, unhintedAdvances(), face_, nullptr);
    const double yPpem = request.pixelSize;
    const double xPpem = request.pixelSize * request.stretch / 100.0;
    hb_font_set_scale(font_, static_cast<int>(xPpem * 64), -static_cast<int>(yPpem * 64));
    hb_font_set_ppem(font_, static_cast<unsigned>(xPpem), static_cast<unsigned>(yPpem));
    hb_font_set_ptem(font_, static_cast<float>(yPpem * 72 / 96));
    buffer_ = hb_buffer_create();
}

int SizedFace::textWidth(std::string_view text, std::string& unproven)
{
    if (!unproven_.empty()) {
        unproven = unproven_;
        return static_cast<int>(text.size()) * metrics_.aveCharWidth;
    }
    std::vector<hb_codepoint_t> characters;
    characters.reserve(text.size());
    bool latin = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || (byte >= 0x7f && byte < 0xa0))
            unproven = "a text holds a control character";
        else if (FT_Get_Char_Index(face_, byte) == 0)
            unproven = "the face has no glyph for a character of a text (Qt takes another font)";
        latin = latin || isLatinLetter(byte);
        characters.push_back(byte);
    }
    hb_buffer_clear_contents(buffer_);
    hb_buffer_add_utf32(buffer_, characters.data(), static_cast<int>(characters.size()), 0,
                        static_cast<int>(characters.size()));
    hb_buffer_set_direction(buffer_, HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer_, latin ? HB_SCRIPT_LATIN : HB_SCRIPT_COMMON);
    hb_buffer_guess_segment_properties(buffer_);
    const hb_feature_t kerning{HB_TAG('k', 'e', 'r', 'n'), 1, 0, static_cast<unsigned>(-1)};
    hb_shape(font_, buffer_, &kerning, 1);
    unsigned count = 0;
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer_, &count);
    Fixed width = 0;
    for (unsigned i = 0; i < count; ++i)
        width += positions[i].x_advance;
    return rounded(width);
}
