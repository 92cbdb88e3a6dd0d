#pragma once
#include <exception>

class TApplication;

/// Creates the window set in its fixed order: Form1 (the main form), Form2,
/// DataModule3, Form4 to Form9.
void CreateWindowSet(TApplication& application);

/// The fallback display for an error raised before the run loop starts.
void ShowFallbackError(const std::exception& error);
