#pragma once

#include "Twips.h"

#include <QWidget>
#include <algorithm>

// Places a control by its design values in twips (left, top, width, height); never smaller than a pixel.
inline void placeTwips(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(twips::toPixels(left), twips::toPixels(top), std::max(1, twips::toPixels(width)),
                   std::max(1, twips::toPixels(height)));
}
