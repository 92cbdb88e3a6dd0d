#include "report/ReportGenerator.h"
#include "report/ReportErrors.h"

#include "data/values/DateTimeText.h"
#include "data/values/FormatSettings.h"

#include <algorithm>
#include <exception>

namespace report {

namespace {

constexpr double kEpsilon = 1e-9;

/// Decimals of a number format such as "0.00"; -1 when it is none.
int decimalsOf(const QString& format) {
    if (format.isEmpty())
        return -1;
    const qsizetype dot = format.indexOf(u'.');
    return dot < 0 ? 0 : int(format.size() - dot - 1);
}

/// A number in `format`, with the locale's decimal separator; the display
/// text when the value is no number.
QString formatNumber(const TReportValue& v, const QString& format) {
    bool ok = false;
    const double number = v.value.toDouble(&ok);
    if (!ok)
        return v.text;
    QString text = QString::number(number, 'f', std::max(0, decimalsOf(format)));
    const QChar separator = QChar::fromLatin1(FormatSettings().DecimalSeparator);
    return text.replace(u'.', separator);
}

} // namespace

ReportGenerator::ReportGenerator(const Project& project, const Report& report)
    : m_views(project.dataViews), m_report(report) {
    m_pages.paperSize = QSizeF(report.page.width, report.page.height);
    const double printableRight = report.page.width - report.page.right;
    for (const Band& band : m_report.bands) {
        std::vector<ItemCache>& items = m_items.emplace_back();
        for (const LayoutItem& li : band.items) {
            const double width = std::min(li.width, printableRight - (report.page.left + li.x));
            items.push_back({m_pages.fontIndex(li.font), -1, TextFitter(li.font, width)});
        }
    }
}

ReportGenerator::ItemCache& ReportGenerator::cacheOf(const Band& band, size_t item) {
    return m_items[size_t(&band - m_report.bands.data())][item];
}

int ReportGenerator::columnOf(const Band& band, size_t item, const Source& source) {
    ItemCache& cache = cacheOf(band, item);
    if (cache.column < 0)
        cache.column = columnIndex(source, band.items[item].text);
    return cache.column;
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
    const auto view = std::find_if(m_views.begin(), m_views.end(), [&](const DataView& v) {
        return v.name.compare(viewName, Qt::CaseInsensitive) == 0;
    });
    if (view == m_views.end())
        throw EReportError(QStringLiteral("Report \"%1\" uses the unknown data view \"%2\"")
                               .arg(m_report.name, viewName)
                               .toStdString());
    const QString connectionName = view->connection;
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
    source.formats.assign(source.columns.size(), QString());
    for (const Band& band : m_report.bands) {
        if (band.dataView.compare(viewName, Qt::CaseInsensitive) != 0)
            continue;
        for (const LayoutItem& item : band.items)
            if (item.kind == ItemKind::DataField) {
                const size_t column = size_t(columnIndex(source, item.text));
                source.requested[column] = true;
                if (!item.format.isEmpty())
                    source.formats[column] = item.format;
            }
        if (band.kind == BandKind::Detail)
            source.requested[size_t(columnIndex(source, band.detailField))] = true;
    }
    return true;
}

ReportGenerator::Row ReportGenerator::readRow(const Source& source) {
    Row row;
    const std::vector<TReportValue> values = source.connection->GetRow(source.requested);
    row.texts.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const TReportValue& v = values[i];
        if (v.null)
            row.texts.emplace_back();
        else if (i < source.formats.size() && !source.formats[i].isEmpty())
            row.texts.push_back(formatNumber(v, source.formats[i]));
        else
            row.texts.push_back(v.text);
    }
    return row;
}

bool ReportGenerator::printsNothing(const Band& band, const Source& source, const Row& row) {
    for (size_t i = 0; i < band.items.size(); ++i)
        if (band.items[i].kind == ItemKind::DataField &&
            !row.texts[size_t(columnOf(band, i, source))].trimmed().isEmpty())
            return false;
    return true;
}

void ReportGenerator::beginPage() {
    m_page.items.clear();
    ++m_pageCount;
    if (onPage && !onPage(m_pageCount))
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
    if (onPageDone)
        onPageDone(m_page);
    else
        m_pages.pages.push_back(m_page);
}

double ReportGenerator::contentBottom() const {
    return m_report.page.height - m_report.page.bottom - bandsHeight(BandKind::PageFooter);
}

bool ReportGenerator::fits(double height) const {
    return m_y + height <= contentBottom() + kEpsilon;
}

void ReportGenerator::newPage() {
    finishPage();
    beginPage();
}

void ReportGenerator::ensureRoom(double height) {
    // A band taller than a whole page still goes on a fresh page once, rather
    // than asking for new pages forever.
    if (!fits(height) && m_y > m_contentTop + kEpsilon)
        newPage();
}

// A data row and its details stay on one page when they fit on one. A longer
// block starts where at least its first detail fits under the row, and each
// page it goes on to repeats the row, marked as continued, and the heading.
void ReportGenerator::placeBlock(const Block& block, const Source& master, const Row& row,
                                 const Source& details, const DetailRows& detailRows,
                                 const DetailRows::Group* group) {
    const std::uint32_t count = group ? group->count : 0;
    const double rowHeight = block.data->height;
    const double headHeight = count == 0 || !block.detailHeader ? 0 : block.detailHeader->height;
    const double detailHeight = block.detail ? block.detail->height : 0;
    const double whole = rowHeight + headHeight + detailHeight * double(count);
    const double firstPart = rowHeight + headHeight + (count == 0 ? 0 : detailHeight);
    const bool fitsOnAPage = whole <= contentBottom() - m_contentTop + kEpsilon;
    if (!fits(whole) && (fitsOnAPage || !fits(firstPart)))
        ensureRoom(whole);
    place(*block.data, &master, &row);
    if (count == 0)
        return;
    if (block.detailHeader)
        place(*block.detailHeader, nullptr, nullptr);
    Row d;
    std::uint32_t at = group->first;
    for (std::uint32_t i = 0; i < count; ++i, at = detailRows.next(at)) {
        detailRows.read(at, int(details.columns.size()), d.texts);
        if (!fits(detailHeight) && m_y > m_contentTop + kEpsilon) {
            newPage();
            m_continuing = true;
            place(*block.data, &master, &row);
            m_continuing = false;
            if (block.detailHeader)
                place(*block.detailHeader, nullptr, nullptr);
        }
        place(*block.detail, &details, &d);
    }
}

void ReportGenerator::place(const Band& band, const Source* source, const Row* row) {
    ensureRoom(band.height);
    placeAt(band, m_y, source, row);
    m_y += band.height;
}

void ReportGenerator::placeAt(const Band& band, double y, const Source* source, const Row* row) {
    ReportPage& page = m_page;
    const double printableRight = m_report.page.width - m_report.page.right;
    for (size_t i = 0; i < band.items.size(); ++i) {
        const LayoutItem& li = band.items[i];
        PageItem item;
        const double left = m_report.page.left + li.x;
        // Nothing leaves the printable area, whatever the layout asks.
        const double width = std::min(li.width, printableRight - left);
        if (width < 0 || (width <= 0 && li.kind != ItemKind::Line))
            continue;
        item.rect = QRectF(left, y + li.y, width, li.height);
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
        case ItemKind::Continued:
            if (m_continuing)
                item.text = li.text;
            break;
        case ItemKind::DataField:
            if (source && row)
                item.text = row->texts[size_t(columnOf(band, i, *source))];
            break;
        case ItemKind::PrintDate:
            item.text = printDateText(li.text);
            break;
        case ItemKind::PageNumber:
            // Filled in when painted: the page count is known only at the end.
            item.kind = PageItem::Kind::PageNumber;
            item.text = li.text;
            break;
        }
        if (item.kind == PageItem::Kind::Text) {
            if (item.text.isEmpty())
                continue; // nothing to draw
            item.text = cacheOf(band, i).fitter.fit(item.text);
        }
        if (item.isText())
            item.font = cacheOf(band, i).font;
        page.items.push_back(std::move(item));
    }
}

QString ReportGenerator::printDateText(const QString& format) const {
    if (!format.isEmpty())
        return printDate.toString(format);
    // The grids' own date format, so the header and the rows agree.
    const std::int64_t days =
        zemt::data::daysFromCivil(printDate.year(), printDate.month(), printDate.day());
    return QString::fromStdString(
        zemt::data::formatPattern(FormatSettings().ShortDateFormat, days, 0));
}

// The detail rows are read once and grouped by their key: one pass over the
// detail connection instead of one per data row. A detail row with nothing
// to show is left out rather than printed blank; one without a key matches
// no data row, as the local filter has it.
DetailRows ReportGenerator::readDetails(const Block& block, Source& details) {
    std::vector<int> kept;
    for (size_t i = 0; i < details.requested.size(); ++i)
        if (details.requested[i])
            kept.push_back(int(i));
    DetailRows rows(std::move(kept));
    const int key = columnIndex(details, block.detail->detailField);
    TReportDataSetConnection& c = *details.connection;
    for (c.First(); !c.Eof(); c.Next()) {
        const Row row = readRow(details);
        if (row.texts[size_t(key)].isEmpty() || printsNothing(*block.detail, details, row))
            continue;
        rows.add(row.texts[size_t(key)], row.texts);
    }
    return rows;
}

ReportGenerator::Status ReportGenerator::run() {
    m_pages.pages.clear();
    m_pageCount = 0;
    try {
        Block block{findBand(BandKind::Data), findBand(BandKind::DetailHeader),
                    findBand(BandKind::Detail)};
        Source master, details;
        if (block.data && !openSource(block.data->dataView, master))
            return Status::Aborted;
        if (block.data && block.detail && !openSource(block.detail->dataView, details))
            return Status::Aborted;

        DetailRows detailRows;
        int masterKey = -1;
        if (block.data && block.detail) {
            masterKey = columnIndex(master, block.detail->masterField);
            master.requested[size_t(masterKey)] = true;
            detailRows = readDetails(block, details);
        }

        beginPage();
        if (block.data) {
            TReportDataSetConnection& c = *master.connection;
            for (c.First(); !c.Eof(); c.Next()) {
                const Row row = readRow(master);
                const DetailRows::Group* group =
                    masterKey < 0 || row.texts[size_t(masterKey)].isEmpty()
                        ? nullptr
                        : detailRows.find(row.texts[size_t(masterKey)]);
                placeBlock(block, master, row, details, detailRows, group);
            }
        }
        if (const Band* summary = findBand(BandKind::Summary))
            place(*summary, nullptr, nullptr);
        finishPage();
        m_page.items.clear();
        return Status::Done;
    } catch (const Cancelled&) {
        m_pages.pages.clear();
        m_page.items.clear();
        return Status::Cancelled;
    }
}

} // namespace report
