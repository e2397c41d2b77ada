// The text measuring module: TextMetricsCanvas, with fontconfig, FreeType
// and HarfBuzz, loaded by kelvo-render only for a page it draws itself.
#include "fonts/TextMetricsCanvas.h"

extern "C" __attribute__((visibility("default"))) MeasuringCanvas* kelvoMakeTextMetricsCanvas()
{
    return new TextMetricsCanvas;
}
