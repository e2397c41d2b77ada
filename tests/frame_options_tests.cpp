// The command line of kelvo-render's frames: the -o pattern, --frames
// with --turn, --sweep, and the value each frame writes into its line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheets/SheetLookup.h"
#include "tools/render/FramePattern.h"
#include "tools/render/FrameRun.h"
#include "tools/render/RenderOptions.h"

namespace {

struct PatternRow {
    const char* name;
    const char* pattern;
    int frame;
    const char* fileName; // null: refused
    const char* error = "";
};

class Patterns : public ::testing::TestWithParam<PatternRow> {};

TEST_P(Patterns, NameEachFrameOrAreRefused)
{
    const PatternRow& row = GetParam();
    std::string error;
    const auto pattern = FramePattern::parse(row.pattern, error);
    if (row.fileName == nullptr) {
        EXPECT_FALSE(pattern);
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
        return;
    }
    ASSERT_TRUE(pattern) << error;
    EXPECT_EQ(pattern->fileName(row.frame), row.fileName);
}

INSTANTIATE_TEST_SUITE_P(Fields, Patterns, ::testing::Values(
    PatternRow{"zeroPadded", "frame-%03d.png", 7, "frame-007.png"},
    PatternRow{"widerThanThePadding", "frame-%03d.png", 12345, "frame-12345.png"},
    PatternRow{"plain", "f%d.svg", 42, "f42.svg"},
    PatternRow{"spacePadded", "f%4d.svg", 42, "f  42.svg"},
    PatternRow{"widestField", "f%020d.png", 1, "f00000000000000000001.png"},
    PatternRow{"percentSigns", "100%%-%d%%.png", 3, "100%-3%.png"},
    PatternRow{"percentSignsWithoutAField", "100%%.png", 3, "100%.png"},
    PatternRow{"noField", "page.png", 5, "page.png"},
    PatternRow{"twoFields", "f%d-%d.png", 0, nullptr, "not two"},
    PatternRow{"fieldAndPercent", "f%d-%%-%03d.png", 0, nullptr, "not two"},
    PatternRow{"tooWide", "f%021d.png", 0, nullptr, "at most 20 wide"},
    PatternRow{"widthThatOverflows", "f%99999999999999999999d.png", 0, nullptr, "at most 20 wide"},
    PatternRow{"otherConversion", "f%s.png", 0, nullptr, "one field"},
    PatternRow{"negativeFlag", "f%-3d.png", 0, nullptr, "one field"},
    PatternRow{"loneSign", "f%", 0, nullptr, "one field"}),
    [](const auto& info) { return std::string(info.param.name); });

struct OptionsRow {
    const char* name;
    std::vector<std::string> args;
    const char* error; // empty: accepted
};

class FrameOptions : public ::testing::TestWithParam<OptionsRow> {};

TEST_P(FrameOptions, AreAcceptedOrRefusedWithAReason)
{
    std::string error;
    const auto options = parseRenderOptions(GetParam().args, error);
    const std::string expected = GetParam().error;
    if (expected.empty()) {
        EXPECT_TRUE(options) << error;
        return;
    }
    EXPECT_FALSE(options);
    EXPECT_NE(error.find(expected), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(CommandLines, FrameOptions, ::testing::Values(
    OptionsRow{"turn", {"--frames", "360", "--turn", "-o", "f%03d.png"}, ""},
    OptionsRow{"mostFrames", {"--frames", "100000", "--turn", "-o", "f%d.calls"}, ""},
    OptionsRow{"oneFrameNeedsNoField", {"--frames", "1", "--turn", "-o", "f.png"}, ""},
    OptionsRow{"sweepWithSets", {"--set", "n=4", "--sweep", "tilt=-90:90:7", "-o", "t%d.svg"}, ""},
    OptionsRow{"tooManyFrames", {"--frames", "100001", "--turn", "-o", "f%d.png"}, "1 to 100000"},
    OptionsRow{"noFrames", {"--frames", "0", "--turn", "-o", "f%d.png"}, "1 to 100000"},
    OptionsRow{"framesWithoutTurn", {"--frames", "3", "-o", "f%d.png"}, "goes with --turn"},
    OptionsRow{"turnWithoutFrames", {"--turn", "-o", "f%d.png"}, "needs --frames"},
    OptionsRow{"turnAndSweep", {"--frames", "3", "--turn", "--sweep", "a=1:2:3", "-o", "f%d.png"},
               "give one of them"},
    OptionsRow{"noFieldForManyFrames", {"--frames", "2", "--turn", "-o", "f.png"},
               "needs a field for the frame's number"},
    OptionsRow{"fieldInTheExtension", {"--frames", "2", "--turn", "-o", "f.%d"}, "extension"},
    OptionsRow{"framesPrinted", {"--frames", "2", "--turn", "--print"}, "prints one page"},
    OptionsRow{"sweepOfTheFunction", {"--sweep", "f(x,y)=1:2:3", "-o", "f%d.png"},
               "a sheet line with a number, not \"f(x,y)\""},
    OptionsRow{"sweepOfTheTitle", {"--sweep", "title=1:2:3", "-o", "f%d.png"}, "not \"title\""},
    OptionsRow{"sweepOfNoLine", {"--sweep", "zz=1:2:3", "-o", "f%d.png"}, "no sheet line"},
    OptionsRow{"sweepWithoutCount", {"--sweep", "a=1:2", "-o", "f%d.png"}, "NAME=FROM:TO:COUNT"},
    OptionsRow{"sweepOfNoNumber", {"--sweep", "a=x:2:3", "-o", "f%d.png"}, "NAME=FROM:TO:COUNT"},
    OptionsRow{"sweepToInfinity", {"--sweep", "a=1:inf:3", "-o", "f%d.png"}, "NAME=FROM:TO:COUNT"},
    OptionsRow{"sweepWithTrailingText", {"--sweep", "a=1:2x:3", "-o", "f%d.png"}, "NAME=FROM:TO:COUNT"},
    OptionsRow{"sweepOfNoFrames", {"--sweep", "a=1:2:0", "-o", "f%d.png"}, "1 to 100000"},
    OptionsRow{"sweepOfTooManyFrames", {"--sweep", "a=1:2:100001", "-o", "f%d.png"}, "1 to 100000"}),
    [](const auto& info) { return std::string(info.param.name); });

struct SweepRow {
    const char* name;
    const char* sweep;
    std::vector<std::string> values;
};

class Sweeps : public ::testing::TestWithParam<SweepRow> {};

// The text each frame writes into its line, read back from the sheets.
TEST_P(Sweeps, WriteEvenlySpacedValues)
{
    std::string error;
    const auto options = parseRenderOptions({"--sweep", GetParam().sweep, "-o", "f%d.calls"}, error);
    ASSERT_TRUE(options) << error;
    ASSERT_EQ(options->frames->count, static_cast<int>(GetParam().values.size()));
    const Sheets given = inputsOf(*options, error).value().sheets;
    for (int frame = 0; frame < options->frames->count; ++frame) {
        Sheets sheets = frameSheets(given, *options->frames, frame);
        EXPECT_STREQ(findEntryLine(sheets, options->frames->line)->value,
                     GetParam().values[static_cast<std::size_t>(frame)].c_str())
            << "frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, Sweeps, ::testing::Values(
    SweepRow{"upward", "a=1:2:5", {"1", "1.25", "1.5", "1.75", "2"}},
    SweepRow{"reversed", "tilt=90:-90:3", {"90", "0", "-90"}},
    SweepRow{"oneFrameIsFrom", "z2=0.5:7:1", {"0.5"}},
    SweepRow{"shortestTexts", "b=0:1:4", {"0", "0.3333333333333333", "0.6666666666666666", "1"}},
    SweepRow{"endsExactlyAtTo", "c=0.1:0.7:4", {"0.1", "0.3", "0.5", "0.7"}},
    SweepRow{"exponents", "x2=1e-300:1e300:2", {"1e-300", "1e+300"}},
    SweepRow{"integerLine", "n=10:20:3", {"10", "15", "20"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A turntable steps from the theta the sheets are given, --set included.
TEST(Turn, StepsThetaFromTheSheetsTheta)
{
    std::string error;
    const auto options =
        parseRenderOptions({"--set", "theta=-45", "--frames", "8", "--turn", "-o", "f%d.png"}, error);
    ASSERT_TRUE(options) << error;
    const Sheets given = inputsOf(*options, error).value().sheets;
    std::vector<std::string> values;
    for (int frame = 0; frame < 8; ++frame) {
        Sheets sheets = frameSheets(given, *options->frames, frame);
        values.emplace_back(findEntryLine(sheets, "theta")->value);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"-45", "0", "45", "90", "135", "180", "225", "270"}));
}

} // namespace
