#include "tools/render/WebpAnimation.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include "platform/ReplacingFile.h"

void WebpAnimation::EncoderDelete::operator()(WebPAnimEncoder* encoder) const
{
    WebPAnimEncoderDelete(encoder);
}

WebpAnimation::WebpAnimation(int width, int height)
{
    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    options.anim_params.loop_count = 0;
    options.anim_params.bgcolor = 0xffffffff;
    encoder_.reset(WebPAnimEncoderNew(width, height, &options));
}

WebpAnimation::~WebpAnimation() = default;

bool WebpAnimation::add(const QImage& frame, std::string& error)
{
    WebPConfig config;
    WebPPicture picture;
    if (!encoder_ || !WebPConfigInit(&config) || !WebPPictureInit(&picture)) {
        error = "the WebP encoder could not start";
        return false;
    }
    // Level 1 of 9: line art compresses well already, and a higher level
    // costs several times the time for a few per cent.
    WebPConfigLosslessPreset(&config, 1);
    picture.use_argb = 1;
    picture.width = frame.width();
    picture.height = frame.height();
    // RGB32 holds each pixel as the bytes B, G, R, 0xff.
    bool added = WebPPictureImportBGRX(&picture, frame.constBits(),
                                       static_cast<int>(frame.bytesPerLine())) != 0 &&
                 WebPAnimEncoderAdd(encoder_.get(), &picture, frames_ * frameMilliseconds,
                                    &config) != 0;
    WebPPictureFree(&picture);
    if (!added) {
        error = WebPAnimEncoderGetError(encoder_.get());
        return false;
    }
    ++frames_;
    return true;
}

bool WebpAnimation::write(const std::string& path, std::string& error)
{
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder_.get(), nullptr, frames_ * frameMilliseconds, nullptr) ||
        !WebPAnimEncoderAssemble(encoder_.get(), &data)) {
        error = WebPAnimEncoderGetError(encoder_.get());
        return false;
    }
    ReplacingFile file(path);
    const bool written = file.open() &&
                         file.write(reinterpret_cast<const char*>(data.bytes), data.size) &&
                         file.commit();
    WebPDataClear(&data);
    if (!written)
        error = file.error();
    return written;
}
