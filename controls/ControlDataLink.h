#pragma once
// The data link that every control of this folder owns: it turns the data
// source's notices into calls on the control.
#include "data/dataset/TDataLink.h"

class TField;

/// What a control hears from its data source. Every notice has an empty default.
class DataLinkClient {
public:
    virtual void linkActiveChanged() {}
    virtual void linkRecordChanged(TField* field) { (void)field; }
    virtual void linkDataSetChanged() {}
    virtual void linkDataSetScrolled(int distance) { (void)distance; }
    virtual void linkLayoutChanged() { linkDataSetChanged(); }
    virtual void linkEditingChanged() {}
    virtual void linkStateChanged() {}
    virtual void linkUpdateData() {}
    virtual void linkCheckBrowseMode() {}

protected:
    ~DataLinkClient() = default;
};

/// A data link that forwards every notice to one client.
class ControlDataLink final : public TDataLink {
public:
    explicit ControlDataLink(DataLinkClient& client) : client_(client) {}

protected:
    void activeChanged() override { client_.linkActiveChanged(); }
    void recordChanged(TField* field) override { client_.linkRecordChanged(field); }
    void dataSetChanged() override { client_.linkDataSetChanged(); }
    void dataSetScrolled(int distance) override { client_.linkDataSetScrolled(distance); }
    void layoutChanged() override { client_.linkLayoutChanged(); }
    void editingChanged() override { client_.linkEditingChanged(); }
    void stateChanged() override { client_.linkStateChanged(); }
    void updateData() override { client_.linkUpdateData(); }
    void checkBrowseMode() override { client_.linkCheckBrowseMode(); }

private:
    DataLinkClient& client_;
};
