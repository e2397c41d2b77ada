// Page files as written: a PNG decodes to exactly the page's pixels,
// with a palette while it has at most 256 colours; a file is replaced
// whole, keeping what a user gave the old one.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/PageFile.h"
#include "platform/PngEncoder.h"
#include "platform/ReplacingFile.h"
#include "sheets/Sheets.h"

namespace {

// PNG's colour types, byte 25 of the file (in its IHDR chunk).
constexpr int pngRgb = 2;
constexpr int pngPalette = 3;

QImage pageOf(Sheets sheets, int width, int height)
{
    return pageImage(PageRequest{sheets, width, height, {}});
}

// An image of `colours` colours in a pattern of runs and single pixels,
// of a width that no block of eight divides.
QImage coloured(int colours, int width = 203, int height = 37)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int c = (y * width + x) / (1 + (x % 11)) % colours;
            image.setPixel(x, y, qRgb(c & 0xff, (c >> 8) * 90 + 20, (c * 7) & 0xff));
        }
    return image;
}

struct PngRow {
    const char* name;
    std::function<QImage()> image;
    int colourType;
};

class PngFiles : public ::testing::TestWithParam<PngRow> {};

TEST_P(PngFiles, DecodeToTheSamePixels)
{
    const PngRow& row = GetParam();
    const QImage image = row.image();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(encodePng(image, buffer));
    ASSERT_GT(bytes.size(), 25);
    EXPECT_EQ(bytes[25], row.colourType);
    const QImage decoded = QImage::fromData(bytes, "png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(decoded.size(), image.size());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(decoded.pixel(x, y), image.pixel(x, y)) << "at " << x << "," << y;
}

Sheets withLines(std::initializer_list<std::pair<int, const char*>> lines)
{
    Sheets sheets;
    for (const auto& [line, value] : lines)
        buildLine(sheets.sdata[line], sheets.sdata[line].name, value);
    return sheets;
}

INSTANTIATE_TEST_SUITE_P(Pages, PngFiles, ::testing::Values(
    PngRow{"defaultPage", [] { return pageOf(Sheets(), 800, 600); }, pngPalette},
    PngRow{"densePage", [] {
        return pageOf(withLines({{SettingsLine::n, "200"}, {SettingsLine::m, "400"}}), 640, 480);
    }, pngPalette},
    PngRow{"oneColour", [] { return coloured(1); }, pngPalette},
    PngRow{"twoColoursInRunsAndSingles", [] { return coloured(2); }, pngPalette},
    PngRow{"exactly256Colours", [] { return coloured(256); }, pngPalette},
    PngRow{"257ColoursTakeRgb", [] { return coloured(257); }, pngRgb},
    PngRow{"narrowerThanABlock", [] { return coloured(5, 3, 4); }, pngPalette},
    PngRow{"rowsWithPadding", [] { return coloured(40, 101, 9).copy(7, 2, 90, 6); }, pngPalette}),
    [](const auto& info) { return std::string(info.param.name); });

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool put(const std::string& path, const std::string& text)
{
    ReplacingFile file(path);
    return file.open() && file.write(text.data(), text.size()) && file.commit();
}

mode_t modeOf(const std::string& path)
{
    struct stat s = {};
    ::stat(path.c_str(), &s);
    return s.st_mode & 07777;
}

class Replacing : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.path().toStdString() + "/" + name; }
    // The names in the directory, to see that nothing is left beside.
    qsizetype entries() const
    {
        return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).size();
    }
    QTemporaryDir dir;
};

TEST_F(Replacing, AnOldFileKeepsItsPermissions)
{
    ASSERT_TRUE(put(path("page.svg"), "old"));
    ASSERT_EQ(::chmod(path("page.svg").c_str(), 0640), 0);
    ASSERT_TRUE(put(path("page.svg"), "new"));
    EXPECT_EQ(read(path("page.svg")), "new");
    EXPECT_EQ(modeOf(path("page.svg")), 0640u);
    EXPECT_EQ(entries(), 1);
}

TEST_F(Replacing, ANewFileTakesTheUmask)
{
    const mode_t old = ::umask(027);
    const bool written = put(path("page.svg"), "new");
    ::umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(modeOf(path("page.svg")), 0640u);
}

TEST_F(Replacing, ALinkIsWrittenThroughToItsTarget)
{
    ASSERT_TRUE(put(path("target.svg"), "old"));
    ASSERT_EQ(::symlink("target.svg", path("link.svg").c_str()), 0);
    ASSERT_TRUE(put(path("link.svg"), "new"));
    EXPECT_EQ(read(path("target.svg")), "new");
    struct stat link = {};
    ASSERT_EQ(::lstat(path("link.svg").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
}

TEST_F(Replacing, ADirectoryIsNotReplaced)
{
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path("page.svg"))));
    ReplacingFile file(path("page.svg"));
    EXPECT_FALSE(file.open());
    EXPECT_EQ(file.error(), "Is a directory");
    EXPECT_EQ(entries(), 1);
}

TEST_F(Replacing, AnUncommittedFileLeavesTheOldOne)
{
    ASSERT_TRUE(put(path("page.svg"), "old"));
    {
        ReplacingFile file(path("page.svg"));
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("new", 3));
    }
    EXPECT_EQ(read(path("page.svg")), "old");
    EXPECT_EQ(entries(), 1);
}

TEST_F(Replacing, AMissingDirectoryIsTold)
{
    ReplacingFile file(path("no/page.svg"));
    EXPECT_FALSE(file.open());
    EXPECT_EQ(file.error(), "No such file or directory");
}

} // namespace
