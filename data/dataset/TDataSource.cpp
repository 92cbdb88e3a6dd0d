#include "data/dataset/TDataSource.h"

#include "data/dataset/TDataLink.h"
#include "data/dataset/TDataSet.h"
#include "data/dataset/Teardown.h"

#include <algorithm>

TDataSource::TDataSource(std::string name) : name_(std::move(name)) {}

TDataSource::~TDataSource() {
    const zemt::data::Teardown teardown;
    if (dataSet_)
        dataSet_->removeDataSource(this);
    dataSet_ = nullptr;
    // Links outlive their source when windows are destroyed after the module.
    const auto links = links_;
    for (TDataLink* link : links)
        link->setDataSource(nullptr);
}

void TDataSource::setDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_)
        return;
    if (dataSet_)
        dataSet_->removeDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->addDataSource(this);
    updateState();
}

void TDataSource::setEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    updateState();
}

void TDataSource::Edit() {
    if (autoEdit_ && dataSet_ && state_ == TDataSetState::dsBrowse)
        dataSet_->Edit();
}

void TDataSource::addLink(TDataLink* link) {
    links_.push_back(link);
}

void TDataSource::removeLink(TDataLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TDataSource::updateState() {
    TDataSetState state = TDataSetState::dsInactive;
    if (enabled_ && dataSet_) {
        // While the data set's controls are disabled its sources keep their state.
        if (dataSet_->ControlsDisabled())
            return;
        state = dataSet_->State();
    }
    if (state == state_)
        return;
    state_ = state;
    const auto links = links_;
    for (TDataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end())
            continue;
        // Active first: a closed data set has dropped its fields, and a link
        // told that editing ended must already know it is inactive.
        link->refreshActive(true);
        link->refreshEditing(true);
        link->stateChanged();
    }
}

void TDataSource::dataEvent(TDataEvent event, const TDataEventInfo& info) {
    if (event == TDataEvent::deUpdateState) {
        updateState();
        return;
    }
    if (state_ == TDataSetState::dsInactive)
        return;
    const auto links = links_;
    for (TDataLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->dataEvent(event, info);
}
