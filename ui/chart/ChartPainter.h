#pragma once
// The one drawing routine of the bar chart, used for the screen and for images.
#include <QColor>
#include <QFont>
#include <QRectF>
#include <QStringList>

class QPainter;
class TBarSeries;

/// Everything about the chart's appearance that the drawing needs.
struct ChartLook {
    QStringList title;
    /// Rows at the top that the window showing the chart keeps out of view;
    /// the title starts below them.
    double hiddenTop = 0;
    QColor titleColor = Qt::blue;
    QColor panelColor;
    QColor backWallColor = Qt::white;
    QColor leftWallColor = QColor(255, 255, 128);
    QColor bottomWallColor = Qt::white;
    QColor markColor = QColor(255, 255, 128);
    bool view3D = true;
    int depthPercent = 15;
    bool legendVisible = true;
    QFont font;
};

/// Paints title, walls, axes, bars, marks and legend into area. Labels and
/// marks that would overlap an already drawn one are left out, and the
/// legend lists as many rows as fit, so that a long room list stays readable.
void paintBarChart(QPainter& painter, const QRectF& area, const ChartLook& look,
                   const TBarSeries* series);
