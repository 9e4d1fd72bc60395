#pragma once

#include <vector>

namespace carrovex
{

// A control of a window designed in twips, with the room its text needs in the toolkit's pixels.
struct ControlFit {
    int twipsWidth = 0;
    int twipsHeight = 0;
    int neededWidth = 0;
    int neededHeight = 0;
    bool showsText = false; // its whole text must be visible: the width counts too
};

// Pixels per twip for a whole window, so that its proportions stay as designed: the display's own
// (1/15 at 96 dots per inch) unless a control needs more room for the system's font, in which case
// everything grows until every text fits.
double twipsScale(double displayScale, const std::vector<ControlFit>& controls);

} // namespace carrovex
