#pragma once
// The navigator bar as assistive technology sees it: a tool bar (named in the
// window's form) whose buttons carry their own names.

/// Installs the accessibility factory of the navigator bar (once per process).
void installNavigatorAccessibility();
