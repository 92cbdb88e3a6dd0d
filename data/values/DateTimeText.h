#pragma once
// Dates and times as whole numbers, and their text forms: ISO text as the
// databases exchange it, and strftime-style patterns for display.
#include "data/values/FormatSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zemt::data {

constexpr std::int64_t kMicrosPerSecond = 1000000;
constexpr std::int64_t kMicrosPerDay = 86400 * kMicrosPerSecond;

/// Days from 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(int year, int month, int day);
/// Civil date of a day number.
void civilFromDays(std::int64_t days, int& year, int& month, int& day);

/// "YYYY-MM-DD" (anything after the day is refused).
std::optional<std::int64_t> parseIsoDate(std::string_view text);
/// "HH:MM[:SS[.ffffff]]", an optional zone suffix ignored.
std::optional<std::int64_t> parseIsoTime(std::string_view text);
/// "YYYY-MM-DD[ T]HH:MM[:SS[.ffffff]]", an optional zone suffix ignored.
std::optional<std::int64_t> parseIsoDateTime(std::string_view text);

std::string isoDate(std::int64_t days);
std::string isoTime(std::int64_t micros);
std::string isoDateTime(std::int64_t micros);

/// Formats a date and time of day with a strftime-style pattern: the
/// conversions of dates and times of day, with the flags - _ 0 ^ and the
/// modifiers E and O; %r, %p and %P as the settings give them. A time of day
/// has no zone: %Z and %z give nothing, and a blank beside them goes too.
std::string formatPattern(const std::string& pattern, std::int64_t days, std::int64_t micros,
                          const TFormatSettings& settings = FormatSettings());
/// Reads a date typed in the pattern's order of day, month and year.
std::optional<std::int64_t> parseDatePattern(const std::string& pattern, std::string_view text);
/// Reads a time typed as hours[:minutes[:seconds]].
std::optional<std::int64_t> parseTimeText(std::string_view text);

} // namespace zemt::data
