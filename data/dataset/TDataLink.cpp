#include "data/dataset/TDataLink.h"

#include "data/dataset/TDataSet.h"
#include "data/dataset/TDataSource.h"

TDataLink::~TDataLink() {
    if (dataSource_)
        dataSource_->removeLink(this);
}

void TDataLink::setDataSource(TDataSource* source) {
    if (source == dataSource_)
        return;
    if (dataSource_)
        dataSource_->removeLink(this);
    dataSource_ = source;
    if (dataSource_)
        dataSource_->addLink(this);
    refreshEditing(false);
    refreshActive(true);
}

TDataSet* TDataLink::DataSet() const {
    return dataSource_ ? dataSource_->DataSet() : nullptr;
}

bool TDataLink::Edit() {
    if (dataSource_ && !editing_)
        dataSource_->Edit();
    return editing_;
}

void TDataLink::refreshActive(bool notify) {
    const bool active = dataSource_ && dataSource_->State() != TDataSetState::dsInactive;
    if (active == active_)
        return;
    active_ = active;
    if (notify)
        activeChanged();
}

void TDataLink::refreshEditing(bool notify) {
    const bool editing = dataSource_ && (dataSource_->State() == TDataSetState::dsEdit ||
                                         dataSource_->State() == TDataSetState::dsInsert);
    if (editing == editing_)
        return;
    editing_ = editing;
    if (notify)
        editingChanged();
}

void TDataLink::dataEvent(TDataEvent event, const TDataEventInfo& info) {
    switch (event) {
    case TDataEvent::deFieldChange:
        recordChanged(info.field);
        break;
    case TDataEvent::deRecordChange:
        recordChanged(nullptr);
        break;
    case TDataEvent::deDataSetChange:
        dataSetChanged();
        break;
    case TDataEvent::deDataSetScroll:
        dataSetScrolled(info.distance);
        break;
    case TDataEvent::deLayoutChange:
        layoutChanged();
        break;
    case TDataEvent::deUpdateRecord:
        updateData();
        break;
    case TDataEvent::deCheckBrowseMode:
        checkBrowseMode();
        break;
    case TDataEvent::deUpdateState:
        break;
    }
}
