#include "report/ReportGenerator.h"
#include "report/ReportErrors.h"

#include <QHash>
#include <exception>

namespace report {

ReportGenerator::ReportGenerator(const Project& project, const Report& report)
    : m_views(project.dataViews), m_report(report) {
    m_pages.paperSize = QSizeF(report.page.width, report.page.height);
}

ReportGenerator::~ReportGenerator() {
    try {
        restoreConnections();
    } catch (...) {
        // Restoring is also attempted by each connection's own destructor.
    }
}

void ReportGenerator::restoreConnections() {
    // In the order of opening: the student list goes back to its row first,
    // so that the payment table, following it again, can find its own row.
    std::vector<TReportDataSetConnection*> opened;
    opened.swap(m_opened);
    std::exception_ptr failure;
    for (TReportDataSetConnection* c : opened) {
        try {
            c->Restore();
        } catch (...) {
            if (!failure) // the others are still put back; the first error goes on
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

const Band* ReportGenerator::findBand(BandKind kind) const {
    for (const Band& band : m_report.bands)
        if (band.kind == kind)
            return &band;
    return nullptr;
}

double ReportGenerator::bandsHeight(BandKind kind) const {
    double h = 0;
    for (const Band& band : m_report.bands)
        if (band.kind == kind)
            h += band.height;
    return h;
}

int ReportGenerator::columnIndex(const Source& source, const QString& field) const {
    for (size_t i = 0; i < source.columns.size(); ++i)
        if (source.columns[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    throw EReportError(QStringLiteral("Report \"%1\": Field '%2' not found in data connection "
                                      "\"%3\"")
                           .arg(m_report.name, field, source.connection->name())
                           .toStdString());
}

bool ReportGenerator::openSource(const QString& viewName, Source& source) {
    QString connectionName = viewName;
    for (const DataView& view : m_views)
        if (view.name.compare(viewName, Qt::CaseInsensitive) == 0)
            connectionName = view.connection;
    TReportDataSetConnection* c = findConnection ? findConnection(connectionName) : nullptr;
    if (!c) {
        m_missingConnection = connectionName;
        return false;
    }
    source.connection = c;
    if (!c->isOpen()) {
        c->Open();
        m_opened.push_back(c);
    }
    source.columns = c->GetCols();
    source.requested.assign(source.columns.size(), false);
    for (const Band& band : m_report.bands) {
        if (band.dataView.compare(viewName, Qt::CaseInsensitive) != 0)
            continue;
        for (const LayoutItem& item : band.items)
            if (item.kind == ItemKind::DataField)
                source.requested[size_t(columnIndex(source, item.text))] = true;
        if (band.kind == BandKind::Detail)
            source.requested[size_t(columnIndex(source, band.detailField))] = true;
    }
    return true;
}

ReportGenerator::Row ReportGenerator::readRow(const Source& source) {
    Row row;
    const std::vector<TReportValue> values = source.connection->GetRow(source.requested);
    row.texts.reserve(values.size());
    for (const TReportValue& v : values)
        row.texts.push_back(v.null ? QString() : v.text);
    return row;
}

void ReportGenerator::beginPage() {
    m_pages.pages.emplace_back();
    if (onPage && !onPage(m_pages.pageCount()))
        throw Cancelled();
    m_y = m_report.page.top;
    for (const Band& band : m_report.bands)
        if (band.kind == BandKind::PageHeader || band.kind == BandKind::ColumnHeader) {
            placeAt(band, m_y, nullptr, nullptr);
            m_y += band.height;
        }
    m_contentTop = m_y;
}

void ReportGenerator::finishPage() {
    double y = m_report.page.height - m_report.page.bottom - bandsHeight(BandKind::PageFooter);
    for (const Band& band : m_report.bands)
        if (band.kind == BandKind::PageFooter) {
            placeAt(band, y, nullptr, nullptr);
            y += band.height;
        }
}

void ReportGenerator::ensureRoom(double height) {
    const double bottom =
        m_report.page.height - m_report.page.bottom - bandsHeight(BandKind::PageFooter);
    // A band taller than a whole page still goes on a fresh page once, rather
    // than asking for new pages forever.
    if (m_y + height > bottom + 1e-9 && m_y > m_contentTop + 1e-9) {
        finishPage();
        beginPage();
    }
}

void ReportGenerator::place(const Band& band, const Source* source, const Row* row) {
    ensureRoom(band.height);
    placeAt(band, m_y, source, row);
    m_y += band.height;
}

void ReportGenerator::placeAt(const Band& band, double y, const Source* source, const Row* row) {
    ReportPage& page = m_pages.pages.back();
    for (const LayoutItem& li : band.items) {
        PageItem item;
        item.rect = QRectF(m_report.page.left + li.x, y + li.y, li.width, li.height);
        item.align = li.align;
        item.penWidth = li.penWidth;
        switch (li.kind) {
        case ItemKind::Line:
            item.kind = PageItem::Kind::Line;
            break;
        case ItemKind::Box:
            item.kind = PageItem::Kind::Box;
            break;
        case ItemKind::Text:
            item.text = li.text;
            break;
        case ItemKind::DataField:
            if (source && row)
                item.text = row->texts[size_t(columnIndex(*source, li.text))];
            break;
        case ItemKind::PrintDate:
            item.text =
                printDate.toString(li.text.isEmpty() ? QStringLiteral("dd.MM.yyyy") : li.text);
            break;
        case ItemKind::PageNumber:
            m_pageNumbers.push_back({m_pages.pages.size() - 1, page.items.size(), li.text});
            break;
        }
        if (item.kind == PageItem::Kind::Text) {
            if (item.text.isEmpty() && li.kind != ItemKind::PageNumber)
                continue; // nothing to draw
            item.font = m_pages.fontIndex(li.font);
        }
        page.items.push_back(std::move(item));
    }
}

void ReportGenerator::resolvePageNumbers() {
    const QString total = QString::number(m_pages.pageCount());
    for (const PageNumberRef& ref : m_pageNumbers) {
        QString text = ref.pattern;
        text.replace(QStringLiteral("%p"), QString::number(ref.page + 1));
        text.replace(QStringLiteral("%P"), total);
        m_pages.pages[ref.page].items[ref.item].text = text;
    }
    m_pageNumbers.clear();
}

ReportGenerator::Status ReportGenerator::run() {
    m_pages.pages.clear();
    try {
        const Band* data = findBand(BandKind::Data);
        const Band* detail = findBand(BandKind::Detail);
        const Band* detailHeader = findBand(BandKind::DetailHeader);
        Source master, details;
        if (data && !openSource(data->dataView, master))
            return Status::Aborted;
        if (data && detail && !openSource(detail->dataView, details))
            return Status::Aborted;

        // The detail rows are read once and grouped by their key: one pass
        // over the detail connection instead of one per data row.
        QHash<QString, std::vector<Row>> detailRows;
        int masterKey = -1;
        if (data && detail) {
            masterKey = columnIndex(master, detail->masterField);
            master.requested[size_t(masterKey)] = true;
            const int key = columnIndex(details, detail->detailField);
            TReportDataSetConnection& c = *details.connection;
            for (c.First(); !c.Eof(); c.Next()) {
                Row row = readRow(details);
                const QString k = row.texts[size_t(key)];
                detailRows[k].push_back(std::move(row));
            }
        }

        beginPage();
        if (data) {
            TReportDataSetConnection& c = *master.connection;
            for (c.First(); !c.Eof(); c.Next()) {
                const Row row = readRow(master);
                place(*data, &master, &row);
                if (masterKey < 0)
                    continue;
                const QString& key = row.texts[size_t(masterKey)];
                auto group = detailRows.constFind(key);
                // A null key matches nothing, as the local filter has it.
                if (key.isEmpty() || group == detailRows.cend())
                    continue;
                if (detailHeader)
                    place(*detailHeader, nullptr, nullptr);
                for (const Row& d : *group)
                    place(*detail, &details, &d);
            }
        }
        if (const Band* summary = findBand(BandKind::Summary))
            place(*summary, nullptr, nullptr);
        finishPage();
        resolvePageNumbers();
        return Status::Done;
    } catch (const Cancelled&) {
        m_pages.pages.clear();
        m_pageNumbers.clear();
        return Status::Cancelled;
    }
}

} // namespace report
