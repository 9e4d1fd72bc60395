#include "platform/win32/LogListBox.h"

#include <algorithm>

namespace carrovex::win32
{

namespace
{

const std::wstring noLine;

} // namespace

LogListBox::LogListBox(HWND parent, int id)
    : m_list(::CreateWindowExW(WS_EX_CLIENTEDGE,
        L"LISTBOX",
        L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_NODATA
            | LBS_OWNERDRAWFIXED,
        0,
        0,
        0,
        0,
        parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        ::GetModuleHandleW(nullptr),
        nullptr))
{
}

HWND LogListBox::handle() const
{
    return m_list;
}

void LogListBox::append(const std::wstring& line)
{
    if (m_lines.size() >= capacity) {
        m_lines.pop_front();
        ++m_droppedSinceUpdate;
        if (m_selected >= 0) {
            --m_selected;
        }
    }
    m_lines.push_back(line);
    m_changed = true;
}

void LogListBox::removeLast()
{
    if (m_lines.empty()) {
        return;
    }
    m_lines.pop_back();
    if (m_selected >= count()) {
        m_selected = -1;
    }
    m_changed = true;
}

int LogListBox::count() const
{
    return static_cast<int>(m_lines.size());
}

const std::wstring& LogListBox::line(int index) const
{
    return index >= 0 && index < count() ? m_lines[static_cast<std::size_t>(index)] : noLine;
}

void LogListBox::select(int index)
{
    m_selected = index >= 0 && index < count() ? index : -1;
    m_changed = true;
}

int LogListBox::lineAt(int x, int y)
{
    update();
    const LRESULT found = ::SendMessageW(m_list, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    const int index = LOWORD(found);
    // The high word is set when the point lies on no line: below the last one, or outside the list.
    return HIWORD(found) != 0 || x < 0 || y < 0 || index >= count() ? -1 : index;
}

void LogListBox::update()
{
    if (!m_changed) {
        return;
    }
    // Lines dropped at the front move the lines in view up; the view keeps showing the same ones.
    const auto top = static_cast<int>(::SendMessageW(m_list, LB_GETTOPINDEX, 0, 0));
    ::SendMessageW(m_list, LB_SETCOUNT, static_cast<WPARAM>(count()), 0);
    if (m_droppedSinceUpdate > 0) {
        ::SendMessageW(m_list, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, top - m_droppedSinceUpdate)), 0);
    }
    ::SendMessageW(m_list, LB_SETCURSEL, static_cast<WPARAM>(m_selected), 0);
    ::InvalidateRect(m_list, nullptr, FALSE);
    m_droppedSinceUpdate = 0;
    m_changed = false;
}

UINT LogListBox::lineHeight(HFONT font)
{
    const HDC dc = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, font);
    TEXTMETRICW metrics {};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    return static_cast<UINT>(metrics.tmHeight + 2);
}

void LogListBox::draw(const DRAWITEMSTRUCT& item) const
{
    if (item.itemID == static_cast<UINT>(-1)) {
        return; // an empty list with the focus
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left += 2;
    const std::wstring& shown = line(static_cast<int>(item.itemID));
    ::DrawTextW(item.hDC,
        shown.c_str(),
        static_cast<int>(shown.size()),
        &text,
        DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) {
        ::DrawFocusRect(item.hDC, &item.rcItem);
    }
}

} // namespace carrovex::win32
