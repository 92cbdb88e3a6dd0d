#include "data/values/ErrorText.h"

#include "data/values/Exceptions.h"

namespace zemt::data {

std::string trimDescription(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '.' || text.back() == '\n' ||
                             text.back() == '\r' || text.back() == '\t'))
        text.pop_back();
    return text;
}

void throwProviderError(const std::string& description) {
    throw EADOError(trimDescription(description));
}

void throwLayerError(const std::string& component, const std::string& message) {
    throw EDatabaseError(component.empty() ? message : component + ": " + message);
}

std::string fillIn(const std::string& pattern, const std::string& value) {
    std::string out = pattern;
    const auto at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, value);
    return out;
}

} // namespace zemt::data
