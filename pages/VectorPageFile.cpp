#include "pages/VectorPageFile.h"

#include <memory>

#include "device/RecordingCanvas.h"
#include "pages/FileOutput.h"
#include "pages/HpglPage.h"
#include "pages/LayeredWindow.h"
#include "pages/PageDrawing.h"
#include "pages/SvgPage.h"

namespace {

// Writes each call's trace line as it is drawn, in blocks, so that a page
// of any number of lines needs little memory.
class TraceWriter final : public CallSink {
public:
    explicit TraceWriter(ByteSink& out) : out_(out) { buffer_.reserve(blockSize + 256); }

    void take(const RecordedCall& call) override
    {
        appendTraceLine(buffer_, call);
        buffer_ += '\n';
        if (buffer_.size() >= blockSize)
            flush();
    }

    // False once a block could not be written; later blocks are dropped.
    bool flush()
    {
        if (ok_ && !buffer_.empty())
            ok_ = out_.write(buffer_);
        buffer_.clear();
        return ok_;
    }

private:
    static constexpr std::size_t blockSize = 1 << 16;
    ByteSink& out_;
    std::string buffer_;
    bool ok_ = true;
};

// A window whose pictures are their calls, handed to a sink; text is
// measured on the canvas given.
class TraceWindow final : public DeviceWindow {
public:
    TraceWindow(Canvas& fonts, CallSink& sink, int width, int height)
        : fonts_(fonts), sink_(sink), width_(width), height_(height)
    {
    }

    DeviceRect clientRect() override { return {0, 0, width_, height_}; }
    Canvas* acquireCanvas() override
    {
        recorder_ = std::make_unique<RecordingCanvas>(fonts_, &sink_);
        return recorder_.get();
    }
    void releaseCanvas(Canvas*) override { recorder_.reset(); }
    PromptAnswer ask(Prompt kind, const std::string&, const std::string&) override
    {
        return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
    }

private:
    Canvas& fonts_;
    CallSink& sink_;
    int width_, height_;
    std::unique_ptr<RecordingCanvas> recorder_;
};

bool writeCalls(const PageRequest& r, Canvas& fonts, ByteSink& out, PageFileResult& result)
{
    TraceWriter writer(out);
    TraceWindow window(fonts, writer, r.width, r.height);
    drawPage(r, window, result);
    return writer.flush();
}

template <class Page>
bool writeLayered(const PageRequest& r, Canvas& fonts, ByteSink& out, PageFileResult& result)
{
    LayeredWindow<Page> window([&] { return std::make_unique<Page>(fonts, r.width, r.height); },
                               out, r.width, r.height);
    drawPage(r, window, result);
    result.error = window.error();
    return window.written();
}

} // namespace

bool isVectorFormat(PageFormat format)
{
    return format == PageFormat::Svg || format == PageFormat::Hpgl || format == PageFormat::Calls;
}

bool writeVectorPage(PageFormat format, const PageRequest& request, Canvas& fonts, ByteSink& out,
                     PageFileResult& result)
{
    switch (format) {
    case PageFormat::Svg: return writeLayered<SvgPage>(request, fonts, out, result);
    case PageFormat::Hpgl: return writeLayered<HpglPage>(request, fonts, out, result);
    case PageFormat::Calls: return writeCalls(request, fonts, out, result);
    case PageFormat::Png:
    case PageFormat::Pdf: break;
    }
    return false;
}

PageFileResult writeVectorPageFile(const std::string& path, PageFormat format,
                                   const PageRequest& request, Canvas& fonts,
                                   const std::function<bool()>& keep)
{
    PageFileResult result = pageResultBefore(format, request);
    if (!result.error.empty())
        return result;
    saveFile(
        path, result,
        [&](ByteSink& out) { return writeVectorPage(format, request, fonts, out, result); }, keep);
    return result;
}
