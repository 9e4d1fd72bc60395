#pragma once

#include <functional>

namespace carrovex::qt
{

// Runs work on another thread while the window thread runs its event loop, the user's input included,
// until the work is done: a click is answered while a file is copied, never replayed once the controls
// have changed under it; everySecond (unless empty) runs on the window thread once a second meanwhile. For
// BackgroundFileSystem.
void runEventsDuring(const std::function<void()>& work, const std::function<void()>& everySecond);

} // namespace carrovex::qt
