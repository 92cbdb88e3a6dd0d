#include "controls/DataSourceBinding.h"

#include "data/dataset/TDataLink.h"
#include "data/module/ModuleBindings.h"

DataSourceBinding::~DataSourceBinding() {
    cancelPending();
}

void DataSourceBinding::cancelPending() {
    if (pending_)
        ModuleBindings::cancel(*pending_);
    pending_.reset();
}

void DataSourceBinding::setName(const QString& name) {
    cancelPending();
    name_ = name;
    if (name.isEmpty()) {
        link_.setDataSource(nullptr);
        return;
    }
    // The callback runs at once when the module exists, else later; only a
    // request still waiting may be withdrawn.
    struct Requesting {
        bool& flag;
        explicit Requesting(bool& f) : flag(f) { flag = true; }
        ~Requesting() { flag = false; }
    };
    boundAtOnce_ = false;
    int id = 0;
    {
        Requesting during(requesting_);
        id = ModuleBindings::bindDataSource(name.toStdString(), [this](TDataSource* s) {
            if (requesting_)
                boundAtOnce_ = true;
            pending_.reset();
            link_.setDataSource(s);
        });
    }
    if (!boundAtOnce_)
        pending_ = id;
}

void DataSourceBinding::setDataSource(TDataSource* source) {
    cancelPending();
    name_.clear();
    link_.setDataSource(source);
}
