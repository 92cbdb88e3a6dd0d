#pragma once

class TApplication;

/// Creates the window set in its fixed order: Form1 (the main form), Form2,
/// DataModule3, Form4 to Form9.
void CreateWindowSet(TApplication& application);
