#include "data/values/DateTimeText.h"

#include "data/values/Names.h"

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

namespace {

/// The parts of a date and time of day that conversions print.
struct Moment {
    int year, month, day, hour, minute, second;
};

/// How one conversion is written: its flag ('-' no padding, '_' blanks,
/// '0' zeros, '^' upper case), or 0 for the conversion's own padding.
void appendNumber(std::string& out, int value, int width, char ownPad, char flag) {
    const char pad = flag == '_' ? ' ' : flag == '0' ? '0' : ownPad;
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (flag != '-')
        while (static_cast<int>(digits.size()) < width)
            digits.insert(digits.begin(), pad);
    if (value < 0)
        digits.insert(digits.begin(), '-');
    out += digits;
}

void appendWord(std::string& out, const std::string& word, char flag, bool lower) {
    if (lower)
        out += lowerName(word);
    else if (flag == '^')
        for (char c : word) // Latin letters only; other scripts stay as they are
            out += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    else
        out += word;
}

void appendPattern(std::string& out, const std::string& pattern, const Moment& t,
                   const TFormatSettings& settings, bool insideAmPm) {
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        ++i;
        char flag = 0;
        while (i + 1 < pattern.size() &&
               (pattern[i] == '-' || pattern[i] == '_' || pattern[i] == '0' || pattern[i] == '^' ||
                pattern[i] == '#'))
            flag = pattern[i++];
        // Alternative eras and digits: the plain form serves.
        if (i + 1 < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'O'))
            ++i;
        switch (pattern[i]) {
        case 'd':
            appendNumber(out, t.day, 2, '0', flag);
            break;
        case 'e':
            appendNumber(out, t.day, 2, ' ', flag);
            break;
        case 'm':
            appendNumber(out, t.month, 2, '0', flag);
            break;
        case 'Y':
            appendNumber(out, t.year, 4, '0', flag);
            break;
        case 'y':
            appendNumber(out, ((t.year % 100) + 100) % 100, 2, '0', flag);
            break;
        case 'C':
            appendNumber(out, t.year / 100, 2, '0', flag);
            break;
        case 'H':
            appendNumber(out, t.hour, 2, '0', flag);
            break;
        case 'k':
            appendNumber(out, t.hour, 2, ' ', flag);
            break;
        case 'I':
            appendNumber(out, hour12, 2, '0', flag);
            break;
        case 'l':
            appendNumber(out, hour12, 2, ' ', flag);
            break;
        case 'M':
            appendNumber(out, t.minute, 2, '0', flag);
            break;
        case 'S':
            appendNumber(out, t.second, 2, '0', flag);
            break;
        case 'p':
        case 'P':
            appendWord(out, t.hour < 12 ? settings.TimeAMString : settings.TimePMString, flag,
                       pattern[i] == 'P');
            break;
        case 'D':
            appendPattern(out, "%m/%d/%y", t, settings, insideAmPm);
            break;
        case 'F':
            appendPattern(out, "%Y-%m-%d", t, settings, insideAmPm);
            break;
        case 'T':
            appendPattern(out, "%H:%M:%S", t, settings, insideAmPm);
            break;
        case 'R':
            appendPattern(out, "%H:%M", t, settings, insideAmPm);
            break;
        case 'r':
            // A 12-hour pattern that names %r itself means the plain one.
            appendPattern(out, insideAmPm ? "%I:%M:%S %p" : settings.TimeAmPmFormat, t, settings,
                          true);
            break;
        case 'Z':
        case 'z':
            if (!out.empty() && out.back() == ' ')
                out.pop_back();
            else if (out.empty() && i + 1 < pattern.size() && pattern[i + 1] == ' ')
                ++i;
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '%':
            out += '%';
            break;
        default:
            break;
        }
    }
}

} // namespace

std::string formatPattern(const std::string& pattern, std::int64_t days, std::int64_t micros,
                          const TFormatSettings& settings) {
    Moment t{};
    civilFromDays(days, t.year, t.month, t.day);
    const int secs = int(micros / kMicrosPerSecond);
    t.hour = secs / 3600;
    t.minute = secs / 60 % 60;
    t.second = secs % 60;
    std::string out;
    appendPattern(out, pattern, t, settings, false);
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
