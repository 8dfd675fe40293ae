#pragma once

#include <QIcon>
#include <QPixmap>

namespace infotrakon::gui {

// The refresh button's picture, 16 x 17 pixels at `scale` times their size, drawn from the
// panel's shapes on a transparent ground.
QPixmap RefreshPicture(qreal scale = 1);
// The picture at 1x, at 2x and at the screen's own scale.
QIcon RefreshIcon();

}  // namespace infotrakon::gui
