#pragma once
// Binding of a control's data link to a data source named in the window's
// declaration. The name may be set before the data module exists.
#include <QString>
#include <optional>

class TDataLink;
class TDataSource;

/// Resolves a data-source name for one data link through ModuleBindings and
/// withdraws a pending request when the name changes or the owner goes away.
class DataSourceBinding {
public:
    explicit DataSourceBinding(TDataLink& link) : link_(link) {}
    DataSourceBinding(const DataSourceBinding&) = delete;
    DataSourceBinding& operator=(const DataSourceBinding&) = delete;
    ~DataSourceBinding();

    const QString& name() const { return name_; }
    /// Binds the link to the module's data source of that name, now or when
    /// the module is created. An empty name unbinds.
    void setName(const QString& name);
    /// Binds the link to a data source directly (no name involved).
    void setDataSource(TDataSource* source);

private:
    void cancelPending();

    TDataLink& link_;
    QString name_;
    std::optional<int> pending_;
    bool requesting_ = false;
    bool boundAtOnce_ = false;
};
