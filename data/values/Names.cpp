#include "data/values/Names.h"

namespace zemt::data {

namespace {

// A byte that starts no valid UTF-8 sequence stands for itself, above every
// code point, so that it equals only the same byte.
constexpr char32_t kRawByte = 0x110000;

bool isRaw(char32_t c) {
    return c >= kRawByte;
}

/// The code point at pos, which moves past it; an invalid sequence gives its
/// first byte raw and moves one byte.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0, least = 0;
    if ((lead & 0xE0) == 0xC0)
        length = 2, c = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, c = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, c = lead & 0x07, least = 0x10000;
    bool valid = length != 0 && pos + length <= text.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        valid = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
    }
    valid = valid && c >= least && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    if (!valid) {
        ++pos;
        return kRawByte + lead;
    }
    pos += length;
    return c;
}

bool between(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last;
}

/// Simple lower-case mapping of Latin, Latin-1, Latin Extended-A and Cyrillic.
char32_t lowerCodePoint(char32_t c) {
    const bool even = c % 2 == 0;
    if (between(c, 'A', 'Z') || (between(c, 0xC0, 0xDE) && c != 0xD7))
        return c + 0x20;
    if (c < 0x100)
        return c;
    if (c == 0x130) // capital I with dot above
        return 'i';
    if (c == 0x178) // capital Y with diaeresis
        return 0xFF;
    if ((between(c, 0x100, 0x137) || between(c, 0x14A, 0x177)) && even)
        return c + 1;
    if ((between(c, 0x139, 0x148) || between(c, 0x179, 0x17E)) && !even)
        return c + 1;
    if (between(c, 0x400, 0x40F)) // Ѐ..Џ, Ё among them
        return c + 0x50;
    if (between(c, 0x410, 0x42F)) // А..Я
        return c + 0x20;
    if ((between(c, 0x460, 0x481) || between(c, 0x48A, 0x4BF) || between(c, 0x4D0, 0x52F)) && even)
        return c + 1;
    if (c == 0x4C0) // palochka
        return 0x4CF;
    if (between(c, 0x4C1, 0x4CE) && !even)
        return c + 1;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

bool sameName(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (lowerCodePoint(nextCodePoint(a, i)) != lowerCodePoint(nextCodePoint(b, j)))
            return false;
    return i == a.size() && j == b.size();
}

std::string lowerName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t start = pos;
        const char32_t c = nextCodePoint(name, pos);
        const char32_t lower = isRaw(c) ? c : lowerCodePoint(c);
        if (lower == c)
            out.append(name, start, pos - start);
        else
            appendUtf8(out, lower);
    }
    return out;
}

std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        std::string name = list.substr(start, end - start);
        const auto first = name.find_first_not_of(" \t");
        const auto last = name.find_last_not_of(" \t");
        if (first != std::string::npos)
            names.push_back(name.substr(first, last - first + 1));
        start = end + 1;
    }
    return names;
}

} // namespace zemt::data
