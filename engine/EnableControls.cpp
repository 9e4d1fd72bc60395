#include "engine/EnableControls.h"

#include "form/Captions.h"
#include "form/MainForm.h"
#include "platform/MainWindow.h"

namespace carrovex
{

void EnableControls(MainForm& form, bool enable, const std::string& countWord, const std::string& countText)
{
    MainWindow& window = form.window;
    for (const Control control : {Control::SourceFolder,
             Control::DestinationFolder,
             Control::BrowseSource,
             Control::BrowseDestination,
             Control::Quit}) {
        window.setEnabled(control, enable);
    }
    const LanguageTexts& texts = form.texts;
    window.setText(Control::StartStop, !enable ? texts[32] : form.state.running ? texts[11] : texts[12]);
    form.state.cancelShown = !enable;
    // A run starts only while Start is usable, and the folder check cannot run while the fields are
    // locked: the button a Cancel click put to rest is usable again.
    window.setEnabled(Control::StartStop, true);
    for (const Control control : {Control::Interval, Control::ShowLog, Control::Overwrite}) {
        window.setEnabled(control, enable);
    }
    if (!enable) {
        form.run.moving = window.value(Control::Move) != 0;
        form.run.fileCount = countText;
        form.run.fileWord = countWord;
        showState(form);
    }
}

} // namespace carrovex
