#pragma once
// Turns a report layout and the rows of its data connections into pages.
#include "report/ReportDataConnection.h"
#include "report/ReportLayout.h"
#include "report/ReportPages.h"

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
    /// The date printed by PrintDate items.
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
    };
    class Cancelled {};

    bool openSource(const QString& viewName, Source& source);
    int columnIndex(const Source& source, const QString& field) const;
    Row readRow(const Source& source);
    const Band* findBand(BandKind kind) const;
    double bandsHeight(BandKind kind) const;
    void beginPage();
    void finishPage();
    void place(const Band& band, const Source* source, const Row* row);
    void placeAt(const Band& band, double y, const Source* source, const Row* row);
    void ensureRoom(double height);
    void resolvePageNumbers();

    std::vector<DataView> m_views;
    Report m_report;
    ReportPages m_pages;
    std::vector<TReportDataSetConnection*> m_opened;
    QString m_missingConnection;
    double m_y = 0;
    double m_contentTop = 0;
    struct PageNumberRef {
        size_t page, item;
        QString pattern;
    };
    std::vector<PageNumberRef> m_pageNumbers;
};

} // namespace report
