#include "platform/WindowIcon.h"

#include <QApplication>
#include <QImageReader>
#include <QPixmap>
#include <QString>

// The compiled-in pictures are registered by name, as the library is static.
static void RegisterIconResources()
{
    Q_INIT_RESOURCE(icons);
}

QImage ProgramIconImage(int size)
{
    RegisterIconResources();
    // Qt's own PNG reader, without asking each installed image plugin first whether it reads
    // the file (which loads them all).
    QImageReader reader(QStringLiteral(":/icons/tallyhorn-%1.png").arg(size), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon ProgramIcon(const QList<QImage>& images)
{
    QIcon icon;
    int i = 0;
    for (int size : ProgramIconSizes) {
        const QImage image = i < images.size() ? images[i] : ProgramIconImage(size);
        ++i;
        if (image.size() == QSize(size, size))
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

void SetProgramWindowIcon(const QIcon& icon)
{
    QApplication::setWindowIcon(icon);
}
