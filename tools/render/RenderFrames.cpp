#include "tools/render/RenderFrames.h"

#include <algorithm>
#include <cstdio>

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
            std::fprintf(stderr, "kelvo-render: stopped at frame %d of %d\n", frame, run.count);
            return pageStatus;
        }
        status = std::max(status, pageStatus);
        progress.show(frame + 1, path);
    }
    return status;
}
