#pragma once

#include "platform/MainWindow.h"
#include "platform/OptionsDialog.h"
#include "platform/win32/DialogWindow.h"
#include "platform/win32/TwipsPlacement.h"

#include <map>
#include <memory>
#include <optional>

namespace carrovex::win32
{

// The options dialog on native controls: fixed size, white, designed in twips, modal to the main window
// only. Escape does not close it: it has no cancel button in that sense; its close box closes it without
// saving.
class Win32OptionsDialog final : public DialogWindow, public OptionsDialog
{
public:
    // Makes the dialog, not shown yet, owned by the main window.
    explicit Win32OptionsDialog(HWND owner);
    ~Win32OptionsDialog() override;

    // Gives the dialog its logic, which loads it, and shows it centred over the owner, which takes no input
    // until the dialog is closed; returns at once.
    void open(const MainWindow::DialogLogicFactory& makeLogic);
    bool isOpen() const;
    HWND control(DialogControl control) const;

    void setTitle(const std::string& title) override;
    std::string text(DialogControl control) const override;
    void setText(DialogControl control, const std::string& text) override;
    int value(DialogControl control) const override;
    void setValue(DialogControl control, int value) override;
    void setEnabled(DialogControl control, bool enabled) override;
    void addItem(DialogControl control, int position, const std::string& text) override;
    void setFocus(DialogControl control) override;
    void showMessage(const std::string& text, const std::string& title) override;
    void close() override;

private:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void createControls();
    HWND windowOf(DialogControl control) const;
    void relayout();
    void centreOverOwner();

    HWND m_owner;
    std::unique_ptr<OptionsDialogEvents> m_logic;
    std::map<DialogControl, HWND> m_controls;
    std::optional<DialogControl> m_focus; // taken when the dialog shows
    TwipsPlacement m_placement;
    HFONT m_font = nullptr;
    UINT m_dpi = 96;
    bool m_open = false;
};

} // namespace carrovex::win32
