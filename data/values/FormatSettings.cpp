#include "data/values/FormatSettings.h"

#include <clocale>
#include <langinfo.h>

namespace {
bool loaded = false;
TFormatSettings settings;
} // namespace

void LoadFormatSettingsFromLocale() {
    loaded = true;
    const char* radix = nl_langinfo(RADIXCHAR);
    settings.DecimalSeparator = (radix && *radix) ? radix[0] : '.';
    const char* date = nl_langinfo(D_FMT);
    if (date && *date)
        settings.ShortDateFormat = date;
    const char* time = nl_langinfo(T_FMT);
    if (time && *time)
        settings.LongTimeFormat = time;
    // Some locales have no 12-hour pattern; %r then keeps the plain one.
    const char* ampm = nl_langinfo(T_FMT_AMPM);
    if (ampm && *ampm)
        settings.TimeAmPmFormat = ampm;
    const char* am = nl_langinfo(AM_STR);
    const char* pm = nl_langinfo(PM_STR);
    settings.TimeAMString = am ? am : "";
    settings.TimePMString = pm ? pm : "";
}

TFormatSettings& FormatSettings() {
    if (!loaded)
        LoadFormatSettingsFromLocale();
    return settings;
}
