#include "tools/render/RememberedMetrics.h"

RememberedMetrics::RememberedMetrics(MetricsMemo memo, Loader load)
    : memo_(std::move(memo)), load_(std::move(load))
{
}

MeasuringCanvas* RememberedMetrics::measuring()
{
    if (inner_ == nullptr && !loadFailed_) {
        inner_ = load_();
        loadFailed_ = inner_ == nullptr;
        if (loadFailed_)
            note("the text measuring module cannot be loaded");
    }
    return inner_.get();
}

bool RememberedMetrics::provenAnswer()
{
    std::string why = inner_->takeUnproven();
    if (why.empty())
        return true;
    note(std::move(why));
    return false;
}

TextMetrics RememberedMetrics::fontMetrics(const FontSpec& font)
{
    if (const auto known = memo_.metrics(font))
        return *known;
    MeasuringCanvas* canvas = measuring();
    if (canvas == nullptr)
        return {};
    const TextMetrics metrics = canvas->fontMetrics(font);
    if (provenAnswer())
        memo_.keepMetrics(font, metrics);
    return metrics;
}

int RememberedMetrics::textWidth(const std::string& text, const FontSpec& font)
{
    if (const auto known = memo_.width(text, font))
        return *known;
    MeasuringCanvas* canvas = measuring();
    if (canvas == nullptr)
        return 0;
    const int width = canvas->textWidth(text, font);
    if (provenAnswer())
        memo_.keepWidth(text, font, width);
    return width;
}

std::vector<std::string> RememberedMetrics::setupFiles() const
{
    return inner_ != nullptr ? inner_->setupFiles() : std::vector<std::string>{};
}

void RememberedMetrics::keep(const std::string& path)
{
    if (path.empty() || !memo_.changed() || inner_ == nullptr)
        return;
    memo_.fingerprint(inner_->setupFiles());
    memo_.write(path);
}
