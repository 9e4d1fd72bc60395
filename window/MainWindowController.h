#pragma once

#include "platform/MainWindowEvents.h"

#include <string>

namespace carrovex
{

struct MainForm;

// The main window's event procedures: each event of the window goes to the procedure that handles it.
class MainWindowController final : public MainWindowEvents
{
public:
    explicit MainWindowController(MainForm& form);
    MainWindowController(const MainWindowController&) = delete;
    MainWindowController& operator=(const MainWindowController&) = delete;

    void changed(Control control) override;
    void clicked(Control control) override;
    void validate(Control control) override;
    void timerTicked() override;
    bool filesArrived() override;
    void mouseMoved(Control control, int buttons, double x, double y) override;
    void resized() override;
    void activated() override;
    void shown() override;
    bool closeRequested() override;
    bool sessionEnding() override;

private:
    // A close that came during a run is carried out by the handler that started the run, once it is over.
    void closeIfRunEnded();

    MainForm& m_form;
};

} // namespace carrovex
