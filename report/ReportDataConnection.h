#pragma once
// TReportDataSetConnection: a named source of rows for the report engine over
// one data set. Every connection is listed, by name, in a process-wide
// registry for as long as it exists.
#include "report/ReportDataAccess.h"

#include <QString>
#include <QVariant>
#include <any>
#include <vector>

/// A column offered to the report engine.
struct TReportColumn {
    QString name;
    TReportDataType dataType = TReportDataType::dtString;
    QString displayLabel; ///< empty when it equals the name
    int size = 0;
};

/// One field of a row: null, or the value with its display text.
struct TReportValue {
    bool null = true;
    QVariant value;
    QString text;
};

/// A local-filter condition: rows where `field` is null or differs from
/// `value` are skipped. The operator is kept but not consulted.
struct TReportFilterCondition {
    QString field;
    QString op;
    QString value;
};

class TReportDataSetConnection {
public:
    /// Registers the connection under `name`.
    explicit TReportDataSetConnection(QString name, TReportDataAccess* dataSet = nullptr);
    /// Restores the data set if a run left it open, and unregisters.
    ~TReportDataSetConnection();
    TReportDataSetConnection(const TReportDataSetConnection&) = delete;
    TReportDataSetConnection& operator=(const TReportDataSetConnection&) = delete;

    QString name() const { return m_name; }
    TReportDataAccess* DataSet() const { return m_dataSet; }
    void setDataSet(TReportDataAccess* dataSet) { m_dataSet = dataSet; }
    /// On (the default): filters are applied by the connection, the data set
    /// is not touched.
    bool LocalFilter = true;

    /// Remembers whether the data set was open (and then its current row),
    /// its Filter and Filtered; disables its controls; opens a closed data set
    /// at its first row. A failed open is undone before the error goes on.
    void Open();
    void First();
    void Next();
    /// The first question after Open answers "at end" only when there is no
    /// row; every later one whether the data set is at its end.
    bool Eof();
    std::vector<TReportColumn> GetCols() const;
    /// Every field of the current row; fields not in `requested` (when it is
    /// not empty) come back as null.
    std::vector<TReportValue> GetRow(const std::vector<bool>& requested = {}) const;
    /// Keeps the conditions; First and Next then skip the rows that fail them.
    void SetFilter(std::vector<TReportFilterCondition> conditions);
    /// No sort orders are offered.
    std::vector<QString> GetSorts() const { return {}; }
    void SetSort(const QString&) {}
    bool ValidateRow() const { return true; }
    /// Puts the data set back as Open found it: closed or open at the same
    /// row, controls enabled, Filter and Filtered as they were.
    void Restore();
    /// Between Open and Restore.
    bool isOpen() const { return m_opened; }

private:
    bool rowPasses() const;
    void skipFailingRows();
    TReportDataAccess& dataSet() const;

    QString m_name;
    TReportDataAccess* m_dataSet;
    bool m_opened = false;
    bool m_wasActive = false;
    std::any m_bookmark;
    QString m_savedFilter;
    bool m_savedFiltered = false;
    bool m_firstEofQuestion = true;
    bool m_noRowPasses = false;
    std::vector<TReportFilterCondition> m_conditions;
    std::vector<int> m_conditionFields;
};

/// The connection of this process with `name` (without regard to case), or
/// null.
TReportDataSetConnection* findReportConnection(const QString& name);
