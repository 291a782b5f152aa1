#pragma once

#include <QIcon>
#include <QPixmap>

namespace pamiro::about {

// The program's icon, drawn rather than shipped as an image file.
QPixmap AppPixmap(int size);
QIcon AppIcon();

}  // namespace pamiro::about
