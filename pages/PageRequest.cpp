#include "pages/PageRequest.h"

#include <algorithm>
#include <cctype>

std::string lowerSuffixOf(const std::string& path)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    std::string suffix = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return suffix;
}

std::optional<PageFormat> pageFormatOf(const std::string& path)
{
    const std::string suffix = lowerSuffixOf(path);
    if (suffix == "png")
        return PageFormat::Png;
    if (suffix == "svg")
        return PageFormat::Svg;
    if (suffix == "pdf")
        return PageFormat::Pdf;
    if (suffix == "hpgl")
        return PageFormat::Hpgl;
    if (suffix == "calls")
        return PageFormat::Calls;
    return std::nullopt;
}
