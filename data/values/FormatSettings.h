#pragma once
// How values are turned into display text: the workstation's decimal
// separator and its short date and long time formats.
#include <string>

/// Locale-dependent formats used for display texts and for reading typed text.
/// Date and time formats are strftime-style patterns (%d %m %Y %y %H %M %S
/// %I %l %k %p %T %R %r ... and literal characters), as the C library's
/// locale reports them.
struct TFormatSettings {
    char DecimalSeparator = '.';
    std::string ShortDateFormat = "%d.%m.%Y";
    std::string LongTimeFormat = "%H:%M:%S";
    /// The 12-hour time pattern that %r stands for.
    std::string TimeAmPmFormat = "%I:%M:%S %p";
    /// What %p gives before and after noon.
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

/// The process-wide settings. On first use they are taken from the C
/// library's current locale (LC_NUMERIC and LC_TIME); the application may
/// overwrite them, for example from the windowing system's locale.
TFormatSettings& FormatSettings();

/// Fills the process-wide settings from the C library's current locale.
void LoadFormatSettingsFromLocale();
