#include "fonts/FaceChoice.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include <fontconfig/fontconfig.h>

namespace {

struct PatternDelete {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDelete {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDelete {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDelete>;
using FontSet = std::unique_ptr<FcFontSet, FontSetDelete>;

const FcChar8* fc(const std::string& text)
{
    return reinterpret_cast<const FcChar8*>(text.c_str());
}

std::string stringOf(FcPattern* pattern, const char* object, int at = 0)
{
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, at, &value) == FcResultMatch
               ? reinterpret_cast<const char*>(value)
               : std::string();
}

int integerOf(FcPattern* pattern, const char* object, int otherwise)
{
    int value = otherwise;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

bool boolOf(FcPattern* pattern, const char* object, bool otherwise)
{
    FcBool value = otherwise ? FcTrue : FcFalse;
    FcPatternGetBool(pattern, object, 0, &value);
    return value == FcTrue;
}

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Whether one of a face's family names is the family, in any case, as
// Qt's font database files each face under all its names.
bool namedAs(FcPattern* face, const std::string& family)
{
    for (int i = 0;; ++i) {
        const std::string name = stringOf(face, FC_FAMILY, i);
        if (name.empty())
            return false;
        if (sameName(name, family))
            return true;
    }
}

// Every face fontconfig lists under the family.
std::vector<FcPattern*> facesOf(const std::string& family, FontSet& holder)
{
    const Pattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, fc(family));
    const std::unique_ptr<FcObjectSet, ObjectSetDelete> objects(FcObjectSetBuild(
        FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_LANG, FC_VARIABLE, nullptr));
    holder.reset(FcFontList(nullptr, pattern.get(), objects.get()));
    std::vector<FcPattern*> faces;
    for (int i = 0; holder && i < holder->nfont; ++i)
        if (namedAs(holder->fonts[i], family))
            faces.push_back(holder->fonts[i]);
    return faces;
}

// A family name Qt reads as it is: no list of families, no foundry in
// brackets, no quotes, no blanks at its ends, printable ASCII.
bool plainFamilyName(const std::string& family)
{
    return !family.empty() && family.front() != ' ' && family.back() != ' ' &&
           std::all_of(family.begin(), family.end(), [](char c) {
               return c >= 0x20 && c < 0x7f && c != ',' && c != '"' && c != '\'' && c != '[' &&
                      c != ']';
           });
}

// Qt's first fallback for a family fontconfig does not list: the family
// of fontconfig's best match for it in the slant asked for.
std::string fallbackFamily(const FontRequest& request)
{
    const Pattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, fc(request.family));
    FcPatternAddInteger(pattern.get(), FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    return match ? stringOf(match.get(), FC_FAMILY) : std::string();
}

bool weightFits(int weight, bool bold)
{
    return bold ? weight == FC_WEIGHT_BOLD : weight == FC_WEIGHT_REGULAR || weight == FC_WEIGHT_BOOK;
}

// The family's one face of the request's weight and slant at normal
// width; null, with why, when there is none, or more than one, or the
// family also holds faces of other widths, between which Qt chooses by
// the stretch.
FcPattern* styleOf(const std::vector<FcPattern*>& faces, const FontRequest& request,
                   std::string& why)
{
    FcPattern* chosen = nullptr;
    for (FcPattern* face : faces) {
        if (integerOf(face, FC_WIDTH, FC_WIDTH_NORMAL) != FC_WIDTH_NORMAL) {
            why = "the family holds faces of other widths";
            return nullptr;
        }
        const int slant = integerOf(face, FC_SLANT, FC_SLANT_ROMAN);
        if ((slant == FC_SLANT_ITALIC) != request.italic || slant == FC_SLANT_OBLIQUE ||
            !weightFits(integerOf(face, FC_WEIGHT, FC_WEIGHT_REGULAR), request.bold))
            continue;
        if (chosen != nullptr) {
            why = "the family holds more than one face of the style asked for";
            return nullptr;
        }
        chosen = face;
    }
    if (chosen == nullptr)
        why = "the family holds no face of the style asked for (Qt would make one up)";
    return chosen;
}

// Qt's settings for the face at the size: the family it was asked as, the
// file and the size, through fontconfig's configuration. Proven where
// advances are unhinted (slight hinting), nothing is emboldened or
// transformed, and glyphs are smoothed by FreeType's own hinting.
std::string settingsRefusal(const std::string& family, const std::string& file, int index,
                            int pixelSize)
{
    const Pattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, fc(family));
    FcPatternAddString(pattern.get(), FC_FILE, fc(file));
    FcPatternAddInteger(pattern.get(), FC_INDEX, index);
    FcPatternAddDouble(pattern.get(), FC_PIXEL_SIZE, pixelSize);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || stringOf(match.get(), FC_FILE) != file)
        return "fontconfig does not set up the face as Qt would ask for it";
    if (integerOf(match.get(), FC_HINT_STYLE, -1) != FC_HINT_SLIGHT ||
        !boolOf(match.get(), FC_HINTING, true))
        return "fontconfig hints the face otherwise than slightly";
    if (!boolOf(match.get(), FC_ANTIALIAS, true) || boolOf(match.get(), FC_AUTOHINT, false))
        return "fontconfig smooths or hints the face otherwise";
    if (boolOf(match.get(), FC_EMBOLDEN, false))
        return "fontconfig emboldens the face";
    FcMatrix* matrix = nullptr;
    if (FcPatternGetMatrix(match.get(), FC_MATRIX, 0, &matrix) == FcResultMatch &&
        (matrix->xx != 1 || matrix->xy != 0 || matrix->yx != 0 || matrix->yy != 1))
        return "fontconfig transforms the face";
    return {};
}

FaceChoice refused(std::string why)
{
    return {{}, 0, std::move(why)};
}

} // namespace

FaceChoice chooseFace(const FontRequest& request)
{
    if (!plainFamilyName(request.family))
        return refused("the family's name is not plain ASCII");
    FontSet listed, fallback;
    std::string family = request.family;
    std::vector<FcPattern*> faces = facesOf(family, listed);
    if (faces.empty()) {
        family = fallbackFamily(request);
        faces = family.empty() ? faces : facesOf(family, fallback);
    }
    std::string why;
    FcPattern* face = styleOf(faces, request, why);
    if (face == nullptr)
        return refused("\"" + request.family + "\": " + why);
    FcLangSet* languages = nullptr;
    if (FcPatternGetLangSet(face, FC_LANG, 0, &languages) != FcResultMatch ||
        FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>("en")) != FcLangEqual)
        return refused("\"" + family + "\" is not a face for Latin text");
    if (boolOf(face, FC_VARIABLE, false))
        return refused("\"" + family + "\" is a variable font");
    FaceChoice choice{stringOf(face, FC_FILE), integerOf(face, FC_INDEX, 0), {}};
    choice.unproven = settingsRefusal(family, choice.file, choice.index, request.pixelSize);
    if (!choice.proven())
        choice.file.clear();
    return choice;
}
