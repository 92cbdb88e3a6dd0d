#include "report/ReportDataConnection.h"
#include "report/ReportErrors.h"

#include <algorithm>

namespace {

std::vector<TReportDataSetConnection*>& registry() {
    static std::vector<TReportDataSetConnection*> connections;
    return connections;
}

} // namespace

TReportDataSetConnection* findReportConnection(const QString& name) {
    for (TReportDataSetConnection* c : registry())
        if (c->name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

TReportDataSetConnection::TReportDataSetConnection(QString name, TReportDataAccess* dataSet)
    : m_name(std::move(name)), m_dataSet(dataSet) {
    registry().push_back(this);
}

TReportDataSetConnection::~TReportDataSetConnection() {
    try {
        Restore();
    } catch (...) {
        // A destructor cannot report; the data set keeps whatever state it has.
    }
    auto& list = registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

TReportDataAccess& TReportDataSetConnection::dataSet() const {
    if (!m_dataSet)
        throw EReportError(QStringLiteral("%1: no data set is assigned").arg(m_name).toStdString());
    return *m_dataSet;
}

void TReportDataSetConnection::Open() {
    TReportDataAccess& ds = dataSet();
    if (m_opened)
        return;
    m_wasActive = ds.active();
    if (m_wasActive)
        m_bookmark = ds.takeBookmark();
    ds.disableControls();
    m_savedFilter = ds.filter();
    m_savedFiltered = ds.filtered();
    ds.beginReportRead();
    if (!m_wasActive) {
        try {
            ds.open();
            ds.first();
        } catch (...) {
            // Nothing was opened, so give the bound controls back before the
            // error goes on: otherwise grids would stop following for good.
            ds.endReportRead();
            ds.enableControls();
            throw;
        }
    }
    m_opened = true;
    m_firstEofQuestion = true;
    m_noRowPasses = false;
    m_conditions.clear();
    m_conditionFields.clear();
}

void TReportDataSetConnection::First() {
    dataSet().first();
    skipFailingRows();
    m_noRowPasses = !m_conditions.empty() && dataSet().eof() && !rowPasses();
}

void TReportDataSetConnection::Next() {
    dataSet().next();
    skipFailingRows();
}

bool TReportDataSetConnection::Eof() {
    if (m_firstEofQuestion) {
        m_firstEofQuestion = false;
        return dataSet().isEmpty() || m_noRowPasses;
    }
    return dataSet().eof();
}

std::vector<TReportColumn> TReportDataSetConnection::GetCols() const {
    std::vector<TReportColumn> cols;
    for (const TReportFieldInfo& f : dataSet().fields()) {
        TReportColumn c;
        c.name = f.name;
        c.dataType = reportDataType(f.type);
        if (f.displayLabel != f.name)
            c.displayLabel = f.displayLabel;
        c.size = f.size;
        cols.push_back(c);
    }
    return cols;
}

std::vector<TReportValue>
TReportDataSetConnection::GetRow(const std::vector<bool>& requested) const {
    TReportDataAccess& ds = dataSet();
    const int n = ds.fieldCount();
    std::vector<TReportValue> row(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const bool wanted =
            requested.empty() || (size_t(i) < requested.size() && requested[size_t(i)]);
        if (!wanted || ds.isNull(i))
            continue;
        row[size_t(i)].null = false;
        row[size_t(i)].value = ds.value(i);
        row[size_t(i)].text = ds.displayText(i);
    }
    return row;
}

void TReportDataSetConnection::SetFilter(std::vector<TReportFilterCondition> conditions) {
    if (!LocalFilter)
        return; // nothing else is offered: the data set's own filter stays untouched
    const std::vector<TReportFieldInfo> fields = dataSet().fields();
    std::vector<int> indexes;
    for (const TReportFilterCondition& c : conditions) {
        auto it = std::find_if(fields.begin(), fields.end(), [&](const TReportFieldInfo& f) {
            return f.name.compare(c.field, Qt::CaseInsensitive) == 0;
        });
        if (it == fields.end())
            throw EReportError(QStringLiteral("%1: Field '%2' not found")
                                   .arg(dataSet().name(), c.field)
                                   .toStdString());
        indexes.push_back(int(it - fields.begin()));
    }
    m_conditions = std::move(conditions);
    m_conditionFields = std::move(indexes);
}

bool TReportDataSetConnection::rowPasses() const {
    const TReportDataAccess& ds = dataSet();
    if (ds.isEmpty())
        return false;
    for (size_t i = 0; i < m_conditions.size(); ++i) {
        const int field = m_conditionFields[i];
        if (ds.isNull(field) || ds.displayText(field) != m_conditions[i].value)
            return false;
    }
    return true;
}

void TReportDataSetConnection::skipFailingRows() {
    if (m_conditions.empty())
        return;
    TReportDataAccess& ds = dataSet();
    while (!ds.eof() && !rowPasses())
        ds.next();
}

void TReportDataSetConnection::Restore() {
    if (!m_opened)
        return;
    m_opened = false;
    m_conditions.clear();
    m_conditionFields.clear();
    TReportDataAccess& ds = dataSet();
    if (m_wasActive && !ds.active())
        ds.open();
    else if (!m_wasActive)
        ds.close();
    ds.endReportRead();
    ds.enableControls();
    ds.setFilter(m_savedFilter);
    ds.setFiltered(m_savedFiltered);
    if (m_wasActive) {
        ds.gotoBookmark(m_bookmark);
        ds.freeBookmark(m_bookmark);
        m_bookmark.reset();
    }
}
