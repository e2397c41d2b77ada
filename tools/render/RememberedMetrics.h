#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fonts/MeasuringCanvas.h"
#include "tools/render/MetricsMemo.h"

// A measuring canvas that answers from a memo of earlier runs, and asks
// the canvas that measures (loaded only then, by `load`) what the memo
// does not hold, keeping the answers that are Qt's for sure. An answer
// that cannot be had (the canvas cannot be loaded) is unproven.
class RememberedMetrics final : public MeasuringCanvas {
public:
    using Loader = std::function<std::unique_ptr<MeasuringCanvas>()>;

    RememberedMetrics(MetricsMemo memo, Loader load);

    // Writes the memo back at path when it has new answers; quietly
    // leaves it where it cannot.
    void keep(const std::string& path);
    // Whether an answer was measured in this run.
    bool measured() const { return inner_ != nullptr; }

    std::vector<std::string> setupFiles() const override;
    TextMetrics fontMetrics(const FontSpec& font) override;
    int textWidth(const std::string& text, const FontSpec& font) override;

private:
    MeasuringCanvas* measuring();
    // Whether the last answer of the measuring canvas is proven; the
    // reason goes to unproven when it is not.
    bool provenAnswer();

    MetricsMemo memo_;
    Loader load_;
    std::unique_ptr<MeasuringCanvas> inner_;
    bool loadFailed_ = false;
};
