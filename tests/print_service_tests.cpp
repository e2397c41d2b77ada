// The spooler's half of printing with the file system and the spooler
// replaced: a document goes to the spooler only when it was written
// whole, and it never outlives its job.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "pages/SignalCleanup.h"
#include "platform/SpoolerPrintService.h"

namespace {

// How the document's file system behaves.
enum class Disk { Roomy, Full, FillsAfter4K };

struct PrintRow {
    const char* name;
    Disk disk;
    bool spoolerTakes;
    PrintOutcome outcome;
    int submitted;
};

class SpoolerJobs : public ::testing::TestWithParam<PrintRow> {
protected:
    void SetUp() override
    {
        const char* queue = std::getenv("PRINTER");
        if (queue == nullptr || *queue == '\0' || !spooler().reachable() ||
            spooler().defaultDestination() != queue)
            GTEST_SKIP() << "no test queue: tools/setup-printer (as root) makes one";
        destination = queue;
    }

    SpoolerPrintService spooler(Disk disk = Disk::Roomy, bool takes = true)
    {
        SpoolerPrintService::Routes routes;
        routes.createDocument = [this, disk](std::string& path) {
            path = dir.path().toStdString() + "/document.pdf";
            const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
            if (disk == Disk::Full) {
                ::close(fd);
                return ::open("/dev/full", O_WRONLY);
            }
            return fd;
        };
        routes.submit = [this, takes](const std::string& to, const std::string& path) {
            submissions.push_back(to + " " + path);
            documentSize = QFileInfo(QString::fromStdString(path)).size();
            return takes;
        };
        return SpoolerPrintService(routes);
    }

    // Draws a page of many lines, so that the document is well over 4 KiB.
    static void drawPage(PrintJob& job)
    {
        const PageSize page = job.pageSize();
        for (int i = 0; i < 2000; ++i)
            job.canvas().segment({i % page.width, 0}, {page.width - 1 - i % page.width, page.height - 1},
                                 {0xff0000, 3});
        job.canvas().endLine();
        job.canvas().text({100, 100}, "kelvo", FontSpec{.height = -100, .face = "Times New Roman"},
                          0, 0xffffff);
    }

    QTemporaryDir dir;
    std::string destination;
    std::vector<std::string> submissions;
    qint64 documentSize = 0;
};

// Keeps the file-size limit for one scope: past it, writes fail with EFBIG
// as on a full disk, part way through the document.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &kept_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = kept_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &kept_); }

private:
    rlimit kept_{};
};

TEST_P(SpoolerJobs, SpoolOnlyWholeDocumentsAndLeaveNone)
{
    const PrintRow& row = GetParam();
    SpoolerPrintService service = spooler(row.disk, row.spoolerTakes);
    {
        std::unique_ptr<PrintJob> job = service.open(destination);
        ASSERT_NE(job, nullptr);
        drawPage(*job);
        PrintOutcome outcome;
        if (row.disk == Disk::FillsAfter4K) {
            const FileSizeLimit limit(4096);
            outcome = job->finish();
        } else {
            outcome = job->finish();
        }
        EXPECT_EQ(outcome, row.outcome);
        EXPECT_EQ(submissions.size(), static_cast<std::size_t>(row.submitted));
        if (!submissions.empty()) {
            EXPECT_GT(documentSize, 4096) << "the whole page was handed over";
        }
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "the document is removed with its job";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, SpoolerJobs,
    ::testing::Values(PrintRow{"whole", Disk::Roomy, true, PrintOutcome::Spooled, 1},
                      PrintRow{"refusedBySpooler", Disk::Roomy, false, PrintOutcome::Refused, 1},
                      PrintRow{"fullDisk", Disk::Full, true, PrintOutcome::Incomplete, 0},
                      PrintRow{"diskFillsPartWay", Disk::FillsAfter4K, true,
                               PrintOutcome::Incomplete, 0}),
    [](const auto& info) { return std::string(info.param.name); });

using SpoolerJobsDeathTest = SpoolerJobs;

// Ended by SIGTERM while the spooler has the document: the handler removes
// it, and the signal still ends the process.
TEST_F(SpoolerJobsDeathTest, TerminatedPrintLeavesNoDocument)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    SpoolerPrintService::Routes routes;
    routes.createDocument = [this](std::string& path) {
        path = dir.path().toStdString() + "/document.pdf";
        return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    };
    routes.submit = [](const std::string&, const std::string&) {
        std::raise(SIGTERM);
        return true;
    };
    SpoolerPrintService service(routes);
    EXPECT_EXIT(
        {
            SignalCleanup::install();
            std::unique_ptr<PrintJob> job = service.open(destination);
            drawPage(*job);
            job->finish();
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// The page is laid out at the destination's own resolution: the test
// queue's is 300 dpi, so an A4 or Letter page is about 2500 dots across.
TEST_F(SpoolerJobs, PageIsAtTheDestinationsResolution)
{
    SpoolerPrintService service = spooler();
    std::unique_ptr<PrintJob> job = service.open(destination);
    ASSERT_NE(job, nullptr);
    const Resolution dpi = job->canvas().resolution();
    EXPECT_EQ(dpi.x, 300);
    EXPECT_EQ(dpi.y, 300);
    EXPECT_GT(job->pageSize().width, 2300);
    EXPECT_LT(job->pageSize().width, 2600);
}

// A destination that reports no resolution, or some other, is printed at
// 600 dpi or at its own: the page in dots scales with it.
TEST_F(SpoolerJobs, ResolutionFallsBackTo600)
{
    std::vector<int> widths;
    for (const int reported : {0, 600, 150}) {
        SpoolerPrintService::Routes routes;
        routes.resolution = [reported](const std::string&) { return reported; };
        routes.createDocument = [this](std::string& path) {
            path = dir.path().toStdString() + "/document.pdf";
            return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        };
        SpoolerPrintService service(routes);
        std::unique_ptr<PrintJob> job = service.open(destination);
        ASSERT_NE(job, nullptr);
        EXPECT_EQ(job->canvas().resolution().x, reported == 0 ? 600 : reported);
        widths.push_back(job->pageSize().width);
    }
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_NEAR(widths[2] * 4, widths[1], 4);
}

} // namespace
