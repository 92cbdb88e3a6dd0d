#pragma once
#include "tools/splash/Raster.h"

/// Paints high-rise dormitory blocks behind a row of trees on a clear day.
/// Coordinates are laid out for a 604 x 453 picture and multiplied by scale,
/// so the raster must be 604 * scale by 453 * scale pixels.
void drawDormitoryScene(Raster& raster, double scale);
