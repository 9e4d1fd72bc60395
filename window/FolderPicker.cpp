#include "window/FolderPicker.h"

#include "form/MainForm.h"
#include "platform/MainWindow.h"
#include "schedule/RunScheduler.h"

namespace carrovex
{

namespace
{

void chooseFolder(MainForm& form, int captionKey, Control field)
{
    const std::string folder = form.window.browseFolder(form.texts[static_cast<std::size_t>(captionKey)] + ":");
    if (!folder.empty()) {
        form.window.setText(field, folder);
    }
    CheckFolders(form);
}

} // namespace

void BrowseSource_Click(MainForm& form)
{
    chooseFolder(form, 0, Control::SourceFolder);
}

void BrowseDestination_Click(MainForm& form)
{
    chooseFolder(form, 1, Control::DestinationFolder);
}

} // namespace carrovex
