#pragma once
// Error classes shared by every layer. Failures are exceptions; the
// application shell shows whatever escapes a handler.
#include <stdexcept>
#include <string>

/// Base of every error the system raises; carries the message shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    /// Class name used by the fallback display before the run loop starts.
    virtual const char* className() const noexcept { return "Exception"; }
};

#define ZEMT_EXCEPTION_CLASS(Name, Base)                                                           \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        const char* className() const noexcept override { return #Name; }                          \
    };

/// Silent abort: the default error display shows nothing for it.
ZEMT_EXCEPTION_CLASS(EAbort, Exception)
ZEMT_EXCEPTION_CLASS(EInvalidOperation, Exception)
ZEMT_EXCEPTION_CLASS(EConvertError, Exception)
/// The data layer's own errors ("%s: %s" with the data set's name).
ZEMT_EXCEPTION_CLASS(EDatabaseError, Exception)
/// Errors reported by the database through the provider.
ZEMT_EXCEPTION_CLASS(EADOError, EDatabaseError)
ZEMT_EXCEPTION_CLASS(EOleException, Exception)

#undef ZEMT_EXCEPTION_CLASS
