// The settings dialog's header picture.
#pragma once

#include <QImage>

namespace orba {

// 64 x 64: a microphone with two notes on a night-blue tile.
QImage dialogHeaderPicture();

}  // namespace orba
