#pragma once
// Makes the painted buttons known to assistive technology: without this they would appear as
// plain unnamed widgets that cannot be pressed.

namespace skin {

// Registers the accessibility factory for xpcmdbutton and xptopbuttons. Each button calls it
// when created; calls after the first do nothing.
void installAccessibility();

}  // namespace skin
