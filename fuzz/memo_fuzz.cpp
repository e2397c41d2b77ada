// Feeds arbitrary bytes to kelvo-render's reader of its memo of measured
// text (a file in the user's cache folder, which anything may have
// written), after the first lines a memo of this program has; a memo it
// accepts answers, and writes itself back as read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/render/MetricsMemo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string start = MetricsMemo{}.text();
    const MetricsMemo memo =
        MetricsMemo::parse(start + std::string(reinterpret_cast<const char*>(data), size));
    FontSpec font;
    font.face = "Times New Roman";
    font.height = -13;
    memo.metrics(font);
    memo.width("a = 5", font);
    if (memo.size() > 0 && MetricsMemo::parse(memo.text()).size() != memo.size())
        __builtin_trap();  // a valid memo reads back whole
    return 0;
}
