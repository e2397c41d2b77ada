#pragma once
#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

#include "tools/render/FrameRun.h"

struct WebPAnimEncoder;

// One animated WebP image of pages, lossless, shown by browsers: every
// frame for 1/25 s, looping. WebP's lossless coding keeps line art small
// and every pixel exact; a GIF's palette of 256 colours would not: the
// smoothed text of the default page already takes 254, and a page with
// axes and a frame box 260.
class WebpAnimation {
public:
    static constexpr int frameMilliseconds = 40;
    static constexpr std::int64_t mostPixels = mostAnimatedPixels;

    WebpAnimation(int width, int height);
    ~WebpAnimation();
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;

    // Adds the next frame, of the animation's size; false with error set
    // when the encoder refuses it.
    bool add(const QImage& frame, std::string& error);
    // Assembles the frames and writes them to path, whole or not at all.
    bool write(const std::string& path, std::string& error);

private:
    struct EncoderDelete {
        void operator()(WebPAnimEncoder* encoder) const;
    };
    std::unique_ptr<WebPAnimEncoder, EncoderDelete> encoder_;
    int frames_ = 0;
};
