#include "platform/win32/Win32OptionsDialog.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"

namespace carrovex::win32
{

namespace
{

constexpr int firstControlId = 1000;
constexpr DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD dialogExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// The client area in twips; the controls lie on a panel at (30, -30) in it.
constexpr int clientWidth = 3810;
constexpr int clientHeight = 3405;
constexpr int panelLeft = 30;
constexpr int panelTop = -30;

using Kind = TwipsPlacement::Kind;

struct Design {
    DialogControl control;
    const wchar_t* windowClass;
    DWORD style;
    TwipsPlacement::Twips twips;
    Kind kind;
};

constexpr DWORD child = WS_CHILD | WS_VISIBLE;
// The design lets the labels overlap the fields below them by a twip or two: a label must not paint over
// the field's frame.
constexpr DWORD label = child | SS_LEFT | WS_CLIPSIBLINGS;
constexpr DWORD checkBox = child | WS_TABSTOP | BS_AUTOCHECKBOX;

// In the focus order.
const Design designs[] = {
    {DialogControl::SaveOnClose, L"BUTTON", checkBox | WS_GROUP, {120, 930, 3585, 195}, Kind::Choice},
    {DialogControl::AskBeforeSaving, L"BUTTON", checkBox, {120, 1200, 3585, 195}, Kind::Choice},
    {DialogControl::RunOnStart, L"BUTTON", checkBox, {120, 1470, 3585, 195}, Kind::Choice},
    {DialogControl::SendToTray, L"BUTTON", checkBox, {120, 1740, 3585, 195}, Kind::Choice},
    {DialogControl::AnyDestinationDisk, L"BUTTON", checkBox, {120, 2010, 3585, 195}, Kind::Choice},
    {DialogControl::RunOnArrival, L"BUTTON", checkBox, {120, 2280, 3585, 195}, Kind::Choice},
    {DialogControl::KeepBoth, L"BUTTON", checkBox, {120, 2550, 3585, 195}, Kind::Choice},
    {DialogControl::About, L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, {120, 2940, 1095, 315}, Kind::Button},
    {DialogControl::Cancel, L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, {1290, 2940, 1140, 315}, Kind::Button},
    {DialogControl::Save, L"BUTTON", child | WS_TABSTOP | BS_DEFPUSHBUTTON, {2505, 2940, 1140, 315}, Kind::Button},
    {DialogControl::Language,
        L"COMBOBOX",
        child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
        {120, 420, 3525, 315},
        Kind::Field},
    {DialogControl::LanguageLabel, L"STATIC", label, {120, 180, 3555, 225}, Kind::Label},
};

int idOf(DialogControl control)
{
    return firstControlId + static_cast<int>(control);
}

HBRUSH whiteBrush()
{
    return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
}

} // namespace

Win32OptionsDialog::Win32OptionsDialog(HWND owner)
    : m_owner(owner)
{
    createModeless(owner, dialogStyle, dialogExtendedStyle);
}

Win32OptionsDialog::~Win32OptionsDialog()
{
    close();
    ::DeleteObject(m_font);
}

void Win32OptionsDialog::open(const MainWindow::DialogLogicFactory& makeLogic)
{
    m_open = true;
    m_logic = makeLogic(*this);
    m_logic->load();
    if (!m_open) {
        return; // the logic closed it at once
    }
    relayout();
    centreOverOwner();
    ::EnableWindow(m_owner, FALSE);
    ::ShowWindow(m_window, SW_SHOW);
    ::SetForegroundWindow(m_window);
    // The dialog takes the keys at once, without a click into it first.
    if (m_focus) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(windowOf(*m_focus)), TRUE);
    }
}

bool Win32OptionsDialog::isOpen() const
{
    return m_open;
}

HWND Win32OptionsDialog::control(DialogControl control) const
{
    return windowOf(control);
}

HWND Win32OptionsDialog::windowOf(DialogControl control) const
{
    return windowIn(m_controls, control);
}

void Win32OptionsDialog::createControls()
{
    for (const Design& design : designs) {
        const HWND control = ::CreateWindowExW(0,
            design.windowClass,
            L"",
            design.style,
            0,
            0,
            0,
            0,
            m_window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(idOf(design.control))),
            ::GetModuleHandleW(nullptr),
            nullptr);
        m_controls[design.control] = control;
        TwipsPlacement::Twips twips = design.twips;
        twips.left += panelLeft;
        twips.top += panelTop;
        m_placement.add(control, twips, design.kind, design.kind != Kind::Field);
    }
    ::SendMessageW(m_window, DM_SETDEFID, idOf(DialogControl::Save), 0);
    const HICON icon
        = reinterpret_cast<HICON>(::SendMessageW(::GetWindow(m_window, GW_OWNER), WM_GETICON, ICON_SMALL, 0));
    if (icon != nullptr) {
        ::SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

void Win32OptionsDialog::relayout()
{
    m_placement.apply(m_font, m_dpi);
    RECT frame {0, 0, m_placement.pixels(clientWidth), m_placement.pixels(clientHeight)};
    ::AdjustWindowRectExForDpi(&frame, dialogStyle, FALSE, dialogExtendedStyle, m_dpi);
    ::SetWindowPos(m_window,
        nullptr,
        0,
        0,
        frame.right - frame.left,
        frame.bottom - frame.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32OptionsDialog::centreOverOwner()
{
    RECT owner {};
    RECT dialog {};
    ::GetWindowRect(::GetWindow(m_window, GW_OWNER), &owner);
    ::GetWindowRect(m_window, &dialog);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    ::SetWindowPos(m_window,
        nullptr,
        owner.left + (owner.right - owner.left - width) / 2,
        owner.top + (owner.bottom - owner.top - height) / 2,
        0,
        0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32OptionsDialog::onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        m_dpi = ::GetDpiForWindow(m_window);
        m_font = createDialogFont(m_dpi);
        createControls();
        relayout();
        result = FALSE; // the focus is given when the dialog is shown
        return true;
    case WM_DESTROY:
        // Also when the main window goes first and takes its dialog with it.
        m_open = false;
        ::EnableWindow(m_owner, TRUE);
        return true;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id < firstControlId || HIWORD(wParam) != BN_CLICKED || !m_logic) {
            return true; // Escape (IDCANCEL) closes nothing
        }
        const auto control = static_cast<DialogControl>(id - firstControlId);
        if (control == DialogControl::Save || control == DialogControl::Cancel || control == DialogControl::About
            || control == DialogControl::AskBeforeSaving) {
            m_logic->clicked(control);
        }
        return true;
    }
    case WM_CLOSE:
        close();
        return true;
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<LRESULT>(whiteBrush());
        return true;
    case WM_CTLCOLORSTATIC:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        result = reinterpret_cast<LRESULT>(whiteBrush());
        return true;
    default:
        return false;
    }
}

void Win32OptionsDialog::setTitle(const std::string& title)
{
    setWindowText(m_window, title);
}

std::string Win32OptionsDialog::text(DialogControl control) const
{
    return windowText(windowOf(control));
}

void Win32OptionsDialog::setText(DialogControl control, const std::string& text)
{
    if (control == DialogControl::Language) {
        // A pick list: the entry with exactly that text is chosen, or none.
        const HWND list = windowOf(control);
        const auto count = static_cast<int>(::SendMessageW(list, CB_GETCOUNT, 0, 0));
        int chosen = -1;
        for (int index = 0; index < count && chosen < 0; ++index) {
            if (comboBoxText(list, index) == text) {
                chosen = index;
            }
        }
        ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
        return;
    }
    if (windowText(windowOf(control)) == text) {
        return;
    }
    setWindowText(windowOf(control), text);
    relayout();
}

int Win32OptionsDialog::value(DialogControl control) const
{
    return ::SendMessageW(windowOf(control), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32OptionsDialog::setValue(DialogControl control, int value)
{
    const int checked = value != 0 ? 1 : 0;
    if (Win32OptionsDialog::value(control) == checked) {
        return;
    }
    ::SendMessageW(windowOf(control), BM_SETCHECK, checked != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    // Set by the logic, the question's check box raises its click, as the user's click does.
    if (control == DialogControl::AskBeforeSaving && m_logic) {
        m_logic->clicked(control);
    }
}

void Win32OptionsDialog::setEnabled(DialogControl control, bool enabled)
{
    ::EnableWindow(windowOf(control), enabled ? TRUE : FALSE);
}

void Win32OptionsDialog::addItem(DialogControl control, int position, const std::string& text)
{
    ::SendMessageW(windowOf(control),
        CB_INSERTSTRING,
        static_cast<WPARAM>(position),
        reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void Win32OptionsDialog::setFocus(DialogControl control)
{
    m_focus = control;
    if (::IsWindowVisible(m_window)) {
        ::SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(windowOf(control)), TRUE);
    }
}

void Win32OptionsDialog::showMessage(const std::string& text, const std::string& title)
{
    ::MessageBoxW(m_window, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_ICONINFORMATION);
}

// The owner takes input again before the dialog goes, so that it gets the focus back.
void Win32OptionsDialog::close()
{
    if (m_window != nullptr && ::IsWindow(m_window)) {
        ::EnableWindow(m_owner, TRUE);
        ::DestroyWindow(m_window);
    }
    m_open = false;
}

} // namespace carrovex::win32
