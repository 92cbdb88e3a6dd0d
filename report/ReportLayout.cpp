#include "report/ReportLayout.h"

namespace report {

const Report* Project::activeReport() const {
    for (const Report& report : reports)
        if (report.name == savedActiveReport)
            return &report;
    return reports.empty() ? nullptr : &reports.front();
}

const DataView* Project::findDataView(const QString& name) const {
    for (const DataView& view : dataViews)
        if (view.name.compare(name, Qt::CaseInsensitive) == 0)
            return &view;
    return nullptr;
}

} // namespace report
