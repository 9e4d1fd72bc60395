#include "window/FolderPicker.h"

#include "platform/MainWindow.h"
#include "schedule/RunScheduler.h"
#include "window/MainForm.h"

namespace carrovex
{

namespace
{

void chooseFolder(MainForm& form, int captionKey, Control field)
{
    const std::string folder = form.window.browseFolder(form.sTexts[static_cast<std::size_t>(captionKey)] + ":");
    if (!folder.empty()) {
        form.window.setText(field, folder);
    }
    CheckFolders(form);
}

} // namespace

void cmdFrom_Click(MainForm& form)
{
    chooseFolder(form, 0, Control::Text1);
}

void cmdTo_Click(MainForm& form)
{
    chooseFolder(form, 1, Control::Text2);
}

} // namespace carrovex
