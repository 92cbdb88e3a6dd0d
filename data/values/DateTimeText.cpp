#include "data/values/DateTimeText.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

namespace zemt::data {

// Howard Hinnant's civil-calendar algorithms.
std::int64_t daysFromCivil(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

namespace {

bool readNumber(std::string_view text, size_t& pos, size_t digits, int& out) {
    if (pos + digits > text.size())
        return false;
    int value = 0;
    for (size_t i = 0; i < digits; ++i) {
        const char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    out = value;
    return true;
}

bool validDate(int y, int m, int d) {
    if (m < 1 || m > 12 || d < 1)
        return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= lengths[m - 1] + (m == 2 && leap ? 1 : 0);
}

std::optional<std::int64_t> readDate(std::string_view text, size_t& pos) {
    int y, m, d;
    if (!readNumber(text, pos, 4, y) || pos >= text.size() || text[pos++] != '-' ||
        !readNumber(text, pos, 2, m) || pos >= text.size() || text[pos++] != '-' ||
        !readNumber(text, pos, 2, d) || !validDate(y, m, d))
        return std::nullopt;
    return daysFromCivil(y, m, d);
}

std::optional<std::int64_t> readTime(std::string_view text, size_t& pos) {
    int h, mi, s = 0;
    if (!readNumber(text, pos, 2, h) || pos >= text.size() || text[pos++] != ':' ||
        !readNumber(text, pos, 2, mi))
        return std::nullopt;
    std::int64_t micros = 0;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!readNumber(text, pos, 2, s))
            return std::nullopt;
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            std::int64_t scale = 100000;
            while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
                micros += (text[pos] - '0') * scale;
                scale /= 10;
                ++pos;
            }
        }
    }
    if (h > 24 || mi > 59 || s > 60)
        return std::nullopt;
    return ((h * 60 + mi) * 60 + s) * kMicrosPerSecond + micros;
}

} // namespace

std::optional<std::int64_t> parseIsoDate(std::string_view text) {
    size_t pos = 0;
    auto days = readDate(text, pos);
    if (!days || pos != text.size())
        return std::nullopt;
    return days;
}

std::optional<std::int64_t> parseIsoTime(std::string_view text) {
    size_t pos = 0;
    return readTime(text, pos);
}

std::optional<std::int64_t> parseIsoDateTime(std::string_view text) {
    size_t pos = 0;
    auto days = readDate(text, pos);
    if (!days)
        return std::nullopt;
    if (pos == text.size())
        return *days * kMicrosPerDay;
    if (text[pos] != ' ' && text[pos] != 'T')
        return std::nullopt;
    ++pos;
    auto time = readTime(text, pos);
    if (!time)
        return std::nullopt;
    return *days * kMicrosPerDay + *time;
}

std::string isoDate(std::int64_t days) {
    int y, m, d;
    civilFromDays(days, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

std::string isoTime(std::int64_t micros) {
    const std::int64_t secs = micros / kMicrosPerSecond;
    const std::int64_t frac = micros % kMicrosPerSecond;
    char buf[32];
    if (frac)
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%06d", int(secs / 3600), int(secs / 60 % 60),
                      int(secs % 60), int(frac));
    else
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", int(secs / 3600), int(secs / 60 % 60),
                      int(secs % 60));
    return buf;
}

static std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

std::string isoDateTime(std::int64_t micros) {
    const std::int64_t days = floorDiv(micros, kMicrosPerDay);
    return isoDate(days) + " " + isoTime(micros - days * kMicrosPerDay);
}

std::string formatPattern(const std::string& pattern, std::int64_t days, std::int64_t micros) {
    int y, m, d;
    civilFromDays(days, y, m, d);
    const int secs = int(micros / kMicrosPerSecond);
    const int h = secs / 3600, mi = secs / 60 % 60, s = secs % 60;
    std::string out;
    char buf[16];
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        switch (pattern[++i]) {
        case 'd':
            std::snprintf(buf, sizeof buf, "%02d", d);
            break;
        case 'e':
            std::snprintf(buf, sizeof buf, "%2d", d);
            break;
        case 'm':
            std::snprintf(buf, sizeof buf, "%02d", m);
            break;
        case 'Y':
            std::snprintf(buf, sizeof buf, "%04d", y);
            break;
        case 'y':
            std::snprintf(buf, sizeof buf, "%02d", ((y % 100) + 100) % 100);
            break;
        case 'H':
            std::snprintf(buf, sizeof buf, "%02d", h);
            break;
        case 'I':
            std::snprintf(buf, sizeof buf, "%02d", h % 12 == 0 ? 12 : h % 12);
            break;
        case 'M':
            std::snprintf(buf, sizeof buf, "%02d", mi);
            break;
        case 'S':
            std::snprintf(buf, sizeof buf, "%02d", s);
            break;
        case 'p':
            std::snprintf(buf, sizeof buf, "%s", h < 12 ? "AM" : "PM");
            break;
        case 'D':
            std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", m, d, ((y % 100) + 100) % 100);
            break;
        case 'T':
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
            break;
        case 'R':
            std::snprintf(buf, sizeof buf, "%02d:%02d", h, mi);
            break;
        case 'F':
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
            break;
        case '%':
            std::snprintf(buf, sizeof buf, "%%");
            break;
        default:
            buf[0] = 0;
            break;
        }
        out += buf;
    }
    return out;
}

std::optional<std::int64_t> parseDatePattern(const std::string& pattern, std::string_view text) {
    // The order of day, month and year comes from the pattern; the digits
    // may be separated by any non-digit.
    std::vector<char> order;
    for (size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != '%')
            continue;
        const char c = pattern[i + 1];
        if (c == 'd' || c == 'e')
            order.push_back('d');
        else if (c == 'm')
            order.push_back('m');
        else if (c == 'Y' || c == 'y')
            order.push_back('y');
        else if (c == 'D') {
            order = {'m', 'd', 'y'};
            break;
        } else if (c == 'F') {
            order = {'y', 'm', 'd'};
            break;
        }
        ++i;
    }
    if (order.size() != 3)
        order = {'y', 'm', 'd'};
    std::vector<int> numbers;
    std::vector<size_t> widths;
    size_t pos = 0;
    while (pos < text.size()) {
        if (!std::isdigit(static_cast<unsigned char>(text[pos]))) {
            if (text[pos] != ' ' && text[pos] != '.' && text[pos] != '/' && text[pos] != '-')
                return std::nullopt;
            ++pos;
            continue;
        }
        int value = 0;
        size_t start = pos;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) &&
               pos - start < 4)
            value = value * 10 + (text[pos++] - '0');
        numbers.push_back(value);
        widths.push_back(pos - start);
    }
    if (numbers.size() != 3)
        return std::nullopt;
    int y = 0, m = 0, d = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (order[i] == 'y') {
            y = numbers[i];
            if (widths[i] <= 2)
                y += y < 50 ? 2000 : 1900;
        } else if (order[i] == 'm')
            m = numbers[i];
        else
            d = numbers[i];
    }
    if (!validDate(y, m, d))
        return std::nullopt;
    return daysFromCivil(y, m, d);
}

std::optional<std::int64_t> parseTimeText(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int count = 0;
    size_t pos = 0;
    while (pos < text.size() && count < 3) {
        size_t start = pos;
        int value = 0;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
            value = value * 10 + (text[pos++] - '0');
        if (pos == start)
            return std::nullopt;
        parts[count++] = value;
        if (pos < text.size()) {
            if (text[pos] != ':')
                return std::nullopt;
            ++pos;
        }
    }
    if (count == 0 || pos != text.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * kMicrosPerSecond;
}

} // namespace zemt::data
