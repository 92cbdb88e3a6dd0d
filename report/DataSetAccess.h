#pragma once
// Binds the report data interface to a data set of the data layer.
#include "report/ReportDataAccess.h"

class TDataSet;
class TDataSource;

/// TReportDataAccess over a TDataSet. A detail table (TADOTable with a
/// master) is read whole during a run: it lets go of its master at the run's
/// open and follows it again at restore.
class TDataSetAccess : public TReportDataAccess {
public:
    explicit TDataSetAccess(TDataSet* dataSet = nullptr) : m_dataSet(dataSet) {}
    TDataSet* dataSet() const { return m_dataSet; }
    void setDataSet(TDataSet* dataSet) { m_dataSet = dataSet; }

    QString name() const override;
    bool active() const override;
    void open() override;
    void close() override;
    void first() override;
    void next() override;
    bool eof() const override;
    bool isEmpty() const override;
    void disableControls() override;
    void enableControls() override;
    std::any takeBookmark() override;
    void gotoBookmark(const std::any& bookmark) override;
    void freeBookmark(std::any& bookmark) override;
    void beginReportRead() override;
    void endReportRead() override;
    QString filter() const override;
    void setFilter(const QString& filter) override;
    bool filtered() const override;
    void setFiltered(bool filtered) override;
    std::vector<TReportFieldInfo> fields() const override;
    int fieldCount() const override;
    bool isNull(int field) const override;
    QVariant value(int field) const override;
    QString displayText(int field) const override;

private:
    TDataSet& ds() const;
    TDataSet* m_dataSet;
    TDataSource* m_detachedMaster = nullptr;
    bool m_detached = false;
};
