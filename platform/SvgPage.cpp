#include "platform/SvgPage.h"

#include "platform/SvgCanvas.h"

SvgPage::SvgPage(Canvas& fonts, int width, int height)
    : layers_([&fonts](PageLayer layer, QIODevice& out) {
          return std::make_unique<SvgCanvas>(fonts, out, std::string(nameOf(layer).id) + '-');
      }),
      width_(width), height_(height)
{
}

bool SvgPage::write(QIODevice& out)
{
    const std::string w = std::to_string(width_), h = std::to_string(height_);
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" version=\"1.1\" width=\"" +
        w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + ' ' + h +
        "\" shape-rendering=\"crispEdges\">\n<title>kelvo</title>\n";
    const std::string tail = "</svg>\n";
    const auto layer = [](PageLayer l) {
        const PageLayerName& name = nameOf(l);
        return LayeredPage::Wrap{"<g inkscape:groupmode=\"layer\" inkscape:label=\"" +
                                     std::string(name.label) + "\" id=\"" + std::string(name.id) +
                                     "\">\n",
                                 "</g>\n"};
    };
    return out.write(head.data(), static_cast<qint64>(head.size())) ==
               static_cast<qint64>(head.size()) &&
           layers_.write(out, layer) &&
           out.write(tail.data(), static_cast<qint64>(tail.size())) ==
               static_cast<qint64>(tail.size());
}
