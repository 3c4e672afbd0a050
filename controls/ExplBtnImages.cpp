#include "controls/ExplBtnImages.h"

#include "controls/Artwork.h"
#include "controls/SystemColors.h"

#include <memory>

namespace {
std::unique_ptr<QPixmap> g_downPattern;
} // namespace

const QPixmap& DownPattern()
{
    if (!g_downPattern) {
        QImage image(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                image.setPixelColor(x, y,
                                    (x % 2) == (y % 2) ? SystemColors::BtnHighlight()
                                                       : SystemColors::BtnFace());
        g_downPattern = std::make_unique<QPixmap>(QPixmap::fromImage(image));
    }
    return *g_downPattern;
}

void ResetDownPattern()
{
    g_downPattern.reset();
}

QImage SilhouetteImage(const QImage& source, const QColor& color)
{
    QImage image = TransparentImage(source);
    const QRgb fill = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qAlpha(line[x]) ? fill : 0;
    }
    return image;
}

QImage MakeGreyImage(const QImage& bitmap, TExplorerButtonShadingType shading,
                     const QColor& highlight, const QColor& shadow)
{
    if (bitmap.isNull())
        return QImage();
    struct Thresholds {
        int white, highlight, shadow;
    };
    static constexpr Thresholds table[] = {{205, 127, 68}, {553, 231, 57}, {335, 274, 175}};
    const Thresholds& t = table[shading];
    QImage grey = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb background = grey.pixel(0, 0);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            if (line[x] == background)
                continue;
            const int sum = qRed(line[x]) + qGreen(line[x]) + qBlue(line[x]);
            QRgb out = qRgb(0, 0, 0);
            if (sum > t.white)
                out = qRgb(255, 255, 255);
            else if (sum > t.highlight)
                out = highlight.rgb();
            else if (sum > t.shadow)
                out = shadow.rgb();
            line[x] = out;
        }
    }
    return grey;
}
