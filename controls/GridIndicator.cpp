#include "controls/GridIndicator.h"

#include <QPainter>

namespace {

// Rows of the three images; '#' is a set pixel.
constexpr const char* kArrow[kIndicatorImageHeight] = {"......", "#.....", "##....", "###...",
                                                       "####..", "#####.", "####..", "###...",
                                                       "##....", "#.....", "......"};
constexpr const char* kIBeam[kIndicatorImageHeight] = {"##.##.", "..#...", "..#...", "..#...",
                                                       "..#...", "..#...", "..#...", "..#...",
                                                       "..#...", "..#...", "##.##."};
constexpr const char* kAsterisk[kIndicatorImageHeight] = {"......", "......", "..#...", "#.#.#.",
                                                          ".###..", "#####.", ".###..", "#.#.#.",
                                                          "..#...", "......", "......"};

const char* const* rowsOf(GridIndicator which) {
    switch (which) {
    case GridIndicator::Edit:
        return kIBeam;
    case GridIndicator::Insert:
        return kAsterisk;
    case GridIndicator::Browse:
        break;
    }
    return kArrow;
}

} // namespace

void paintIndicator(QPainter& painter, QPoint origin, GridIndicator which, const QColor& colour) {
    const char* const* rows = rowsOf(which);
    for (int y = 0; y < kIndicatorImageHeight; ++y) {
        for (int x = 0; x < kIndicatorImageWidth; ++x) {
            if (rows[y][x] == '#')
                painter.fillRect(origin.x() + x, origin.y() + y, 1, 1, colour);
        }
    }
}
