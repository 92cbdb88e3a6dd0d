#pragma once
// Fits texts into their columns: a text wider than its place is cut and ends
// in "…", so that it never runs into the next column or off the paper.
#include "report/ReportLayout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <memory>

namespace report {

/// One column: a font and a width in millimetres.
class TextFitter {
public:
    TextFitter(const FontSpec& font, double widthMm);
    TextFitter(TextFitter&&) noexcept = default;
    TextFitter& operator=(TextFitter&&) noexcept = default;
    ~TextFitter();
    /// `text` as it fits into the column; unchanged when it fits.
    QString fit(const QString& text);

private:
    FontSpec m_font;
    double m_widthMm;
    std::unique_ptr<QFontMetricsF> m_metrics; ///< made on first need
    QHash<QString, bool> m_fits;              ///< columns repeat their texts: each measured once
};

} // namespace report
