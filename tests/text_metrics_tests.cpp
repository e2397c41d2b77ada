// Text measured without Qt (fonts/TextMetricsCanvas) against Qt's own
// measure (platform/QtCanvas), answer for answer: every font request a
// page makes and more, and every text of the traced pages with every
// Latin-1 character. Where the canvas says an answer is proven it must be
// Qt's; where Qt would take another path (a face of another width, a
// synthetic style, a character the face lacks) it must say it is not.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "device/Fonts.h"
#include "fonts/TextMetricsCanvas.h"
#include "platform/QtCanvas.h"

namespace {

// The texts of a trace's text calls, their escapes undone.
void addTracedTexts(const std::filesystem::path& trace, std::set<std::string>& texts)
{
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
        const std::size_t open = line.find(" \"");
        if (!line.starts_with("text ") || open == std::string::npos)
            continue;
        std::string text;
        for (std::size_t i = open + 2; i + 1 < line.size(); ++i) {
            if (line[i] == '\\' && line[i + 1] == 'x') {
                text += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                i += 3;
            } else {
                text += line[i] == '\\' ? line[++i] : line[i];
            }
        }
        texts.insert(text);
    }
}

// Every text a traced page draws, every printable Latin-1 character, and
// pairs that kern, ligatures, accents, texts of digits alone.
std::vector<std::string> texts()
{
    std::set<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(KELVO_TRACES))
        if (entry.path().extension() == ".calls")
            addTracedTexts(entry.path(), all);
    for (int c = 0x20; c <= 0xff; ++c)
        if (c < 0x7f || c >= 0xa0)
            all.insert(std::string(1, static_cast<char>(c)));
    for (const char* text : {"AV", "To", "Wa", "Yo", "LT", "P.", "T,", "fi fl ffi", "0.25",
                             "-1.5e-07", "\xe9t\xe9 \xe0 l'\xeele", "\xb5\xd7\xf7 \xa0\xad",
                             "WAVE AWAY", "kelvo sheets"})
        all.insert(text);
    return {all.begin(), all.end()};
}

struct FaceRow {
    const char* name;
    const char* face;  // null: the system's fixed-pitch font
    int style;         // bold 1, italic 2
    bool proven;       // whether the request is measured without Qt
};

void PrintTo(const FaceRow& row, std::ostream* out) { *out << row.name; }

class TextMetrics : public ::testing::TestWithParam<FaceRow> {
protected:
    static void SetUpTestSuite() { texts_ = texts(); }
    static std::vector<std::string> texts_;

    QImage image_{1, 1, QImage::Format_RGB32};
    QtCanvas qt_{&image_};
    TextMetricsCanvas canvas_;
};

std::vector<std::string> TextMetrics::texts_;

// At 96 dots to the inch, as the page's font is made for a file (its
// size does not depend on the page's), from 6 to 36 points, at the face's
// own width, the page's request (width = height), and narrower.
TEST_P(TextMetrics, AreQtsWhereProven)
{
    const FaceRow& row = GetParam();
    for (const double points : {6.0, 10.0, 14.0, 20.0, 36.0})
        for (const double width : {0.0, points, 8.0}) {
            FontSpec font;
            if (row.face != nullptr)
                font = createPointFont(qt_, row.face, points, width, row.style);
            else
                font.stockFixed = true;
            const std::string at = std::to_string(points) + " pt, width " + std::to_string(width);
            const ::TextMetrics ours = canvas_.fontMetrics(font);
            const std::string why = canvas_.takeUnproven();
            ASSERT_EQ(why.empty(), row.proven) << at << ": " << why;
            if (!row.proven)
                continue;
            const ::TextMetrics theirs = qt_.fontMetrics(font);
            ASSERT_EQ(ours.height, theirs.height) << at;
            ASSERT_EQ(ours.ascent, theirs.ascent) << at;
            ASSERT_EQ(ours.aveCharWidth, theirs.aveCharWidth) << at;
            for (const std::string& text : texts_) {
                const int width = canvas_.textWidth(text, font);
                if (canvas_.takeUnproven().empty()) {
                    ASSERT_EQ(width, qt_.textWidth(text, font)) << at << ": \"" << text << '"';
                }
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Faces, TextMetrics, ::testing::Values(
    // The page's face, and the faces metric-compatible with the others.
    FaceRow{"timesNewRoman", "Times New Roman", 0, true},
    FaceRow{"timesNewRomanBold", "Times New Roman", 1, true},
    FaceRow{"timesNewRomanItalic", "Times New Roman", 2, true},
    FaceRow{"timesNewRomanBoldItalic", "Times New Roman", 3, true},
    FaceRow{"arial", "Arial", 0, true},
    FaceRow{"arialBoldItalic", "Arial", 3, true},
    FaceRow{"courierNew", "Courier New", 0, true},
    FaceRow{"liberationSerifBold", "Liberation Serif", 1, true},
    FaceRow{"dejaVuSansMono", "DejaVu Sans Mono", 0, true},
    FaceRow{"dejaVuSansMonoBold", "DejaVu Sans Mono", 1, true},
    FaceRow{"systemFixed", nullptr, 0, true},
    // Oblique faces only: Qt's choice between them and a made-up italic
    // is not the canvas's to make.
    FaceRow{"dejaVuSansMonoItalic", "DejaVu Sans Mono", 2, false},
    // Families with condensed faces, which Qt takes for a narrow request.
    FaceRow{"dejaVuSans", "DejaVu Sans", 0, false},
    FaceRow{"dejaVuSerifBold", "DejaVu Serif", 1, false},
    FaceRow{"noSuchFaceFallsToDejaVuSans", "No Such Face", 0, false},
    // A family listed twice over (OpenType and Type 1 files).
    FaceRow{"nimbusRoman", "Nimbus Roman", 0, false},
    // One face only: its bold would be made up by Qt.
    FaceRow{"dejaVuMath", "DejaVu Math TeX Gyre", 0, true},
    FaceRow{"dejaVuMathBold", "DejaVu Math TeX Gyre", 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextRow {
    const char* name;
    const char* face;
    std::string text;
    const char* says;
};

void PrintTo(const TextRow& row, std::ostream* out) { *out << row.name; }

class UnprovenTexts : public ::testing::TestWithParam<TextRow> {};

// Texts Qt draws otherwise than by the face's own glyphs: control
// characters (a tab is a tab stop to Qt), a character the face lacks (Qt
// takes it from another font).
TEST_P(UnprovenTexts, AreTold)
{
    TextMetricsCanvas canvas;
    QImage image(1, 1, QImage::Format_RGB32);
    QtCanvas qt(&image);
    const FontSpec font = createPointFont(qt, GetParam().face, 10, 10, 0);
    canvas.textWidth("plain", font);
    ASSERT_EQ(canvas.takeUnproven(), "");
    canvas.textWidth(GetParam().text, font);
    EXPECT_NE(canvas.takeUnproven().find(GetParam().says), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Texts, UnprovenTexts, ::testing::Values(
    TextRow{"tab", "Times New Roman", "x\ty", "control character"},
    TextRow{"newLine", "Times New Roman", "x\n", "control character"},
    TextRow{"delete", "Times New Roman", "x\x7f", "control character"},
    TextRow{"stringTerminator", "Times New Roman", "a\x9c" "b", "control character"},
    TextRow{"softHyphenTheFaceLacks", "DejaVu Math TeX Gyre", "a\xad" "b", "no glyph"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
