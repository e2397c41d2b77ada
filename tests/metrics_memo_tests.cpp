// The memo of measured text kept between runs of kelvo-render: its
// answers come back as kept, it is valid only while everything they were
// measured under stands, and the canvas in front of the measuring one
// loads that one only for what the memo lacks.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tools/render/MetricsMemo.h"
#include "tools/render/RememberedMetrics.h"

namespace {

namespace fs = std::filesystem;

class Folder {
public:
    Folder()
    {
        std::string name = (fs::temp_directory_path() / "kelvo-memo-XXXXXX").string();
        path_ = ::mkdtemp(name.data());
    }
    ~Folder() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

FontSpec font(std::string face, int height = -13, int width = 0)
{
    FontSpec f;
    f.face = std::move(face);
    f.height = height;
    f.width = width;
    return f;
}

TEST(MetricsMemo, AnswersComeBackAsKept)
{
    Folder folder;
    write(folder / "a.conf", "x");
    MetricsMemo memo;
    FontSpec styled = font("Times New Roman");
    styled.italic = styled.stockFixed = true;
    styled.weight = 700;
    const std::string texts[] = {"", "a = 5", "100%", "=x", "tab\tand\nline", "\xe9t\xe9\x85 \x7f"};
    memo.keepMetrics(styled, {15, 12, 7});
    memo.keepMetrics(font("Arial", -13, 9), {16, 13, 9});
    for (int i = 0; const std::string& text : texts)
        memo.keepWidth(text, styled, 20 + i++);
    memo.fingerprint({folder / "a.conf"});

    const MetricsMemo back = MetricsMemo::parse(memo.text());
    ASSERT_EQ(back.size(), 2u + std::size(texts));
    EXPECT_EQ(back.metrics(styled)->ascent, 12);
    EXPECT_EQ(back.metrics(font("Arial", -13, 9))->height, 16);
    EXPECT_FALSE(back.metrics(font("Arial", -13, 8)));
    EXPECT_FALSE(back.metrics(font("Times New Roman")));  // not italic
    for (int i = 0; const std::string& text : texts)
        EXPECT_EQ(back.width(text, styled), 20 + i++) << text;
    EXPECT_FALSE(back.width("a = 6", styled));
    EXPECT_FALSE(back.changed());
}

// The memo's setup is a file, a folder and a place with nothing at it;
// each change to any of them, or to a variable fontconfig reads, leaves
// no answer.
struct Change {
    const char* name;
    std::function<void(const Folder&)> make;
};

class MemoSetup : public ::testing::TestWithParam<Change> {};

TEST_P(MemoSetup, AnyChangeLeavesNoAnswer)
{
    Folder folder;
    write(folder / "fonts.conf", "<fontconfig/>");
    fs::create_directory(folder / "fonts");
    MetricsMemo memo;
    memo.keepWidth("z", font("Serif"), 7);
    memo.fingerprint({folder / "fonts.conf", folder / "fonts", folder / "user.conf"});
    const std::string text = memo.text();
    ASSERT_EQ(MetricsMemo::parse(text).width("z", font("Serif")), 7);

    GetParam().make(folder);
    EXPECT_EQ(MetricsMemo::parse(text).size(), 0u);
    ::unsetenv("FC_LANG");
}

void touch(const std::string& path)
{
    const timespec times[2] = {{1, 0}, {1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Changes, MemoSetup, ::testing::Values(
    Change{"fileTouched", [](const Folder& f) { touch(f / "fonts.conf"); }},
    Change{"fileRewritten", [](const Folder& f) { write(f / "fonts.conf", "<fontconfig></fontconfig>"); }},
    Change{"fileRemoved", [](const Folder& f) { fs::remove(f / "fonts.conf"); }},
    Change{"fontAdded", [](const Folder& f) { write(f / "fonts/new.ttf", ""); }},
    Change{"placeFilled", [](const Folder& f) { write(f / "user.conf", ""); }},
    Change{"variableSet", [](const Folder&) { ::setenv("FC_LANG", "de", 1); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A memo spoilt in any one place is no memo at all.
struct Spoilt {
    const char* name;
    const char* from;
    const char* to;
};

class SpoiltMemo : public ::testing::TestWithParam<Spoilt> {};

TEST_P(SpoiltMemo, HasNoAnswer)
{
    Folder folder;
    write(folder / "a.conf", "x");
    MetricsMemo memo;
    memo.keepMetrics(font("Serif"), {15, 12, 7});
    memo.keepWidth("a%b", font("Serif"), 26);
    memo.fingerprint({folder / "a.conf"});
    std::string text = memo.text();
    const std::size_t at = text.find(GetParam().from);
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, std::string(GetParam().from).size(), GetParam().to);
    EXPECT_EQ(MetricsMemo::parse(text).size(), 0u) << text;
}

INSTANTIATE_TEST_SUITE_P(Places, SpoiltMemo, ::testing::Values(
    Spoilt{"otherVersion", "metrics 1\n", "metrics 2\n"},
    Spoilt{"otherProgram", "program =/", "program =/x/"},
    Spoilt{"cutShort", " 26\n", " 26"},
    Spoilt{"notANumber", " 26\n", " 2x6\n"},
    Spoilt{"numberTooLarge", " 26\n", " 99999999999\n"},
    Spoilt{"badEscape", "a%25b", "a%2Gb"},
    Spoilt{"escapeCut", "=a%25b", "=a%2"},
    Spoilt{"wordMissing", " 15 12 7\n", " 15 12\n"},
    Spoilt{"wordMore", " 15 12 7\n", " 15 12 7 1\n"},
    Spoilt{"badFlags", " 0000 =Serif 15", " 0020 =Serif 15"},
    Spoilt{"unknownLine", "width ", "height "},
    Spoilt{"emptyLine", "width ", "\nwidth "},
    Spoilt{"noFiles", "file ", "width 1 0 0 0000 =S =t 1\nx"}),
    [](const auto& info) { return std::string(info.param.name); });

// A measuring canvas that counts what it is asked; a text starting with
// '?' is measured unproven.
class CountingCanvas final : public MeasuringCanvas {
public:
    explicit CountingCanvas(int& asked) : asked_(asked) {}
    std::vector<std::string> setupFiles() const override { return {file}; }
    TextMetrics fontMetrics(const FontSpec& f) override
    {
        ++asked_;
        return {-f.height + 2, -f.height, 7};
    }
    int textWidth(const std::string& text, const FontSpec&) override
    {
        ++asked_;
        if (text.starts_with("?"))
            note("a question");
        return static_cast<int>(7 * text.size());
    }
    static inline std::string file;

private:
    int& asked_;
};

TEST(RememberedMetrics, MeasuresOnlyWhatTheMemoLacks)
{
    Folder folder;
    write(folder / "face.ttf", "");
    CountingCanvas::file = folder / "face.ttf";
    const std::string memoPath = folder / "cache/kelvo/text-metrics";
    int loads = 0, asked = 0;
    const auto loader = [&] {
        ++loads;
        return std::make_unique<CountingCanvas>(asked);
    };
    const auto page = [&](RememberedMetrics& fonts) {
        EXPECT_EQ(fonts.fontMetrics(font("Serif")).ascent, 13);
        EXPECT_EQ(fonts.textWidth("f(x,y)", font("Serif")), 42);
        EXPECT_EQ(fonts.textWidth("?", font("Serif")), 7);
    };

    RememberedMetrics first(MetricsMemo::read(memoPath), loader);
    page(first);
    EXPECT_EQ(first.unproven(), "a question");
    first.keep(memoPath);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(fs::status(folder / "cache").permissions() & fs::perms::all, fs::perms::owner_all);

    // The unproven answer was not kept: it alone is measured again.
    RememberedMetrics second(MetricsMemo::read(memoPath), loader);
    EXPECT_EQ(second.textWidth("f(x,y)", font("Serif")), 42);
    EXPECT_EQ(second.fontMetrics(font("Serif")).height, 15);
    EXPECT_EQ(loads, 1);
    page(second);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(asked, 4);

    // The face changed: everything is measured anew.
    write(folder / "face.ttf", "changed");
    RememberedMetrics third(MetricsMemo::read(memoPath), loader);
    page(third);
    EXPECT_EQ(asked, 7);
    EXPECT_NE(readAll(memoPath).find("face.ttf"), std::string::npos);
}

TEST(RememberedMetrics, WithoutTheMeasuringCanvasEveryAnswerIsUnproven)
{
    RememberedMetrics fonts(MetricsMemo{}, [] { return nullptr; });
    EXPECT_EQ(fonts.textWidth("a", font("Serif")), 0);
    EXPECT_EQ(fonts.unproven(), "the text measuring module cannot be loaded");
    EXPECT_FALSE(fonts.measured());
}

} // namespace
