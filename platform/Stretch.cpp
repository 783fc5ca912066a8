#include "Stretch.h"

#include "Exceptions.h"

std::vector<int> NearestSourceIndices(int n, int m)
{
    std::vector<int> indices(static_cast<size_t>(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i)
        indices[static_cast<size_t>(i)] = NearestSourceIndex(i, n, m);
    return indices;
}

QImage StretchNearest(const QImage& source, int width, int height)
{
    if (source.isNull() || width <= 0 || height <= 0)
        return QImage();
    const QImage src =
        source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull())
        throw EOutOfMemory();
    const std::vector<int> columns = NearestSourceIndices(width, src.width());
    for (int y = 0; y < height; ++y) {
        const auto* in =
            reinterpret_cast<const QRgb*>(src.constScanLine(NearestSourceIndex(y, height, src.height())));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = in[columns[static_cast<size_t>(x)]];
    }
    return out;
}
