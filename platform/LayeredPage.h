#pragma once
#include <QIODevice>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "device/Canvas.h"
#include "device/LayerSplitCanvas.h"
#include "platform/SpillBuffer.h"

// A vector page drawn in layers: each layer's canvas writes into a buffer
// of its own (in memory up to a bound, then in a temporary file) while the
// page is drawn, and the page's file is the layers copied out in the order
// they stack. Its memory is bounded by the buffers' bound and the set of
// strokes drawn.
class LayeredPage {
public:
    // A layer's canvas, writing to the buffer given.
    using MakeLayer = std::function<std::unique_ptr<Canvas>(PageLayer, QIODevice&)>;
    // What comes before a layer's content and after it.
    struct Wrap {
        std::string before, after;
    };

    explicit LayeredPage(const MakeLayer& make);
    ~LayeredPage();
    LayeredPage(const LayeredPage&) = delete;
    LayeredPage& operator=(const LayeredPage&) = delete;

    Canvas& canvas() { return *split_; }

    // Ends the drawing, then writes each layer that holds something in
    // order, wrapped. False when out refused a write or a layer could not
    // be kept; error() then says why, where it was a layer.
    bool write(QIODevice& out, const std::function<Wrap(PageLayer)>& wrap);
    const std::string& error() const { return error_; }

private:
    std::array<std::unique_ptr<SpillBuffer>, pageLayerCount> buffers_;
    std::array<std::unique_ptr<Canvas>, pageLayerCount> layers_;
    std::unique_ptr<LayerSplitCanvas> split_;
    std::string error_;
};
