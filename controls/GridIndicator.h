#pragma once
// The one-colour 6 x 11 images of the grid's indicator column.
#include <QColor>
#include <QPoint>

class QPainter;

/// Which image marks the current row.
enum class GridIndicator {
    Browse, ///< DBGARROW: solid right-pointing triangle
    Edit,   ///< DBEDIT: I-beam
    Insert  ///< DBINSERT: asterisk
};

/// Width and height of every indicator image, in pixels.
constexpr int kIndicatorImageWidth = 6;
constexpr int kIndicatorImageHeight = 11;

/// Paints the image with its top-left corner at origin, one logical pixel per
/// image pixel, so that it stays sharp at any whole scale factor.
void paintIndicator(QPainter& painter, QPoint origin, GridIndicator which, const QColor& colour);
