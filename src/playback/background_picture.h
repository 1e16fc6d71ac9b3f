#pragma once

#include <QPixmap>
#include <QSize>

// The picture the player shows between songs.
QPixmap playerBackgroundPicture(QSize size);
