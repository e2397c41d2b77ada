#include "platform/PageMimeData.h"

std::unique_ptr<QMimeData> pageMimeData(const PageRequest& request)
{
    auto data = std::make_unique<QMimeData>();
    const QImage image = pageImage(request);
    if (!image.isNull())
        data->setImageData(image);
    const QByteArray svg = pageSvg(request);
    if (!svg.isEmpty())
        data->setData(QString::fromLatin1(svgMimeType), svg);
    return data;
}
