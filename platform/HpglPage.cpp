#include "platform/HpglPage.h"

#include "platform/HpglCanvas.h"

HpglPage::HpglPage(Canvas& fonts, int width, int height)
    : layers_([&fonts, width, height](PageLayer, QIODevice& out) {
          return std::make_unique<HpglCanvas>(fonts, out, width, height);
      })
{
}

bool HpglPage::write(QIODevice& out)
{
    const std::string head = "IN;\n", tail = "PU;SP0;\n";
    return out.write(head.data(), static_cast<qint64>(head.size())) ==
               static_cast<qint64>(head.size()) &&
           layers_.write(out, [](PageLayer) { return LayeredPage::Wrap{}; }) &&
           out.write(tail.data(), static_cast<qint64>(tail.size())) ==
               static_cast<qint64>(tail.size());
}
