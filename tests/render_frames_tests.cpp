// kelvo-render's frames as a user runs them: each frame is the page one
// kelvo-render --set draws, a frame that cannot be written stops the
// run, a refused mesh warns and the run goes on.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <webp/demux.h>

namespace {

struct ToolRun {
    int status;
    std::string err;
};

// kelvo-render with no environment but the sanitizers', its status and
// its stderr (a pipe, so not a terminal).
ToolRun run(const std::string& args)
{
    std::string command = "env -i ";
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            command += std::string(name) + "='" + value + "' ";
    command += std::string(KELVO_RENDER_PATH) + " " + args + " 2>&1 >/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class RenderFrames : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
    QTemporaryDir dir;
};

struct FramesRow {
    const char* name;
    const char* frameArgs;
    const char* extension;
    // The --set of each frame's single page, after the frames' own sets.
    std::vector<std::string> singles;
};

class FramesAreSinglePages : public RenderFrames, public ::testing::WithParamInterface<FramesRow> {};

TEST_P(FramesAreSinglePages, CallForCall)
{
    const FramesRow& row = GetParam();
    const std::string ext = row.extension;
    const ToolRun frames = run(std::string(row.frameArgs) + " -o " + path("frame-%02d" + ext));
    ASSERT_EQ(frames.status, 0) << frames.err;
    EXPECT_EQ(frames.err, "") << "nothing but errors when stderr is not a terminal";
    // The frame arguments without their --frames or --sweep.
    std::string sets = " " + std::string(row.frameArgs);
    sets = sets.substr(0, std::min(sets.find(" --frames"), sets.find(" --sweep")));
    for (std::size_t i = 0; i < row.singles.size(); ++i) {
        const std::string single = path("single" + ext);
        ASSERT_EQ(run(sets + " --set '" + row.singles[i] + "' -o " + single).status, 0);
        char name[32];
        std::snprintf(name, sizeof name, "frame-%02zu", i);
        const std::string frame = read(path(name + ext));
        EXPECT_FALSE(frame.empty()) << name;
        EXPECT_TRUE(frame == read(single)) << name << " is not the page of --set " << row.singles[i];
        if (i > 0) {
            EXPECT_FALSE(frame == read(path("frame-00" + ext))) << name << " is frame 0 again";
        }
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(
        path("frame-" + std::to_string(row.singles.size()) + ext))));
}

INSTANTIATE_TEST_SUITE_P(Runs, FramesAreSinglePages, ::testing::Values(
    FramesRow{"turn", "--set theta=10 --frames 4 --turn", ".calls",
              {"theta=10", "theta=100", "theta=190", "theta=280"}},
    FramesRow{"turnOfSeven", "--set 'f(x,y)=sin(x*y)' --frames 7 --turn", ".calls",
              {"theta=0", "theta=51.42857142857143", "theta=102.85714285714286",
               "theta=154.28571428571428", "theta=205.71428571428572",
               "theta=257.14285714285717", "theta=308.57142857142856"}},
    FramesRow{"sweepOfTilt", "--set fc=16 --sweep tilt=60:-30:3", ".calls",
              {"tilt=60", "tilt=15", "tilt=-30"}},
    FramesRow{"sweepOfAParameter", "--set 'f(x,y)=exp(-a*(x*x+y*y))' --sweep a=0.5:2:4", ".calls",
              {"a=0.5", "a=1", "a=1.5", "a=2"}},
    FramesRow{"sweepOfTheMesh", "--sweep n=4:10:3", ".calls", {"n=4", "n=7", "n=10"}},
    FramesRow{"turnAsPng", "--size 320x240 --frames 3 --turn", ".png",
              {"theta=0", "theta=120", "theta=240"}},
    // More frames than workers, each compressed ahead of its writing.
    FramesRow{"sweepAsPngOnEveryCore", "--size 160x120 --sweep tilt=0:90:9", ".png",
              {"tilt=0", "tilt=11.25", "tilt=22.5", "tilt=33.75", "tilt=45", "tilt=56.25",
               "tilt=67.5", "tilt=78.75", "tilt=90"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The frames of an animated WebP, decoded, against single PNG pages.
std::vector<QImage> webpFrames(const std::string& bytes, int& timestamp)
{
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    std::vector<QImage> frames;
    WebPAnimInfo info;
    if (decoder == nullptr || !WebPAnimDecoderGetInfo(decoder, &info))
        return frames;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* pixels = nullptr;
        if (!WebPAnimDecoderGetNext(decoder, &pixels, &timestamp))
            break;
        const int width = static_cast<int>(info.canvas_width);
        const int height = static_cast<int>(info.canvas_height);
        frames.push_back(QImage(pixels, width, height, width * 4, QImage::Format_ARGB32)
                             .convertToFormat(QImage::Format_RGB32));
    }
    WebPAnimDecoderDelete(decoder);
    return frames;
}

TEST_F(RenderFrames, AnimatedWebpHoldsTheSinglePagesExactly)
{
    const ToolRun r = run("--size 400x300 --set fc=16 --frames 4 --turn -o " + path("turn.webp"));
    ASSERT_EQ(r.status, 0) << r.err;
    int lastTimestamp = 0;
    const std::vector<QImage> frames = webpFrames(read(path("turn.webp")), lastTimestamp);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(lastTimestamp, 4 * 40) << "each frame is shown for 1/25 s";
    for (int i = 0; i < 4; ++i) {
        const std::string single = path("single" + std::to_string(i) + ".png");
        ASSERT_EQ(run("--size 400x300 --set fc=16 --set theta=" + std::to_string(90 * i) + " -o " +
                      single).status, 0);
        const QImage page = QImage(QString::fromStdString(single)).convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(frames[static_cast<std::size_t>(i)] == page) << "frame " << i;
    }
    EXPECT_FALSE(frames[0] == frames[1]);
}

TEST_F(RenderFrames, AnimationsAreBoundedTogether)
{
    const ToolRun r = run("--size 16384x8192 --frames 17 --turn -o " + path("big.webp"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("at most 2147483648 pixels in all its frames"), std::string::npos) << r.err;
    const ToolRun field = run("--frames 2 --turn -o " + path("t%d.webp"));
    EXPECT_EQ(field.status, 2);
    EXPECT_NE(field.err.find("takes no field"), std::string::npos) << field.err;
}

// Frame 2's file is a directory: frames 0 and 1 are written, the run
// stops there, names the file, and writes no frame after it (PNG frames
// are drawn ahead of their writing, and still none after it is written).
class FailedFrame : public RenderFrames, public ::testing::WithParamInterface<const char*> {};

TEST_P(FailedFrame, StopsTheRun)
{
    const std::string ext = GetParam();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path("f2" + ext))));
    const ToolRun r = run("--size 200x150 --frames 6 --turn -o " + path("f%d" + ext));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write " + path("f2" + ext)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("stopped at frame 2 of 6"), std::string::npos) << r.err;
    EXPECT_FALSE(read(path("f1" + ext)).empty());
    for (const char* after : {"f3", "f4", "f5"})
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path(after + ext)))) << after;
}

INSTANTIATE_TEST_SUITE_P(Formats, FailedFrame, ::testing::Values(".calls", ".png", ".svg", ".hpgl"),
                         [](const auto& info) { return std::string(info.param + 1); });

// The last frame's mesh is refused and the f(x,y) line does not parse:
// every frame is written as a single page is, with its warnings, and the
// run ends with status 1.
class WarnedFrames : public RenderFrames, public ::testing::WithParamInterface<const char*> {};

TEST_P(WarnedFrames, AreWrittenAndTold)
{
    const std::string ext = GetParam();
    const ToolRun r = run("--size 200x150 --set 'f(x,y)=sin(x' --sweep n=1:-1:3 -o " +
                          path("f%d" + ext));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("must not be negative (n=-1 m=40 k=10)"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("n=0 "), std::string::npos) << r.err;
    std::size_t parseWarnings = 0;
    for (std::size_t at = 0; (at = r.err.find("Parse error", at)) != std::string::npos; ++at)
        ++parseWarnings;
    EXPECT_EQ(parseWarnings, 3u) << r.err;
    for (const char* frame : {"f0", "f1", "f2"})
        EXPECT_FALSE(read(path(frame + ext)).empty()) << frame;
}

INSTANTIATE_TEST_SUITE_P(Formats, WarnedFrames, ::testing::Values(".calls", ".png"),
                         [](const auto& info) { return std::string(info.param + 1); });

// On a terminal (script(1) gives the run one) a progress line is kept
// on stderr's last line and cleared at the end.
TEST_F(RenderFrames, ProgressOnATerminal)
{
    const std::string command = "script -qec 'env -i " KELVO_RENDER_PATH " --frames 3 --turn -o " +
                                path("f%d.calls") + "' /dev/null > " + path("terminal");
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string terminal = read(path("terminal"));
    EXPECT_NE(terminal.find("frame 3 of 3"), std::string::npos) << terminal;
    EXPECT_EQ(terminal.substr(terminal.size() - 4), "\r\033[K") << "the line is cleared";
}

} // namespace
