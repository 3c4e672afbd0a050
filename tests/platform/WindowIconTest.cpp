// The program's icon: compiled in at every size the desktop asks for, and given to every window.
#include "platform/WindowIcon.h"

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

TEST(WindowIcon, EverySizeIsCompiledInAndEveryWindowHasIt)
{
    const QIcon icon = ProgramIcon();
    QList<QSize> expected;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        expected << QSize(size, size);
        // Each size is its own drawing, not a scaled copy: opaque in the middle, clear corners.
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
    }
    EXPECT_EQ(icon.availableSizes(), expected);

    SetProgramWindowIcon();
    QWidget window;
    EXPECT_EQ(window.windowIcon().availableSizes(), expected);
    QApplication::setWindowIcon(QIcon());
}
