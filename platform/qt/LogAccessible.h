#pragma once

namespace carrovex::qt
{

// Lets assistive technology see the log as a list whose items are its lines, which the log paints itself.
// Called by every log; the first call installs it.
void installLogAccessibility();

} // namespace carrovex::qt
