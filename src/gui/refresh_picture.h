#pragma once

#include <QPixmap>

namespace infotrakon::gui {

// The refresh button's picture, 16 x 17 pixels: a white dog-eared sheet with a grey border
// and two green circular arrows, on the button face.
QPixmap RefreshPicture();

}  // namespace infotrakon::gui
