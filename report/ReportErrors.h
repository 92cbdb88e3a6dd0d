#pragma once
// Errors raised by the report engine. They derive from the system's Exception
// so that the default error display shows them like any other failure.
#include "data/values/Exceptions.h"

/// Any failure of the report engine itself (damaged files, bad layouts).
class EReportError : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EReportError"; }
};

/// A file that exists but cannot be opened: "Cannot open file "%s". %s".
class EFOpenError : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EFOpenError"; }
};
