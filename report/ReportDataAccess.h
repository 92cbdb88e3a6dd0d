#pragma once
// What a report data connection needs of a data set. The report engine knows
// data sets only through this interface; an adapter binds it to the data
// layer, and tests may bind it to rows in memory.
#include "report/ReportDataTypes.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <any>
#include <vector>

/// A column as the data set describes it.
struct TReportFieldInfo {
    QString name;
    QString displayLabel; ///< equals the name unless the data set labels it otherwise
    TReportFieldType type = TReportFieldType::ftUnknown;
    int size = 0;
};

/// The operations of a data set that a report data connection uses.
class TReportDataAccess {
public:
    virtual ~TReportDataAccess() = default;
    /// The data set's name, for messages.
    virtual QString name() const = 0;
    virtual bool active() const = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual bool isEmpty() const = 0;
    /// Nesting: while disabled, bound controls and detail tables do not follow.
    virtual void disableControls() = 0;
    virtual void enableControls() = 0;
    /// A handle on the current row; empty when there is none.
    virtual std::any takeBookmark() = 0;
    virtual void gotoBookmark(const std::any& bookmark) = 0;
    virtual void freeBookmark(std::any& bookmark) = 0;
    /// Called by a connection's open, after the controls are disabled, and by
    /// its restore, before they are enabled again: a detail table lets go of
    /// its master for the run, so that the report reads all of its rows.
    virtual void beginReportRead() {}
    virtual void endReportRead() {}
    virtual QString filter() const = 0;
    virtual void setFilter(const QString& filter) = 0;
    virtual bool filtered() const = 0;
    virtual void setFiltered(bool filtered) = 0;
    /// The fields of the open data set, in field order.
    virtual std::vector<TReportFieldInfo> fields() const = 0;
    virtual int fieldCount() const = 0;
    virtual bool isNull(int field) const = 0;
    /// The value of a field of the current row, converted to its report data
    /// type (QString, qint64, double, bool, QDate, QTime, QDateTime or, for
    /// blob, memo and graphic fields, QByteArray).
    virtual QVariant value(int field) const = 0;
    /// The display text of a field of the current row.
    virtual QString displayText(int field) const = 0;
};
