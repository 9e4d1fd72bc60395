#include "window/MainWindowController.h"

#include "engine/DestinationDisk.h"
#include "form/Captions.h"
#include "form/KeptLog.h"
#include "form/LogPane.h"
#include "form/MainForm.h"
#include "platform/MainWindow.h"
#include "schedule/IntervalChoices.h"
#include "schedule/RunOnArrival.h"
#include "schedule/RunScheduler.h"
#include "settings/OptionsDialogController.h"
#include "store/IniStore.h"
#include "window/FolderPicker.h"
#include "window/LogTooltip.h"
#include "window/StartupShutdown.h"

namespace carrovex
{

namespace
{

// With "SendToTray" on, closing and minimising leave only the tray icon, where the desktop has a tray.
bool sendsToTray(const MainForm& form)
{
    return form.window.hasTray() && isOn(form.ini, sendToTray);
}

} // namespace

MainWindowController::MainWindowController(MainForm& form)
    : m_form(form)
{
}

void MainWindowController::changed(Control control)
{
    // A destination that the user names anew is a new destination, wherever its disk is.
    if (control == Control::DestinationFolder && !m_form.state.loading) {
        forgetDestinationDisk(m_form);
    }
    if (control == Control::SourceFolder || control == Control::DestinationFolder) {
        CheckFolders(m_form);
    }
}

void MainWindowController::clicked(Control control)
{
    switch (control) {
    case Control::StartStop:
        // Only a user's Start takes the destination's disk as it is now, which may be another on purpose; a
        // start by the program (/s, the console program) must never take the disk under an unmounted one.
        if (!m_form.state.running && !m_form.state.cancelShown) {
            forgetDestinationDisk(m_form);
        }
        StartStop_Click(m_form);
        closeIfRunEnded();
        break;
    case Control::Quit:
    case Control::TrayQuit: // unlike the button, usable during a run: it closes as the close box does
        Quit_Click(m_form);
        break;
    case Control::TrayShow:
        m_form.window.bringToFront();
        logSeen(m_form);
        break;
    case Control::OpenLogFile:
        openLogFile(m_form);
        break;
    case Control::Settings:
        Settings_Click(m_form);
        break;
    case Control::BrowseSource:
        BrowseSource_Click(m_form);
        break;
    case Control::BrowseDestination:
        BrowseDestination_Click(m_form);
        break;
    case Control::ShowLog:
        if (m_form.window.value(Control::ShowLog) != 0) {
            ShowLogPane(m_form.window);
            logSeen(m_form);
        } else {
            HideLogPane(m_form.window);
        }
        break;
    default:
        break;
    }
}

void MainWindowController::validate(Control control)
{
    if (control == Control::Interval) {
        Interval_Validate(m_form);
    }
}

void MainWindowController::timerTicked()
{
    Timer_Tick(m_form);
    closeIfRunEnded();
}

bool MainWindowController::filesArrived()
{
    const bool taken = FilesArrived(m_form);
    closeIfRunEnded();
    return taken;
}

void MainWindowController::mouseMoved(Control control, int buttons, double x, double y)
{
    if (control == Control::Log) {
        Log_MouseMove(m_form.window, buttons, x, y);
    }
}

void MainWindowController::resized()
{
    if (m_form.window.isMinimized() && sendsToTray(m_form)) {
        m_form.window.hideToTray();
        return;
    }
    Form_Resize(m_form);
    logSeen(m_form);
}

void MainWindowController::activated()
{
    recheckFolders(m_form);
}

void MainWindowController::shown()
{
    Form_Shown(m_form);
    closeIfRunEnded();
}

bool MainWindowController::closeRequested()
{
    if (sendsToTray(m_form) && !m_form.state.closeRequested) {
        m_form.window.hideToTray();
        return false;
    }
    return carrovex::closeRequested(m_form);
}

bool MainWindowController::sessionEnding()
{
    return carrovex::sessionEnding(m_form); // also from the tray: the session takes the tray with it
}

void MainWindowController::closeIfRunEnded()
{
    if (m_form.state.closeRequested && !m_form.state.runInProgress) {
        m_form.state.closeRequested = false;
        finishClosing(m_form);
    }
}

} // namespace carrovex
