#include "ui/dialogs/StrToInt.h"

#include "data/values/Exceptions.h"

#include <limits>

std::int32_t StrToInt(const QString& text) {
    auto fail = [&text]() -> std::int32_t {
        throw EConvertError("'" + text.toStdString() + "' is not a valid integer value");
    };
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    if (i == text.size())
        return fail();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return fail();
        value = value * 10 + (c - u'0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            return fail();
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return fail();
    return static_cast<std::int32_t>(value);
}
