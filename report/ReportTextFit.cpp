#include "report/ReportTextFit.h"
#include "report/ReportPages.h"

#include <QFont>

namespace report {

TextFitter::TextFitter(const FontSpec& font, double widthMm) : m_font(font), m_widthMm(widthMm) {}

TextFitter::~TextFitter() = default;

QString TextFitter::fit(const QString& text) {
    if (text.isEmpty())
        return text;
    if (m_widthMm <= 0)
        return QString();
    auto known = m_fits.constFind(text);
    if (known != m_fits.cend() && *known)
        return text;
    if (!m_metrics)
        m_metrics = std::make_unique<QFontMetricsF>(pageFont(m_font));
    const double room = m_widthMm * kUnitsPerMm;
    if (known == m_fits.cend()) {
        const bool fits = m_metrics->horizontalAdvance(text) <= room;
        m_fits.insert(text, fits);
        if (fits)
            return text;
    }
    return m_metrics->elidedText(text, Qt::ElideRight, room);
}

} // namespace report
