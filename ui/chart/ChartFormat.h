#pragma once
#include <QString>

/// A chart value in the pattern "#,##0.###": digits grouped in threes, at
/// least one integer digit, at most three decimals with trailing zeros dropped.
/// Separators are the given ones (the workstation's, by default).
QString formatChartValue(double value, QChar groupSeparator, QChar decimalSeparator);
QString formatChartValue(double value);

struct TChartValue;
/// Text of a bar's mark: its label, or its value when the label is empty.
QString chartMarkText(const TChartValue& point);
/// Text of a point's legend row: its value, one blank and its label.
QString chartLegendText(const TChartValue& point);
