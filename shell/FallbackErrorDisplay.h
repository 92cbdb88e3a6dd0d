#pragma once
// Errors raised before the run loop starts, while the window set is created,
// have no default error display yet: they get this one, and the process ends.
#include <exception>

/// The fallback display for an error raised before the run loop starts.
void ShowFallbackError(const std::exception& error);
