#pragma once

#include "platform/MainWindow.h"

namespace carrovex
{

// What the main window reports to the logic. The binding raises these for the user's actions and also
// when the logic itself sets a different text or check-box value, as the window's controls do.
class MainWindowEvents
{
public:
    virtual ~MainWindowEvents() = default;

    // The text of a text field changed.
    virtual void changed(Control control) = 0;
    // A button was pressed, or a check box's value changed.
    virtual void clicked(Control control) = 0;
    // The focus is about to leave the control for another control of the window.
    virtual void validate(Control control) = 0;
    // The minute timer ticked; it ticks only while it is switched on.
    virtual void timerTicked() = 0;
    // Files arrived in the watched folder (see MainWindow::watchArrivals). False when the logic cannot take
    // them now: the window raises it again after another quiet moment.
    virtual bool filesArrived() = 0;
    // The pointer moved over the control, with the pressed mouse buttons (0 for none) and its position
    // from the control's top left in twips.
    virtual void mouseMoved(Control control, int buttons, double x, double y) = 0;
    // The window's size or state changed.
    virtual void resized() = 0;
    // The window became the active window: the user has come back to it from elsewhere.
    virtual void activated() = 0;
    // The window is on the screen for the first time.
    virtual void shown() = 0;
    // The window is asked to close, in any way. False keeps it open for now: the logic closes it itself as
    // soon as it can.
    virtual bool closeRequested() = 0;
    // The session ends (logout, shutdown, a request to terminate): the window is to close with no one there
    // to answer a question. False keeps it open for now, as for closeRequested.
    virtual bool sessionEnding() = 0;
};

} // namespace carrovex
