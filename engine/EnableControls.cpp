#include "engine/EnableControls.h"

#include "platform/MainWindow.h"
#include "window/Captions.h"
#include "window/MainForm.h"

namespace carrovex
{

void EnableControls(MainForm& form, bool enable, const std::string& countWord, const std::string& countText)
{
    MainWindow& window = form.window;
    for (const Control control : {Control::Text1, Control::Text2, Control::cmdFrom, Control::cmdTo, Control::cmdQuit}) {
        window.setEnabled(control, enable);
    }
    const LanguageTexts& texts = form.sTexts;
    window.setText(Control::cmdStopStart, !enable ? texts[32] : form.state.bRunning ? texts[11] : texts[12]);
    form.state.cancelShown = !enable;
    for (const Control control : {Control::Combo1, Control::Check1, Control::Check2}) {
        window.setEnabled(control, enable);
    }
    if (!enable) {
        window.setCaption(runCaption(texts, window.value(Control::Option1_0) != 0, countText, countWord));
    }
}

} // namespace carrovex
