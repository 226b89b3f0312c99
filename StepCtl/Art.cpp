#include "Art.h"

#include <QtGlobal>

// The resources live in a static library, so they are registered by hand before first use.
// (Q_INIT_RESOURCE must be used outside any namespace.)
static void registerArt() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(art);
        return true;
    }();
    (void)registered;
}

QIcon applicationIcon() {
    registerArt();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 256})
        icon.addFile(QStringLiteral(":/art/stepctl-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap logoBitmap() {
    registerArt();
    return QPixmap(QStringLiteral(":/art/logo.png"));
}
