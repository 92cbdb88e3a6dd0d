#pragma once
// Bindings by component name. Windows created before the data module name
// its data sources and data sets; the bindings are completed the moment the
// module is created, and at once when it already exists.
#include <functional>
#include <string>
#include <vector>

class TDataSet;
class TDataSource;

namespace ModuleBindings {

/// Identifies a requested binding so that its owner can withdraw it.
using BindingId = int;

/// Calls bind with the module's data source of that name, now if the module
/// exists, else when it is created. Names match without regard to case.
BindingId bindDataSource(const std::string& name, std::function<void(TDataSource*)> bind);
/// The same for a data set (a report connection or a chart series binds one directly).
BindingId bindDataSet(const std::string& name, std::function<void(TDataSet*)> bind);
/// Withdraws a binding that is still pending (a control destroyed early).
void cancel(BindingId id);
/// Names of bindings still waiting for the module (or naming nothing in it).
std::vector<std::string> pendingNames();

/// Called by the data module when it is created: completes pending bindings.
void completePending();

} // namespace ModuleBindings
