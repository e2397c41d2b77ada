#include "platform/LayeredPage.h"

LayeredPage::LayeredPage(const MakeLayer& make)
{
    LayerSplitCanvas::Layers canvases{};
    for (std::size_t i = 0; i < pageLayerCount; ++i) {
        buffers_[i] = std::make_unique<SpillBuffer>();
        layers_[i] = make(static_cast<PageLayer>(i), *buffers_[i]);
        canvases[i] = layers_[i].get();
    }
    split_ = std::make_unique<LayerSplitCanvas>(canvases);
}

LayeredPage::~LayeredPage() = default;

bool LayeredPage::write(QIODevice& out, const std::function<Wrap(PageLayer)>& wrap)
{
    // A layer's canvas writes what it holds as it ends.
    split_.reset();
    for (auto& layer : layers_)
        layer.reset();
    for (std::size_t i = 0; i < pageLayerCount; ++i) {
        SpillBuffer& buffer = *buffers_[i];
        if (!buffer.error().empty()) {
            error_ = buffer.error();
            return false;
        }
        if (buffer.empty())
            continue;
        const Wrap w = wrap(static_cast<PageLayer>(i));
        if (out.write(w.before.data(), static_cast<qint64>(w.before.size())) !=
                static_cast<qint64>(w.before.size()) ||
            !buffer.copyTo(out) ||
            out.write(w.after.data(), static_cast<qint64>(w.after.size())) !=
                static_cast<qint64>(w.after.size())) {
            error_ = buffer.error();
            return false;
        }
    }
    return true;
}
