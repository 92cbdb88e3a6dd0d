#pragma once
// Observer of a data source. Grids, field labels, navigator bars, the chart
// and detail tables subclass it and override the notices they care about.
#include "data/dataset/TDataSetState.h"

class TDataSet;
class TDataSource;
class TField;

/// Base class of everything that follows a data set through a data source.
///
/// Usage: derive, override the notices, call setDataSource(). The link is
/// active while its data source is enabled and its data set is open; while
/// the data set's controls are disabled the link hears nothing and keeps
/// the state it had.
class TDataLink {
public:
    TDataLink() = default;
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;
    /// Detaches from the data source.
    virtual ~TDataLink();

    TDataSource* DataSource() const { return dataSource_; }
    /// Attaches to a data source (or detaches with nullptr); sends activeChanged
    /// when that changes whether the link is active.
    void setDataSource(TDataSource* source);
    /// The data source's data set, or nullptr.
    TDataSet* DataSet() const;

    /// The data source is enabled and its state is not dsInactive.
    bool Active() const { return active_; }
    /// The data source's state is dsEdit or dsInsert.
    bool Editing() const { return editing_; }
    /// Puts the data set into editing through the data source when AutoEdit
    /// allows it; returns whether the data set is now editing or inserting.
    bool Edit();

protected:
    /// The link became active or inactive (data set opened or closed, source
    /// enabled or disabled, data source changed).
    virtual void activeChanged() {}
    /// A field of the current row changed (field set), or the whole row (nullptr).
    virtual void recordChanged(TField* field) { (void)field; }
    /// Rows or their contents changed; repaint everything.
    virtual void dataSetChanged() {}
    /// The current row moved by the given number of rows.
    virtual void dataSetScrolled(int distance) { (void)distance; }
    /// The field order or widths changed.
    virtual void layoutChanged() { dataSetChanged(); }
    /// Editing started or ended.
    virtual void editingChanged() {}
    /// The data source's state changed (any transition).
    virtual void stateChanged() {}
    /// Write typed values into the pending row now (sent at the start of
    /// every save and settle).
    virtual void updateData() {}
    /// A pending row is about to be settled; finish any in-place edit.
    virtual void checkBrowseMode() {}

private:
    friend class TDataSource;
    void dataEvent(TDataEvent event, const TDataEventInfo& info);
    void refreshActive(bool notify);
    void refreshEditing(bool notify);

    TDataSource* dataSource_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
};
