#include "report/ReportTextFit.h"
#include "report/ReportPages.h"

#include <QFont>

namespace report {

TextFitter::Face& TextFitter::face(const FontSpec& spec, double widthMm) {
    for (Face& f : m_faces)
        if (f.widthMm == widthMm && f.spec == spec)
            return f;
    Face f;
    f.spec = spec;
    f.widthMm = widthMm;
    f.metrics = std::make_unique<QFontMetricsF>(pageFont(spec));
    m_faces.push_back(std::move(f));
    return m_faces.back();
}

QString TextFitter::fit(const QString& text, const FontSpec& spec, double widthMm) {
    if (text.isEmpty())
        return text;
    if (widthMm <= 0)
        return QString();
    Face& f = face(spec, widthMm);
    // Columns repeat the same texts (months, cashiers, faculties): measured once.
    auto known = f.fits.constFind(text);
    if (known != f.fits.cend() && *known)
        return text;
    const double room = widthMm * kUnitsPerMm;
    if (known == f.fits.cend()) {
        const bool fits = f.metrics->horizontalAdvance(text) <= room;
        f.fits.insert(text, fits);
        if (fits)
            return text;
    }
    return f.metrics->elidedText(text, Qt::ElideRight, room);
}

} // namespace report
