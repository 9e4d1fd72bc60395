#pragma once

#include <deque>
#include <string>
#include <windows.h>

namespace carrovex::win32
{

// The log: its lines kept here, shown by a list box that holds no data of its own and draws the lines it
// shows. The list box learns the new count and selection once per round of window events (update),
// not at every line, so a long run's log costs no more than a short one's: under Wine each update of a
// list box's count costs milliseconds. It keeps the newest 100,000 lines.
class LogListBox
{
public:
    static constexpr std::size_t capacity = 100'000;

    // Makes the list box in the parent; the parent passes on WM_MEASUREITEM and WM_DRAWITEM for it.
    LogListBox(HWND parent, int id);

    HWND handle() const;
    void append(const std::wstring& line);
    void removeLast();
    int count() const;
    const std::wstring& line(int index) const;
    // Selecting a line brings it into view at the next update; -1 selects none.
    void select(int index);
    // The line at a point of the list box (pixels from its top left), or -1 where there is none.
    int lineAt(int x, int y);
    // Brings the list box up to date with the lines and the selection.
    void update();

    // The parent's answers for the owner-drawn list box: the height of a line in the font (also asked
    // while the list box is being made), and the drawing of one.
    static UINT lineHeight(HFONT font);
    void draw(const DRAWITEMSTRUCT& item) const;

private:
    HWND m_list;
    std::deque<std::wstring> m_lines;
    int m_selected = -1;
    int m_droppedSinceUpdate = 0; // lines dropped at the front since the last update
    bool m_changed = false;
};

} // namespace carrovex::win32
