#include "pages/HpglPage.h"

#include "pages/HpglCanvas.h"

HpglPage::HpglPage(Canvas& fonts, int width, int height)
    : layers_([&fonts, width, height](PageLayer, ByteSink& out) {
          return std::make_unique<HpglCanvas>(fonts, out, width, height);
      })
{
}

bool HpglPage::write(ByteSink& out)
{
    const std::string head = "IN;\n", tail = "PU;SP0;\n";
    return out.write(head) && layers_.write(out, [](PageLayer) { return LayeredPage::Wrap{}; }) &&
           out.write(tail);
}
