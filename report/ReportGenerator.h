#pragma once
// Turns a report layout and the rows of its data connections into pages.
#include "report/ReportDataConnection.h"
#include "report/ReportLayout.h"
#include "report/ReportPages.h"
#include "report/ReportTextFit.h"

#include <QDate>
#include <functional>
#include <vector>

namespace report {

class ReportGenerator {
public:
    enum class Status {
        Done,      ///< every page generated
        Cancelled, ///< the page callback asked to stop
        Aborted,   ///< a data view names a connection nobody provides
    };

    /// Keeps copies of the report and of the project's data views: a run
    /// works on its own copy.
    ReportGenerator(const Project& project, const Report& report);
    /// Restores every connection this generator opened.
    ~ReportGenerator();

    /// Finds a connection by name; the process-wide registry by default.
    std::function<TReportDataSetConnection*(const QString&)> findConnection = findReportConnection;
    /// Called as each page is begun, with its number from 1; false cancels.
    std::function<bool(int page)> onPage;
    /// The date printed by PrintDate items, in the grids' short date format
    /// unless the item names its own.
    QDate printDate = QDate::currentDate();

    /// Generates the pages. Database errors pass through; the connections
    /// stay open until restoreConnections() or destruction.
    Status run();
    const ReportPages& pages() const { return m_pages; }
    ReportPages takePages() { return std::move(m_pages); }
    /// When run() gave Aborted: the connection name that was not found.
    const QString& missingConnection() const { return m_missingConnection; }
    /// Restores the opened connections in the order of opening (masters
    /// before their details).
    void restoreConnections();

private:
    struct Row {
        std::vector<QString> texts; ///< display texts by column, empty for null
    };
    struct Source {
        TReportDataSetConnection* connection = nullptr;
        std::vector<TReportColumn> columns;
        std::vector<bool> requested;
        std::vector<QString> formats; ///< number format by column, empty for none
    };
    /// The bands that print one data row with its details.
    struct Block {
        const Band* data = nullptr;
        const Band* detailHeader = nullptr;
        const Band* detail = nullptr;
    };
    class Cancelled {};

    bool openSource(const QString& viewName, Source& source);
    int columnIndex(const Source& source, const QString& field) const;
    Row readRow(const Source& source);
    bool printsNothing(const Band& band, const Source& source, const Row& row);
    const Band* findBand(BandKind kind) const;
    double bandsHeight(BandKind kind) const;
    double contentBottom() const;
    bool fits(double height) const;
    void beginPage();
    void finishPage();
    void newPage();
    void place(const Band& band, const Source* source, const Row* row);
    void placeAt(const Band& band, double y, const Source* source, const Row* row);
    void placeBlock(const Block& block, const Source& master, const Row& row, const Source& details,
                    const std::vector<Row>& detailRows);
    void ensureRoom(double height);
    void resolvePageNumbers();
    QString printDateText(const QString& format) const;

    std::vector<DataView> m_views;
    Report m_report;
    ReportPages m_pages;
    /// What placing an item needs again and again, worked out once: by band
    /// and item, as in m_report.
    struct ItemCache {
        std::uint16_t font = 0;
        int column = -1; ///< DataField: column in its source, once known
        TextFitter fitter;
    };
    std::vector<std::vector<ItemCache>> m_items;
    ItemCache& cacheOf(const Band& band, size_t item);
    int columnOf(const Band& band, size_t item, const Source& source);
    std::vector<TReportDataSetConnection*> m_opened;
    QString m_missingConnection;
    double m_y = 0;
    double m_contentTop = 0;
    bool m_continuing = false; ///< placing a data row repeated for its details
    struct PageNumberRef {
        size_t page, item;
        QString pattern;
    };
    std::vector<PageNumberRef> m_pageNumbers;
};

} // namespace report
