#include "tools/render/RenderFrames.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include <unistd.h>

namespace {

// The line that tells how far the run is, kept on stderr's last line
// and cleared before anything else is written there.
class Progress {
public:
    explicit Progress(int count) : count_(count), shown_(isatty(STDERR_FILENO) == 1) {}
    ~Progress() { clear(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void show(int done, const std::string& path)
    {
        if (shown_)
            std::fprintf(stderr, "\rkelvo-render: frame %d of %d, %s\033[K", done, count_,
                         path.c_str());
    }
    void clear()
    {
        if (shown_)
            std::fputs("\r\033[K", stderr);
    }

private:
    int count_;
    bool shown_;
};

// A drawn frame on its way to the writer.
struct FrameJob {
    int frame;
    std::string path;
    DrawnFrame drawn;
};

// The frames drawn and not yet written: at most two, so that the run
// holds the images of a few pages at most.
class FrameQueue {
public:
    // Waits for room; false once the writer has stopped.
    bool push(FrameJob job)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return jobs_.size() < depth || stopped_; });
        if (stopped_)
            return false;
        jobs_.push_back(std::move(job));
        changed_.notify_all();
        return true;
    }
    // The next frame; none once every frame is taken.
    std::optional<FrameJob> pop()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !jobs_.empty() || finished_; });
        if (jobs_.empty())
            return std::nullopt;
        FrameJob job = std::move(jobs_.front());
        jobs_.pop_front();
        changed_.notify_all();
        return job;
    }
    // No more frames come.
    void finish()
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    }
    // The writer takes no more frames.
    void stop()
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        jobs_.clear();
        changed_.notify_all();
    }

private:
    static constexpr std::size_t depth = 2;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<FrameJob> jobs_;
    bool finished_ = false;
    bool stopped_ = false;
};

void tellStop(int frame, int count)
{
    std::fprintf(stderr, "kelvo-render: stopped at frame %d of %d\n", frame, count);
}

} // namespace

int renderFrames(const FrameRun& run, const FramePattern& pattern, const Sheets& given,
                 const PageWriter& write)
{
    Progress progress(run.count);
    int status = 0;
    for (int frame = 0; frame < run.count; ++frame) {
        const std::string path = pattern.fileName(frame);
        const Sheets sheets = frameSheets(given, run, frame);
        progress.clear();
        const int pageStatus = write(path, sheets);
        if (pageStatus >= 2) {
            tellStop(frame, run.count);
            return pageStatus;
        }
        status = std::max(status, pageStatus);
        progress.show(frame + 1, path);
    }
    return status;
}

int renderFramesOverlapped(const FrameRun& run, const FramePattern& pattern, const Sheets& given,
                           const FrameDrawer& draw, const DrawnFrameWriter& write)
{
    Progress progress(run.count);
    FrameQueue queue;
    int status = 0;
    int stoppedAt = -1;
    std::jthread writer([&] {
        while (std::optional<FrameJob> job = queue.pop()) {
            progress.clear();
            const int pageStatus = write(job->path, job->drawn);
            if (pageStatus >= 2) {
                status = pageStatus;
                stoppedAt = job->frame;
                queue.stop();
                return;
            }
            status = std::max(status, pageStatus);
            progress.show(job->frame + 1, job->path);
        }
    });
    // Lets the writer end, also when drawing throws.
    struct Finish {
        FrameQueue& queue;
        ~Finish() { queue.finish(); }
    } finish{queue};
    for (int frame = 0; frame < run.count; ++frame)
        if (!queue.push({frame, pattern.fileName(frame), draw(frameSheets(given, run, frame))}))
            break;
    queue.finish();
    writer.join();
    if (stoppedAt >= 0)
        tellStop(stoppedAt, run.count);
    return status;
}
