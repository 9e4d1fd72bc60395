#include "platform/common/TwipsScale.h"

#include <algorithm>

namespace carrovex
{

double twipsScale(double displayScale, const std::vector<ControlFit>& controls)
{
    double scale = displayScale;
    for (const ControlFit& control : controls) {
        if (control.showsText && control.twipsWidth > 0) {
            scale = std::max(scale, control.neededWidth / static_cast<double>(control.twipsWidth));
        }
        if (control.twipsHeight > 0) {
            scale = std::max(scale, control.neededHeight / static_cast<double>(control.twipsHeight));
        }
    }
    return scale;
}

} // namespace carrovex
