#pragma once

#include <vector>
#include <windows.h>

namespace carrovex::win32
{

// Places the controls of a window designed in twips. One scale serves the whole window (see
// TwipsScale.h): the monitor's dots per inch, grown until every text fits in the window's font.
class TwipsPlacement
{
public:
    // What a control needs room for.
    enum class Kind {
        Label, // its text
        Button, // its text with a button's margins
        Choice, // a check box or option: the box and its text
        Field, // one line of text in a frame: only its height counts
        Area, // a list: it takes the room it is given
    };

    struct Twips {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    void add(HWND control, Twips twips, Kind kind, bool wholeText = true);
    void setTop(HWND control, int twips);
    // Measures the texts in the font, computes the scale and places every control.
    void apply(HFONT font, UINT dpi);

    double scale() const;
    int pixels(int twips) const;

private:
    struct Item {
        HWND control;
        Twips twips;
        Kind kind;
        bool wholeText;
    };

    std::vector<Item> m_items;
    double m_scale = 1.0 / 15;
};

// The system's font for messages and dialogs at the dots per inch; the caller deletes it.
HFONT createDialogFont(UINT dpi);

} // namespace carrovex::win32
