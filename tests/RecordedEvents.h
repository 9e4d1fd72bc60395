#pragma once

#include "platform/MainWindowEvents.h"

#include <sstream>
#include <string>
#include <vector>

namespace carrovex::testing
{

// The name of a control, for the recorded events.
inline std::string nameOf(Control control)
{
    std::istringstream names(
        "SourceFolder DestinationFolder BrowseSource BrowseDestination Interval Move Copy ShowLog "
        "Overwrite Log Settings StartStop Quit SourceLabel DestinationLabel IntervalLabel LogLabel "
        "TrayShow TrayQuit OpenLogFile");
    std::string name;
    for (int index = 0; index <= static_cast<int>(control); ++index) {
        names >> name;
    }
    return name;
}

// The main window's events as a test sees them: "changed SourceFolder", "clicked Quit", "tick"...
class RecordedEvents final : public MainWindowEvents
{
public:
    std::vector<std::string> seen;
    bool allowClose = true;
    int refusedArrivals = 0; // reports of arrivals answered as not taken yet
    double lastX = 0; // where the pointer last moved, in twips
    double lastY = 0;

    void changed(Control control) override
    {
        seen.push_back("changed " + nameOf(control));
    }
    void clicked(Control control) override
    {
        seen.push_back("clicked " + nameOf(control));
    }
    void validate(Control control) override
    {
        seen.push_back("validate " + nameOf(control));
    }
    void timerTicked() override
    {
        seen.push_back("tick");
    }
    bool filesArrived() override
    {
        seen.push_back("arrived");
        return refusedArrivals-- <= 0;
    }
    void mouseMoved(Control control, int buttons, double x, double y) override
    {
        seen.push_back("moved " + nameOf(control) + " " + std::to_string(buttons));
        lastX = x;
        lastY = y;
    }
    void resized() override
    {
        seen.push_back("resized");
    }
    void activated() override
    {
        seen.push_back("activated");
    }
    void shown() override
    {
        seen.push_back("shown");
    }
    bool closeRequested() override
    {
        seen.push_back("close");
        return allowClose;
    }
    bool sessionEnding() override
    {
        seen.push_back("session ends");
        return allowClose;
    }
};

} // namespace carrovex::testing
