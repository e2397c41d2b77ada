// kelvo-render run as a new user runs it: a process with arguments,
// checked by its exit status, its stderr and the file it writes.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int status;
    std::string err;
};

// The sanitizers' settings of the test run, passed on into the otherwise
// empty environment (a leak suppression among them).
std::string sanitizerSettings()
{
    std::string settings;
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
            settings += std::string(name) + "='" + value + "' ";
    return settings;
}

// kelvo-render with the arguments (or, without `render`, the command the
// arguments are), in an empty environment but for the one given.
ToolRun run(const std::string& args, const std::string& environment = "", bool render = true)
{
    const std::string command = "env -i " + sanitizerSettings() + environment + " " +
                                (args.rfind("sh -c", 0) == 0 || !render ? "" : KELVO_RENDER_PATH " ") +
                                args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// kelvo-render under the shell's limits (ulimit), its status and stderr.
ToolRun runLimited(const std::string& limits, const std::string& args)
{
    return run("sh -c '" + limits + "; exec \"$0\" \"$@\"' " KELVO_RENDER_PATH " " + args);
}

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& path)
{
    return std::ifstream(path).good();
}

class RenderTool : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
    QTemporaryDir dir;
};

TEST_F(RenderTool, EveryFormat)
{
    ASSERT_EQ(run("-o " + path("page.png")).status, 0);
    const QImage png(QString::fromStdString(path("page.png")));
    EXPECT_EQ(png.size(), QSize(800, 600));
    EXPECT_EQ(png.pixel(45, 95), qRgb(253, 254, 218));

    ASSERT_EQ(run("--size 640x480 -o " + path("page.svg")).status, 0);
    const std::string svg = read(path("page.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("640"), std::string::npos);
    EXPECT_NE(svg.find("inkscape:label=\"Upper side\""), std::string::npos);

    ASSERT_EQ(run("-o " + path("page.pdf")).status, 0);
    const std::string pdf = read(path("page.pdf"));
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/OCProperties"), std::string::npos);

    ASSERT_EQ(run("-o " + path("page.HPGL")).status, 0);
    const std::string hpgl = read(path("page.HPGL"));
    EXPECT_EQ(hpgl.substr(0, 4), "IN;\n");
    EXPECT_NE(hpgl.find("SP14;"), std::string::npos) << "the surface in magenta";
    EXPECT_EQ(hpgl.substr(hpgl.size() - 8), "PU;SP0;\n");

    const ToolRun calls = run("-o " + path("page.calls"));
    ASSERT_EQ(calls.status, 0) << calls.err;
    EXPECT_TRUE(calls.err.empty()) << calls.err;
    const std::string trace = read(path("page.calls"));
    EXPECT_EQ(trace.substr(0, trace.find('\n')), "fill 0 0 800 600 #FFFFFF");
    EXPECT_NE(trace.find("text "), std::string::npos);
    EXPECT_NE(trace.find("\"f(x,y) = exp(-(x*x+4*y*y))\""), std::string::npos);
    EXPECT_NE(trace.find(" #FF00FF 1\n"), std::string::npos);
}

TEST_F(RenderTool, SetsChangeThePage)
{
    ASSERT_EQ(run("--set pc=11 --set 'title=x' --set fc=16 -o " + path("red.calls")).status, 0);
    const std::string trace = read(path("red.calls"));
    EXPECT_EQ(trace.find("#FF00FF"), std::string::npos);
    EXPECT_NE(trace.find(" #FF0000 1\n"), std::string::npos);
    EXPECT_NE(trace.find(" #000000 1\n"), std::string::npos);
    ASSERT_EQ(run("--set 'x1=" + std::string(59, '1') + "' -o " + path("long.calls")).status, 0);
    EXPECT_NE(read(path("long.calls")).find("\"x1        = " + std::string(59, '1') + "\""),
              std::string::npos);
}

TEST_F(RenderTool, ParseErrorWarnsAndStillDraws)
{
    const ToolRun r = run("--set 'f(x,y)=sin(x' -o " + path("flat.png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Parse error: therefore f(x,y) = 0"), std::string::npos);
    EXPECT_NE(r.err.find("f(x,y) = sin(x"), std::string::npos);
    EXPECT_NE(r.err.find("sin(x  ')' expected."), std::string::npos);
    EXPECT_TRUE(exists(path("flat.png")));
}

// A print that cannot start says why, and leaves nothing in the
// temporary directory (neither a document nor a runtime directory).
struct RefusedPrint {
    const char* name;
    const char* environment;
    const char* says;
    const char* neverSays;
};

class RefusedPrints : public RenderTool, public ::testing::WithParamInterface<RefusedPrint> {};

TEST_P(RefusedPrints, SayWhyAndLeaveNothing)
{
    const RefusedPrint& row = GetParam();
    const ToolRun r = run("--print", std::string(row.environment) + " TMPDIR=" + path(""));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(row.neverSays), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("not printed"), std::string::npos) << r.err;
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Spooler, RefusedPrints,
    ::testing::Values(RefusedPrint{"unreachable", "CUPS_SERVER=/nonexistent/cups.sock",
                                   "spooler cannot be reached", "No default printer"},
                      RefusedPrint{"noSuchDefault", "PRINTER=no-such-queue", "No default printer",
                                   "cannot be reached"}),
    [](const auto& info) { return std::string(info.param.name); });

// No display is needed, whatever platform the environment names.
TEST_F(RenderTool, RunsOffscreenWhateverThePlatformSays)
{
    const ToolRun r = run("-o " + path("page.png"), "QT_QPA_PLATFORM=xcb");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(path("page.png"))).size(), QSize(800, 600));
}

// Without XDG_RUNTIME_DIR the tool makes a fresh private directory: a
// symlink planted at a name it might have chosen is neither followed nor
// changed, and nothing is left behind.
TEST_F(RenderTool, RuntimeDirectoryIsPrivateAndRemoved)
{
    QTemporaryDir target;
    ASSERT_EQ(chmod(target.path().toLocal8Bit().constData(), 0755), 0);
    const std::string planted = path("kelvo-runtime-" + std::to_string(getuid()));
    ASSERT_EQ(symlink(target.path().toLocal8Bit().constData(), planted.c_str()), 0);
    const ToolRun r = run("-o " + path("page.png"), "TMPDIR=" + path(""));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("XDG_RUNTIME_DIR"), std::string::npos) << r.err;
    struct stat status = {};
    ASSERT_EQ(stat(target.path().toLocal8Bit().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
    EXPECT_TRUE(QDir(target.path()).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              (QStringList{QString::fromStdString("kelvo-runtime-" + std::to_string(getuid())),
                           "page.png"}));
}

// The test queue is this process's default destination through PRINTER
// (ctest sets it); the machine's own default is never touched.
TEST_F(RenderTool, PrintGoesToTheDefaultPrinter)
{
    const char* queue = std::getenv("PRINTER");
    if (queue == nullptr || *queue == '\0' ||
        std::system(("lpstat -v '" + std::string(queue) + "' >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "no test queue: tools/setup-printer (as root) makes one";
    const ToolRun r = run("--print --bw --set 'title=test'",
                          "PRINTER=" + std::string(queue) + " TMPDIR=" + path(""));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "the document and the runtime directory are gone";
    EXPECT_NE(r.err.find("printing to " + std::string(queue)), std::string::npos) << r.err;
    // The job leaves the queue when its page is written; wait for that, so
    // that no late page lands among those of a test that runs next.
    const std::string pending = "test -z \"$(lpstat -o '" + std::string(queue) + "' 2>/dev/null)\"";
    bool done = false;
    for (int i = 0; i < 600 && !done; ++i) {
        done = std::system(pending.c_str()) == 0;
        if (!done)
            usleep(100000);
    }
    EXPECT_TRUE(done) << "the job is still queued after a minute";
}

// A temporary directory that fills up part way through the document (a
// file-size limit of 4 KiB, with SIGXFSZ ignored so that writes fail with
// EFBIG): the truncated document is never handed to the spooler.
TEST_F(RenderTool, TruncatedDocumentIsNotPrinted)
{
    const char* queue = std::getenv("PRINTER");
    if (queue == nullptr || *queue == '\0' ||
        std::system(("lpstat -v '" + std::string(queue) + "' >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "no test queue: tools/setup-printer (as root) makes one";
    const ToolRun r = run("--print", "PRINTER=" + std::string(queue) + " TMPDIR=" + path("") +
                                         " bash -c 'trap \"\" XFSZ; ulimit -f 4; exec \"$0\" \"$@\"'");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("Print failed: The page could not be written completely"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("Printing is Finished"), std::string::npos) << r.err;
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

struct BadRun {
    const char* name;
    const char* args;
    const char* message;
};

class RenderToolRefuses : public RenderTool, public ::testing::WithParamInterface<BadRun> {};

TEST_P(RenderToolRefuses, WithAMessageAndNoFile)
{
    const std::string out = path("out.png");
    std::string args = GetParam().args;
    const auto at = args.find("OUT");
    if (at != std::string::npos)
        args.replace(at, 3, out);
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_FALSE(exists(out));
}

INSTANTIATE_TEST_SUITE_P(Arguments, RenderToolRefuses, ::testing::Values(
    BadRun{"unknownName", "--set zz=1 -o OUT", "no sheet line is named \"zz\""},
    BadRun{"headerName", "--set fdata=3 -o OUT", "no sheet line"},
    BadRun{"noEquals", "--set x1 -o OUT", "NAME=VALUE"},
    BadRun{"valueOfSixtyBytes", "--set 'x1="
           "111111111111111111111111111111111111111111111111111111111111' -o OUT",
           "the value of \"x1\" is longer than 59 bytes"},
    BadRun{"valueOfThirtyTwoByteCharacters", "--set 'title="
           "éééééééééééééééééééééééééééééé' -o OUT",
           "the value of \"title\" is longer than 59 bytes"},
    BadRun{"badSize", "--size 800 -o OUT", "--size takes WxH"},
    BadRun{"zeroSize", "--size 0x600 -o OUT", "--size takes WxH"},
    BadRun{"hugeSize", "--size 99999999x2 -o OUT", "--size takes WxH"},
    BadRun{"noOutput", "--size 10x10", "-o FILE, --print or --save is needed"},
    BadRun{"pngPastThePixelBound", "--size 16384x8193 -o OUT", "at most 134217728 pixels"},
    BadRun{"pdfPastTheSampleBound", "--set n=4097 --set m=4096 --set k=1 -o OUT.pdf",
           "at most 33554432 samples"},
    BadRun{"unknownArgument", "--frobnicate -o OUT", "unknown argument"},
    BadRun{"unwritable", "-o /nonexistent-dir/page.png", "cannot write"},
    BadRun{"unknownExtension", "-o page.jpeg", "extension"},
    BadRun{"printWithOutput", "--print -o OUT", "--print writes no file"},
    BadRun{"unsavable", "--save /nonexistent-dir/sheets.kelvo -o OUT",
           "/nonexistent-dir/sheets.kelvo: cannot be saved: No such file or directory"},
    BadRun{"blackAndWhiteAlone", "--bw -o OUT", "--bw goes with --print"},
    BadRun{"twoDataFiles", "--data a.csv --data b.csv -o OUT", "--data takes one data file"}),
    [](const auto& info) { return std::string(info.param.name); });


// A line whose far end lies 46 million pixels above the page keeps its
// exact ends, and on the picture it crosses the viewport where the true
// line does (x about 54.6), not where a clamped end would put it.
TEST_F(RenderTool, FarEndsAreExactInTheTraceAndThePicture)
{
    const std::string sets = "--set n=0 --set m=1 --set k=1 --set x1=-0.5 --set x2=20 "
                             "--set 'f(x,y)=x*1e4' ";
    ASSERT_EQ(run(sets + "-o " + path("steep.calls")).status, 0);
    EXPECT_NE(read(path("steep.calls")).find("\nline 40 1158736 640 -46336269 #FF00FF 1\n"),
              std::string::npos);
    ASSERT_EQ(run(sets + "-o " + path("steep.png")).status, 0);
    const QImage png(QString::fromStdString(path("steep.png")));
    for (const int y : {100, 330, 560}) {
        std::vector<int> magenta;
        for (int x = 41; x < 640; ++x)
            if (png.pixel(x, y) == qRgb(255, 0, 255))
                magenta.push_back(x);
        ASSERT_EQ(magenta.size(), 1u) << "row " << y;
        EXPECT_NEAR(magenta[0], 54.6, 1.0) << "row " << y;
    }
}

struct RefusedMesh {
    const char* name;
    const char* sets;
    const char* message;
};

class RenderToolMesh : public RenderTool, public ::testing::WithParamInterface<RefusedMesh> {};

// The rest of the page is written, the limit named, the status 1.
TEST_P(RenderToolMesh, RefusedSurfaceWarns)
{
    const ToolRun r = run(std::string(GetParam().sets) + " -o " + path("page.calls"));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("the surface is not drawn"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    const std::string trace = read(path("page.calls"));
    EXPECT_NE(trace.find("frame 40 90 640 570 #00A000 1"), std::string::npos) << "the viewport";
    EXPECT_NE(trace.find("text "), std::string::npos) << "the data panel";
    EXPECT_EQ(trace.find("#FF00FF"), std::string::npos) << "no line in the surface's pen";
}

INSTANTIATE_TEST_SUITE_P(Limits, RenderToolMesh, ::testing::Values(
    RefusedMesh{"negativeN", "--set n=-1", "must not be negative (n=-1 m=40 k=10)"},
    RefusedMesh{"negativeK", "--set k=-3", "must not be negative"},
    RefusedMesh{"tooManyColumns", "--set n=16777216 --set m=1 --set k=1", "16777216 horizon columns"},
    RefusedMesh{"tooManySamples", "--set n=20000 --set m=20000 --set k=1", "268435456 samples"}),
    [](const auto& info) { return std::string(info.param.name); });

// A write that fails part way names its cause and leaves no file, not
// even a temporary one.
TEST_F(RenderTool, FailedWriteNamesItsCauseAndLeavesNothing)
{
    for (const char* name : {"big.png", "big.calls", "big.svg", "big.pdf", "big.hpgl"}) {
        const ToolRun r = runLimited("ulimit -f 8; trap \"\" XFSZ",
                                     "--size 2000x2000 --set n=400 --set m=400 -o " + path(name));
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find("File too large"), std::string::npos) << name << ": " << r.err;
        EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << name;
    }
}

struct HugePage {
    const char* name;
    const char* args;
    const char* file;
    const char* ending;
};

class RenderToolMemory : public RenderTool, public ::testing::WithParamInterface<HugePage> {};

// Pages whose calls or SVG elements, held whole, took more than the
// 300 MB of address space allowed here are written as they are drawn.
TEST_P(RenderToolMemory, HugePageIsStreamedWithinAnAddressSpaceLimit)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves far more address space than the limit";
#endif
    const ToolRun r =
        runLimited("ulimit -v 300000", std::string(GetParam().args) + " -o " + path(GetParam().file));
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(path(GetParam().file));
    std::size_t lines = 0;
    std::string last;
    for (std::string line; std::getline(in, line); ++lines)
        last = line;
    EXPECT_GT(lines, 2000u);
    EXPECT_EQ(last.rfind(GetParam().ending, 0), 0u) << last;
}

INSTANTIATE_TEST_SUITE_P(Formats, RenderToolMemory, ::testing::Values(
    HugePage{"calls", "--set n=2000000 --set m=0 --set k=1", "huge.calls", "line "},
    HugePage{"svg", "--set n=1000 --set m=1000 --set k=2 --set 'f(x,y)=20*sin(1570.8*(x+y))'",
             "huge.svg", "</svg>"},
    HugePage{"hpgl", "--set n=1000 --set m=1000 --set k=2 --set 'f(x,y)=20*sin(1570.8*(x+y))'",
             "huge.hpgl", "PU;SP0;"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

void write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A page saved with --save and drawn again from the file is the same page,
// call for call, with the file's display texts; a --set on top of the file
// wins over the file.
TEST_F(RenderTool, SavedSheetsDrawTheSamePage)
{
    const std::string sets = "--set 'f(x,y)=sin(a*x)*cos(y)' --set title=Wave --set theta=30 "
                             "--set fc=5 --set ax=1 ";
    ASSERT_EQ(run(sets + "--save " + path("wave.kelvo") + " -o " + path("before.calls")).status, 0);
    ASSERT_EQ(run(path("wave.kelvo") + " -o " + path("after.calls")).status, 0);
    EXPECT_EQ(read(path("after.calls")), read(path("before.calls")));
    EXPECT_NE(read(path("after.calls")).find("theta     = 30"), std::string::npos);

    ASSERT_EQ(run(path("wave.kelvo") + " --set theta=60 -o " + path("turned.calls")).status, 0);
    ASSERT_EQ(run(sets + "--set theta=60 -o " + path("direct.calls")).status, 0);
    EXPECT_EQ(read(path("turned.calls")), read(path("direct.calls")));
}

TEST_F(RenderTool, SaveAloneWritesTheSheetsAsTheSetsLeaveThem)
{
    write(path("in.kelvo"), "kelvo sheets 1\n[fdata]\na=1\nb=1\nc=1\nd=1\ne=1\nf(x,y)=x\n[sdata]\n"
                            "x1=-1\nx2=1\ny1=-1\ny2=1\nz1=0\nz2=1\nn=4\nm=4\nk=1\ntilt=10\ntheta=0\n"
                            "pc=13\nfc=0\nax=0\ntitle=\n");
    const ToolRun r = run(path("in.kelvo") + " --set n=8 --save " + path("out.kelvo"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string saved = read(path("out.kelvo"));
    EXPECT_TRUE(saved.starts_with("kelvo sheets 1\n")) << saved;
    EXPECT_NE(saved.find("\nn         = 8\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nf(x,y) = x\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nx1        = -1\n"), std::string::npos) << saved;
}

// A file that cannot be read stops the run before anything is written.
struct BadSheetFile {
    const char* name;
    std::string text;
    const char* message;
};

class RenderToolBadSheetFile : public RenderTool,
                               public ::testing::WithParamInterface<BadSheetFile> {};

TEST_P(RenderToolBadSheetFile, ExitsTwoAndWritesNothing)
{
    const std::string in = path("wave.kelvo");
    if (!GetParam().text.empty())
        write(in, GetParam().text);
    const ToolRun r = run(in + " -o " + path("page.png") + " --save " + path("out.kelvo"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("kelvo-render: " + in + GetParam().message), std::string::npos) << r.err;
    EXPECT_FALSE(exists(path("page.png")));
    EXPECT_FALSE(exists(path("out.kelvo")));
}

INSTANTIATE_TEST_SUITE_P(Files, RenderToolBadSheetFile, ::testing::Values(
    BadSheetFile{"missing", "", ": cannot be read: No such file or directory"},
    BadSheetFile{"notASheetFile", "P3\n", ":1: not a kelvo sheet file"},
    BadSheetFile{"unknownLine", "kelvo sheets 1\n[fdata]\nzz = 1\n",
                 ":3: no sheet line is named \"zz\""}),
    [](const auto& info) { return std::string(info.param.name); });

// A matrix of heights with a row of column names, not flat anywhere
// along a line of the mesh.
const char* const heightsCsv = "x0,x1,x2,x3,x4\n0,1,2,1,0\n1,3,4,2,1\n0,2,5,3,0\n1,1,2,1,1\n";

// A sheet file's text without its [data] block.
std::string withoutDataBlock(std::string text)
{
    return text.substr(0, text.find("\n[data]\n") + 1);
}

// kelvo-render --data FILE draws the grid; the sheet file it saves records
// the data file beside it, and draws the same page from anywhere, with the
// data file moved along.
TEST_F(RenderTool, DataPageRoundTripsThroughASheetFile)
{
    write(path("d.csv"), heightsCsv);
    ASSERT_EQ(run("--data " + path("d.csv") + " --save " + path("s.kelvo") + " -o " +
                  path("b.calls")).status, 0);
    const std::string saved = read(path("s.kelvo"));
    EXPECT_NE(saved.find("\ntitle     = d.csv\n"), std::string::npos) << saved;
    EXPECT_TRUE(saved.ends_with("\n\n[data]\npath = d.csv\n")) << saved;
    EXPECT_NE(saved.find("\nf(x,y) = z\n"), std::string::npos) << saved;
    const ToolRun again = run(path("s.kelvo") + " -o " + path("a.calls"));
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(read(path("a.calls")), read(path("b.calls")));

    // Without its grid the same sheets draw z as a variable: another page.
    write(path("plain.kelvo"), withoutDataBlock(saved));
    ASSERT_EQ(run(path("plain.kelvo") + " -o " + path("plain.calls")).status, 0);
    EXPECT_NE(read(path("plain.calls")), read(path("b.calls")));

    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path("moved/deep"))));
    for (const char* name : {"s.kelvo", "d.csv"})
        ASSERT_EQ(std::rename(path(name).c_str(), path(std::string("moved/deep/") + name).c_str()), 0);
    ASSERT_EQ(run(path("moved/deep/s.kelvo") + " -o " + path("moved.calls")).status, 0);
    EXPECT_EQ(read(path("moved.calls")), read(path("b.calls")));
    // Named from another working folder, relative to it.
    const ToolRun relative = run("sh -c 'cd " + path("moved") + " && exec " KELVO_RENDER_PATH
                                 " deep/s.kelvo -o ../relative.calls'");
    ASSERT_EQ(relative.status, 0) << relative.err;
    EXPECT_EQ(read(path("relative.calls")), read(path("b.calls")));
}

// --data's lines come after the sheet file's and before every --set,
// wherever each stands on the command line.
struct DataOrder {
    const char* name;
    const char* args;       // {S}: the sheet file, {D}: the data file
    const char* reference;  // the same in the order the lines are set
    std::vector<std::string> lines;
};

class RenderToolDataOrder : public RenderTool, public ::testing::WithParamInterface<DataOrder> {
protected:
    std::string filled(std::string args)
    {
        for (const auto& [mark, file] :
             {std::pair<std::string, std::string>{"{S}", path("s.kelvo")}, {"{D}", path("d.csv")}})
            for (auto at = args.find(mark); at != std::string::npos;
                 at = args.find(mark, at + file.size()))
                args.replace(at, mark.size(), file);
        return args;
    }
};

TEST_P(RenderToolDataOrder, SetsWinOverDataAndDataOverTheSheetFile)
{
    write(path("d.csv"), heightsCsv);
    write(path("s.kelvo"), "kelvo sheets 1\n[fdata]\na=1\nb=1\nc=1\nd=1\ne=1\nf(x,y)=sin(x)\n"
                           "[sdata]\nx1=-1\nx2=1\ny1=-1\ny2=1\nz1=0\nz2=3\nn=7\nm=7\nk=4\n"
                           "tilt=20\ntheta=0\npc=9\nfc=0\nax=0\ntitle=Mine\n");
    const ToolRun r = run(filled(GetParam().args) + " --save " + path("out.kelvo") + " -o " +
                          path("page.calls"));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string saved = read(path("out.kelvo"));
    for (const std::string& line : GetParam().lines)
        EXPECT_NE(saved.find("\n" + line + "\n"), std::string::npos) << line << "\n" << saved;
    ASSERT_EQ(run(filled(GetParam().reference) + " -o " + path("reference.calls")).status, 0);
    EXPECT_EQ(read(path("page.calls")), read(path("reference.calls")));
}

const std::vector<std::string> dataLines = {"f(x,y) = z", "x2        = 4", "y2        = 3",
                                            "n         = 3", "m         = 4", "k         = 1",
                                            "z2        = 9", "path = d.csv"};

std::vector<std::string> plus(std::vector<std::string> lines, std::vector<std::string> more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

INSTANTIATE_TEST_SUITE_P(Orders, RenderToolDataOrder, ::testing::Values(
    DataOrder{"setAfterData", "--data {D} --set z2=9", "--data {D} --set z2=9",
              plus(dataLines, {"z1        = 0", "title     = d.csv", "pc        = 13"})},
    DataOrder{"setBeforeData", "--set z2=9 --data {D}", "--data {D} --set z2=9",
              plus(dataLines, {"title     = d.csv"})},
    DataOrder{"sheetFileLast", "--set z2=9 --data {D} {S}", "{S} --data {D} --set z2=9",
              plus(dataLines, {"title     = Mine", "pc        = 9", "tilt      = 20"})},
    DataOrder{"sheetFileBetween", "--data {D} {S} --set z2=9 --set 'f(x,y)=z+a'",
              "{S} --data {D} --set z2=9 --set 'f(x,y)=z+a'",
              {"f(x,y) = z+a", "z2        = 9", "n         = 3", "title     = Mine"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A data file that cannot be read stops the run before anything is
// written, printed or saved.
struct BadDataFile {
    const char* name;
    const char* text;  // null: no file
    const char* message;
};

class RenderToolBadData : public RenderTool, public ::testing::WithParamInterface<BadDataFile> {};

TEST_P(RenderToolBadData, ExitsTwoAndWritesNothing)
{
    const std::string data = path("d.csv");
    if (GetParam().text != nullptr)
        write(data, GetParam().text);
    for (const std::string& output : {" -o " + path("page.png"), std::string(" --print")}) {
        const ToolRun r = run("--data " + data + output + " --save " + path("out.kelvo"));
        EXPECT_EQ(r.status, 2) << output;
        EXPECT_NE(r.err.find("kelvo-render: " + data + GetParam().message), std::string::npos)
            << r.err;
        EXPECT_EQ(r.err.find("printing to"), std::string::npos) << r.err;
        EXPECT_FALSE(exists(path("page.png")));
        EXPECT_FALSE(exists(path("out.kelvo")));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, RenderToolBadData, ::testing::Values(
    BadDataFile{"missing", nullptr, ": cannot be read: No such file or directory"},
    BadDataFile{"ragged", "1 2 3\n4 5 6\n7 8\n", ":3: 2 values, but the first row has 3"},
    BadDataFile{"notANumber", "1,2\n3,1.5x\n", ":2:3: \"1.5x\" is not a number"},
    BadDataFile{"oneRow", "1 2 3\n", ": 1 x 3 heights (rows x columns): a grid needs at least 2 x 2"}),
    [](const auto& info) { return std::string(info.param.name); });

// A sheet file whose data file is gone is still read: the page is that of
// its sheets without a grid, with a warning.
TEST_F(RenderTool, ASheetFileWhoseDataIsGoneDrawsWithoutIt)
{
    write(path("d.csv"), heightsCsv);
    ASSERT_EQ(run("--data " + path("d.csv") + " --save " + path("s.kelvo")).status, 0);
    write(path("plain.kelvo"), withoutDataBlock(read(path("s.kelvo"))));
    std::remove(path("d.csv").c_str());
    const ToolRun r = run(path("s.kelvo") + " -o " + path("page.calls"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelvo-render: " + path("d.csv") + ": cannot be read: No such file or directory\n");
    ASSERT_EQ(run(path("plain.kelvo") + " -o " + path("plain.calls")).status, 0);
    EXPECT_EQ(read(path("page.calls")), read(path("plain.calls")));

    // Another data file given stands in for it, without a word.
    write(path("other.csv"), heightsCsv);
    const ToolRun replaced = run(path("s.kelvo") + " --data " + path("other.csv") + " -o " +
                                 path("other.calls"));
    EXPECT_EQ(replaced.status, 0);
    EXPECT_EQ(replaced.err, "");
}

// Every frame is drawn over the grid.
TEST_F(RenderTool, FramesDrawTheGrid)
{
    write(path("d.csv"), heightsCsv);
    const std::string data = "--data " + path("d.csv") + " --set 'f(x,y)=a*z' ";
    ASSERT_EQ(run(data + "--sweep a=0.5:2:2 -o " + path("frame-%d.calls")).status, 0);
    ASSERT_EQ(run(data + "--set a=2 -o " + path("page.calls")).status, 0);
    EXPECT_EQ(read(path("frame-1.calls")), read(path("page.calls")));
    EXPECT_NE(read(path("frame-0.calls")), read(path("page.calls")));
}

// A vector page kelvo-render draws without Qt is kelvo-render-qt's page,
// byte for byte.
struct BothWays {
    const char* name;
    const char* args;
};

class RenderToolBothWays : public RenderTool, public ::testing::WithParamInterface<BothWays> {};

TEST_P(RenderToolBothWays, VectorPagesAreQtsOwn)
{
    for (const char* format : {"svg", "hpgl", "calls"}) {
        const std::string page = std::string(GetParam().args) + " -o " + path("page.") + format;
        const ToolRun fast = run(page);
        ASSERT_EQ(fast.status, 0) << fast.err;
        const std::string drawn = read(path("page.") + format);
        const ToolRun qt = run(KELVO_RENDER_QT_PATH " " + page, "", false);
        ASSERT_EQ(qt.status, 0) << qt.err;
        EXPECT_TRUE(drawn == read(path("page.") + format)) << format;
        EXPECT_GT(drawn.size(), 1000u) << format;
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, RenderToolBothWays, ::testing::Values(
    BothWays{"defaults", ""},
    BothWays{"ticksBandsAndAFrame", "--set 'f(x,y)=sin(x*y)' --set z1=-1 --set bands=16 --set "
                                    "ticks=1 --set fc=16 --set ax=1 --set tilt=30"},
    BothWays{"accentedLines", "--set 'a=\xe9t\xe9' --set 'c=\xb5\xd7' --set hidden=9"},
    BothWays{"smallPage", "--size 200x150 --set lines=1"}),
    [](const auto& info) { return std::string(info.param.name); });

// A page whose text kelvo-render cannot measure as Qt would for sure (a
// control character, which Qt sets otherwise, fontconfig's full hinting,
// which rounds Qt's advances) is Qt's page: kelvo-render hands it to
// kelvo-render-qt. Alone with its text measuring module, without that
// program, it writes nothing and leaves the old file as it was.
struct Unproven {
    const char* name;
    const char* args;
    const char* environment;
};

class RenderToolUnproven : public RenderTool, public ::testing::WithParamInterface<Unproven> {
protected:
    void SetUp() override
    {
        write(path("hinted.conf"),
              "<?xml version=\"1.0\"?><fontconfig><include>/etc/fonts/fonts.conf</include>"
              "<match target=\"font\"><edit name=\"hintstyle\" mode=\"assign\">"
              "<const>hintfull</const></edit></match></fontconfig>");
    }
    std::string environment() const
    {
        std::string env = GetParam().environment;
        const auto at = env.find("{CONF}");
        if (at != std::string::npos)
            env.replace(at, 6, path("hinted.conf"));
        return env;
    }
};

TEST_P(RenderToolUnproven, GoesToQt)
{
    const std::string args = GetParam().args;
    const ToolRun fast = run(args + " -o " + path("page.svg"), environment());
    ASSERT_EQ(fast.status, 0) << fast.err;
    EXPECT_EQ(fast.err, "");
    ASSERT_EQ(run(KELVO_RENDER_QT_PATH " " + args + " -o " + path("qt.svg"), environment(), false)
                  .status, 0);
    EXPECT_TRUE(read(path("page.svg")) == read(path("qt.svg")));

    ASSERT_EQ(mkdir(path("alone").c_str(), 0755), 0);
    ASSERT_EQ(std::system(("cp " KELVO_RENDER_PATH " " KELVO_TEXT_METRICS_PATH " " + path("alone"))
                              .c_str()),
              0);
    write(path("old.svg"), "old");
    const ToolRun alone =
        run(path("alone/kelvo-render") + " " + args + " -o " + path("old.svg"), environment(), false);
    EXPECT_EQ(alone.status, 2);
    EXPECT_NE(alone.err.find("cannot start the drawing program"), std::string::npos) << alone.err;
    EXPECT_EQ(read(path("old.svg")), "old");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".kelvo-").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Pages, RenderToolUnproven, ::testing::Values(
    Unproven{"tabInALine", "--set 'a=5\t1'", ""},
    Unproven{"nextLineCharacter", "--set 'b=1\x85'", ""},
    Unproven{"fullHinting", "", "FONTCONFIG_FILE={CONF}"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenderTool, SaveRefusesANameWithoutTheExtension)
{
    const ToolRun r = run("--save " + path("sheets.txt"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("whose name ends in .kelvo"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(path("sheets.txt")));
}

} // namespace

namespace {

// Text measured once is measured no more while the fonts stand: the memo
// in the cache folder gives the next page's answers (a memo altered by
// hand moves the text), and a change of fontconfig's setup leaves it
// aside (the page is as first drawn).
TEST_F(RenderTool, MeasuredTextIsKeptWhileTheFontsStand)
{
    const std::string cache = "XDG_CACHE_HOME=" + path("cache");
    const std::string memo = path("cache/kelvo/text-metrics");
    ASSERT_EQ(run("-o " + path("first.svg"), cache).status, 0);
    const std::string first = read(path("first.svg"));
    ASSERT_TRUE(exists(memo));
    ASSERT_EQ(run("-o " + path("again.svg"), cache).status, 0);
    EXPECT_TRUE(read(path("again.svg")) == first);

    std::string kept = read(memo);
    const std::size_t metrics = kept.find("\nmetrics ");
    ASSERT_NE(metrics, std::string::npos) << kept;
    const std::size_t end = kept.find('\n', metrics + 1);
    const std::size_t height = kept.rfind(' ', kept.rfind(' ', end - 1) - 1);
    kept.replace(height, end - height, " 40 30");
    write(memo, kept);
    ASSERT_EQ(run("-o " + path("altered.svg"), cache).status, 0);
    EXPECT_FALSE(read(path("altered.svg")) == first);

    ASSERT_EQ(run("-o " + path("other.svg"), cache + " FONTCONFIG_FILE=/etc/fonts/fonts.conf").status, 0);
    EXPECT_TRUE(read(path("other.svg")) == first);
}

} // namespace
