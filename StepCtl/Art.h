// The panel's pictures, bundled as resources (drawn by art/make-art.cpp).
#pragma once

#include <QIcon>
#include <QPixmap>

QIcon applicationIcon();  // IDR_MAINFRAME: 16, 24, 32, 48 and 256 pixels
QPixmap logoBitmap();     // IDB_LOGO: 168 x 53
