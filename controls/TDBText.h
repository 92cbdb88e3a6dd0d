#pragma once
// The field label: the display text of one field of the current record.
#include "controls/ControlDataLink.h"
#include "controls/DataSourceBinding.h"

#include <QLabel>

class TDataSource;
class TField;

/// A label bound to one field of a data source's data set. Its text follows
/// the current record; it is empty while the data set is closed or empty.
/// Dialogs read it with Caption() to learn the selected key.
class TDBText : public QLabel, private DataLinkClient {
    Q_OBJECT
    Q_PROPERTY(QString dataSourceName READ dataSourceName WRITE setDataSourceName)
    Q_PROPERTY(QString dataField READ dataField WRITE setDataField)

public:
    explicit TDBText(QWidget* parent = nullptr);
    ~TDBText() override;

    QString dataSourceName() const { return binding_.name(); }
    /// Binds to the data module's data source of that name (now or when the module is created).
    void setDataSourceName(const QString& name);
    TDataSource* DataSource() const { return link_.DataSource(); }
    void setDataSource(TDataSource* source);

    QString dataField() const { return dataField_; }
    /// The field shown, found by name without regard to case.
    void setDataField(const QString& name);

    /// The label's text: the field's display text for the current record.
    QString Caption() const { return text(); }
    /// The field the label shows, while its data set is open.
    TField* Field() const;

private:
    void linkActiveChanged() override;
    void linkRecordChanged(TField* field) override;
    void linkDataSetChanged() override;
    void linkDataSetScrolled(int distance) override;
    void linkLayoutChanged() override;
    void linkEditingChanged() override;
    void linkStateChanged() override;

    void findField();
    void refreshText();

    ControlDataLink link_{*this};
    DataSourceBinding binding_{link_};
    QString dataField_;
    TField* field_ = nullptr;
};
