#include "ui/chart/ChartFormat.h"

#include "ui/chart/TBarSeries.h"

#include <QLocale>

#include <cmath>

QString formatChartValue(double value, QChar groupSeparator, QChar decimalSeparator) {
    if (!std::isfinite(value))
        return QString::number(value);
    const bool negative = value < 0;
    // Work in thousandths so that rounding carries into the integer part.
    const double thousandths = std::round(std::fabs(value) * 1000.0);
    const double whole = std::floor(thousandths / 1000.0);
    const int fraction = static_cast<int>(thousandths - whole * 1000.0);

    const QString digits = QString::number(whole, 'f', 0);
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += groupSeparator;
        grouped += digits[i];
    }
    QString result = (negative && (whole > 0 || fraction > 0)) ? "-" + grouped : grouped;
    if (fraction > 0) {
        QString decimals = QString::number(fraction).rightJustified(3, '0');
        while (decimals.endsWith('0'))
            decimals.chop(1);
        result += decimalSeparator + decimals;
    }
    return result;
}

QString formatChartValue(double value) {
    const QLocale locale = QLocale::system();
    const QString group = locale.groupSeparator();
    const QString decimal = locale.decimalPoint();
    return formatChartValue(value, group.isEmpty() ? QChar(',') : group.at(0),
                            decimal.isEmpty() ? QChar('.') : decimal.at(0));
}

QString chartMarkText(const TChartValue& point) {
    return point.label.empty() ? formatChartValue(point.y) : QString::fromStdString(point.label);
}

QString chartLegendText(const TChartValue& point) {
    return formatChartValue(point.y) + " " + QString::fromStdString(point.label);
}
