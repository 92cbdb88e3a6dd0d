#pragma once
// The bar chart as assistive technology sees it: a table titled like the
// chart, one row per bar with the room and its number of places.
class QAccessibleInterface;
class TDBChart;

/// Installs the accessibility factory of the chart (once per process).
void installChartAccessibility();

/// Tells assistive technology that the chart's bars were replaced.
void notifyChartBarsChanged(TDBChart* chart);
/// Tells assistive technology that the chart's title changed.
void notifyChartTitleChanged(TDBChart* chart);
