#pragma once
// The two forms of error text: a provider's description, and the layer's own.
#include <string>

namespace zemt::data {

/// A provider's description with trailing blanks and full stops removed.
std::string trimDescription(std::string text);

/// Throws EADOError with the trimmed description.
[[noreturn]] void throwProviderError(const std::string& description);

/// Throws EDatabaseError "<component>: <message>".
[[noreturn]] void throwLayerError(const std::string& component, const std::string& message);

/// "%s" in a pattern replaced by one argument.
std::string fillIn(const std::string& pattern, const std::string& value);

} // namespace zemt::data
