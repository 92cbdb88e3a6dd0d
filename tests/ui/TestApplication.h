#pragma once
// The application object of a window-test process, which a fixture can replace.

/// Destroys the application object and makes a fresh one. A run that ended
/// stays ended for the object that ran it (its modal windows end at once), so
/// a test that ends the run hands the next one a new object this way. Every
/// window must be destroyed first.
void restartApplication();
