#pragma once
// The readable layout description of a report project (JSON) and its
// translation into the project model.
#include "report/ReportLayout.h"

#include <QByteArray>

/// Parses a layout description; throws std::runtime_error naming the first
/// thing that is wrong.
report::Project projectFromJson(const QByteArray& json);
