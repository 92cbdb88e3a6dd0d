#pragma once
// The link through which controls and detail tables follow one data set.
#include "data/dataset/TDataSetState.h"

#include <string>
#include <vector>

class TDataLink;
class TDataSet;

/// Passes a data set's notices on to the links bound to it and keeps a state
/// of its own: the data set's state, frozen while its controls are disabled,
/// and dsInactive while it has no data set or is disabled.
class TDataSource {
public:
    explicit TDataSource(std::string name = {});
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;
    /// Detaches from the data set and from every link (links become inactive).
    ~TDataSource();

    const std::string& Name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    TDataSet* DataSet() const { return dataSet_; }
    void setDataSet(TDataSet* dataSet);

    /// A disabled data source reports dsInactive and passes nothing on.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    /// Typing into a bound control may put the data set into editing.
    bool AutoEdit() const { return autoEdit_; }
    void setAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }

    /// The state the bound controls see.
    TDataSetState State() const { return state_; }

    /// Starts editing the data set when AutoEdit is on and it is browsing.
    void Edit();

    /// Called by the data set for each notice.
    void dataEvent(TDataEvent event, const TDataEventInfo& info);
    /// Number of links bound to this source.
    int linkCount() const { return static_cast<int>(links_.size()); }

private:
    friend class TDataLink;
    friend class TDataSet;
    void addLink(TDataLink* link);
    void removeLink(TDataLink* link);
    void updateState();
    void detachDataSet() {
        dataSet_ = nullptr;
        updateState();
    }

    std::string name_;
    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    TDataSetState state_ = TDataSetState::dsInactive;
    std::vector<TDataLink*> links_;
};
