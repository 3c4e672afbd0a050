#include "controls/Artwork.h"

// The resource registration lives in this static library; naming it here keeps the linker from
// dropping it.
static void RegisterControlsResources()
{
    Q_INIT_RESOURCE(controls);
}

QImage LoadArtwork(const QString& name)
{
    static const bool registered = (RegisterControlsResources(), true);
    Q_UNUSED(registered);
    return QImage(QStringLiteral(":/images/%1.png").arg(name));
}

QImage TransparentImage(const QImage& source)
{
    if (source.isNull())
        return source;
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key)
                line[x] = 0;
    }
    return image;
}
