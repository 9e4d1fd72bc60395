#include "window/FolderPicker.h"

#include "form/MainForm.h"
#include "platform/FileSystem.h"
#include "platform/MainWindow.h"
#include "schedule/RunScheduler.h"

namespace carrovex
{

namespace
{

// The picker opens at the folder in the field where there is one, so that a neighbouring folder is near.
void chooseFolder(MainForm& form, int captionKey, Control field)
{
    const std::string current = form.window.text(field);
    const std::string folder = form.window.browseFolder(form.texts[static_cast<std::size_t>(captionKey)] + ":",
        form.files.folderExists(current) ? current : std::string());
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
