#pragma once
// Our windows as assistive technology sees them: a frame, or a dialog once
// the window is shown modally, named by its caption.

/// Installs the accessibility factory of the windows (once per process).
void installWindowAccessibility();
