#include "tools/render/RenderFrames.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

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

// The frames of a run between the workers that make them and the
// thread that writes them in order: a worker claims the next frame while
// it is fewer than `ahead` frames past the one being written.
class MadeFrames {
public:
    using Made = std::variant<MadeFrame, std::exception_ptr>;

    MadeFrames(int count, int ahead) : count_(count), ahead_(ahead) {}

    // The next frame to make; none once every frame is claimed or the
    // run has stopped.
    std::optional<int> claim()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || next_ >= count_ || next_ < taken_ + ahead_; });
        if (stopped_ || next_ >= count_)
            return std::nullopt;
        return next_++;
    }
    void put(int frame, Made made)
    {
        const std::lock_guard lock(mutex_);
        ready_.emplace(frame, std::move(made));
        changed_.notify_all();
    }
    // Waits for the frame, which is the one after the last taken.
    Made take(int frame)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ready_.contains(frame); });
        Made made = std::move(ready_.at(frame));
        ready_.erase(frame);
        taken_ = frame + 1;
        changed_.notify_all();
        return made;
    }
    // No more frames are claimed.
    void stop()
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

private:
    const int count_;
    const int ahead_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Made> ready_;
    int next_ = 0;
    int taken_ = 0;
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

int renderFramesInParallel(const FrameRun& run, const FramePattern& pattern, const Sheets& given,
                           int workers, const FrameMaker& make, const MadeFrameWriter& write)
{
    if (workers < 1)
        return renderFrames(run, pattern, given, [&](const std::string& path, const Sheets& sheets) {
            QImage scratch;
            MadeFrame frame = make(sheets, scratch);
            return write(path, frame);
        });
    workers = std::min(workers, run.count);
    MadeFrames frames(run.count, 2 * workers);
    std::vector<std::jthread> threads;
    // Stops the workers before they are joined, also when writing throws.
    struct Stop {
        MadeFrames& frames;
        ~Stop() { frames.stop(); }
    };
    for (int i = 0; i < workers; ++i)
        threads.emplace_back([&] {
            QImage scratch;
            while (const std::optional<int> frame = frames.claim()) {
                try {
                    frames.put(*frame, make(frameSheets(given, run, *frame), scratch));
                } catch (...) {
                    frames.put(*frame, std::current_exception());
                }
            }
        });
    const Stop stop{frames};
    Progress progress(run.count);
    int status = 0;
    for (int frame = 0; frame < run.count; ++frame) {
        MadeFrames::Made made = frames.take(frame);
        if (auto* failure = std::get_if<std::exception_ptr>(&made))
            std::rethrow_exception(*failure);
        const std::string path = pattern.fileName(frame);
        progress.clear();
        const int frameStatus = write(path, std::get<MadeFrame>(made));
        if (frameStatus >= 2) {
            tellStop(frame, run.count);
            return frameStatus;
        }
        status = std::max(status, frameStatus);
        progress.show(frame + 1, path);
    }
    return status;
}
