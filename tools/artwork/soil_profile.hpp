// The soil-profile drawing (bitmaps 106 and 107): the horizons from the surface litter down to
// bedrock, each labelled on a plate.
#pragma once

#include <QFont>
#include <QImage>
#include <QRectF>
#include <vector>

namespace vantrel::artwork {

inline constexpr int kProfileWidth = 176;
inline constexpr int kProfileHeight = 310;

// The artwork's lettering: Liberation Sans at a pixel size.
QFont artwork_font(int pixels, bool bold = false);

// The label plates, in the drawing's pixels at scale 1. The window shows the drawing centred
// in a narrower frame, so the plates keep to the middle.
std::vector<QRectF> profile_plates();

// The drawing in true colour at `scale` times its size.
QImage draw_soil_profile(int scale = 1);

}  // namespace vantrel::artwork
