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
