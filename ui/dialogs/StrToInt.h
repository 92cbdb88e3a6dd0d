#pragma once
#include <QString>
#include <cstdint>

/// A label's text as a 32-bit whole number: leading blanks skipped, then an
/// optional sign and digits, nothing after them. Anything else, the empty
/// text included, fails with EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(const QString& text);
