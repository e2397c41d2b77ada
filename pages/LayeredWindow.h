#pragma once
#include <functional>
#include <memory>
#include <string>

#include "device/DeviceWindow.h"
#include "pages/ByteSink.h"

// The window of a vector page in layers (an SVG, HPGL or PDF page): the
// page is made when the picture starts, its layers are kept as they are
// drawn and written out to `out` when the picture ends. A page drawn into
// a file asks nothing.
template <class Page>
class LayeredWindow final : public DeviceWindow {
public:
    using MakePage = std::function<std::unique_ptr<Page>()>;

    LayeredWindow(MakePage make, ByteSink& out, int width, int height)
        : make_(std::move(make)), out_(out), width_(width), height_(height)
    {
    }

    DeviceRect clientRect() override { return {0, 0, width_, height_}; }
    Canvas* acquireCanvas() override
    {
        page_ = make_();
        return &page_->canvas();
    }
    void releaseCanvas(Canvas*) override
    {
        written_ = page_->write(out_);
        error_ = page_->error();
        page_.reset();
    }
    PromptAnswer ask(Prompt kind, const std::string&, const std::string&) override
    {
        return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
    }

    // Whether the page was written whole; why not, when it was a layer
    // that could not be kept.
    bool written() const { return written_; }
    const std::string& error() const { return error_; }

private:
    MakePage make_;
    ByteSink& out_;
    int width_, height_;
    std::unique_ptr<Page> page_;
    bool written_ = false;
    std::string error_;
};
