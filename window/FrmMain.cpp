#include "window/FrmMain.h"

#include "platform/MainWindow.h"
#include "schedule/IntervalChoices.h"
#include "schedule/RunScheduler.h"
#include "settings/DlgOptionen.h"
#include "window/FolderPicker.h"
#include "window/LogPane.h"
#include "window/LogTooltip.h"
#include "window/MainForm.h"
#include "window/StartupShutdown.h"

namespace carrovex
{

FrmMain::FrmMain(MainForm& form)
    : m_form(form)
{
}

void FrmMain::changed(Control control)
{
    if (control == Control::Text1 || control == Control::Text2) {
        CheckFolders(m_form);
    }
}

void FrmMain::clicked(Control control)
{
    switch (control) {
    case Control::cmdStopStart:
        cmdStopStart_Click(m_form);
        closeIfRunEnded();
        break;
    case Control::cmdQuit:
        cmdQuit_Click(m_form);
        break;
    case Control::cmdOpt:
        cmdOpt_Click(m_form);
        break;
    case Control::cmdFrom:
        cmdFrom_Click(m_form);
        break;
    case Control::cmdTo:
        cmdTo_Click(m_form);
        break;
    case Control::Check1:
        if (m_form.window.value(Control::Check1) != 0) {
            ShowLogPane(m_form.window);
        } else {
            HideLogPane(m_form.window);
        }
        break;
    default:
        break;
    }
}

void FrmMain::validate(Control control)
{
    if (control == Control::Combo1) {
        Combo1_Validate(m_form);
    }
}

void FrmMain::timerTicked()
{
    Timer1_Timer(m_form);
    closeIfRunEnded();
}

void FrmMain::mouseMoved(Control control, int buttons, double x, double y)
{
    if (control == Control::List1) {
        List1_MouseMove(m_form.window, buttons, x, y);
    }
}

void FrmMain::resized()
{
    Form_Resize(m_form);
}

bool FrmMain::closeRequested()
{
    return carrovex::closeRequested(m_form);
}

void FrmMain::closeIfRunEnded()
{
    if (m_form.state.closeRequested && !m_form.state.runInProgress) {
        m_form.state.closeRequested = false;
        finishClosing(m_form);
    }
}

} // namespace carrovex
