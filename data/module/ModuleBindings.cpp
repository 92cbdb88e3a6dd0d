#include "data/module/ModuleBindings.h"

#include "data/module/Unit3.h"

#include <algorithm>

namespace ModuleBindings {

namespace {

struct Pending {
    BindingId id;
    std::string name;
    std::function<void(TDataSource*)> bindSource;
    std::function<void(TDataSet*)> bindSet;
};

std::vector<Pending>& pending() {
    static std::vector<Pending> list;
    return list;
}

BindingId nextId = 1;

// Binds now if the module has the component; returns whether it did.
bool resolve(const Pending& p) {
    if (!DataModule3)
        return false;
    if (p.bindSource) {
        if (TDataSource* source = DataModule3->findDataSource(p.name)) {
            p.bindSource(source);
            return true;
        }
    } else if (TDataSet* set = DataModule3->findDataSet(p.name)) {
        p.bindSet(set);
        return true;
    }
    return false;
}

BindingId request(Pending p) {
    p.id = nextId++;
    if (!resolve(p))
        pending().push_back(std::move(p));
    return nextId - 1;
}

} // namespace

BindingId bindDataSource(const std::string& name, std::function<void(TDataSource*)> bind) {
    return request({0, name, std::move(bind), nullptr});
}

BindingId bindDataSet(const std::string& name, std::function<void(TDataSet*)> bind) {
    return request({0, name, nullptr, std::move(bind)});
}

void cancel(BindingId id) {
    auto& list = pending();
    list.erase(
        std::remove_if(list.begin(), list.end(), [id](const Pending& p) { return p.id == id; }),
        list.end());
}

std::vector<std::string> pendingNames() {
    std::vector<std::string> names;
    for (const auto& p : pending())
        names.push_back(p.name);
    return names;
}

void completePending() {
    // A binding may request further bindings; take the list first.
    auto list = std::move(pending());
    pending().clear();
    for (auto& p : list)
        if (!resolve(p))
            pending().push_back(std::move(p));
}

} // namespace ModuleBindings
