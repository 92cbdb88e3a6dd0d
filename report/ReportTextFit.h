#pragma once
// Fits texts into their columns: a text wider than its place is cut and ends
// in "…", so that it never runs into the next column or off the paper.
#include "report/ReportLayout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace report {

class TextFitter {
public:
    /// `text` as it fits into `widthMm` in font `face`; unchanged when it fits.
    QString fit(const QString& text, const FontSpec& face, double widthMm);

private:
    struct Face {
        FontSpec spec;
        std::unique_ptr<QFontMetricsF> metrics;
        QHash<QString, bool> fits; ///< texts measured before, for this face and width
        double widthMm = -1;
    };
    Face& face(const FontSpec& spec, double widthMm);
    std::vector<Face> m_faces;
};

} // namespace report
