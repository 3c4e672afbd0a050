#include "platform/WindowIcon.h"

#include <QApplication>

QIcon ProgramIcon()
{
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tallyhorn-%1.png").arg(size), QSize(size, size));
    return icon;
}

void SetProgramWindowIcon()
{
    QApplication::setWindowIcon(ProgramIcon());
}
