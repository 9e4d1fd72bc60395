#include "platform/win32/TwipsPlacement.h"

#include "platform/common/TwipsScale.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace carrovex::win32
{

namespace
{

constexpr double twipsPerInch = 1440.0;

struct Size {
    int width = 0;
    int height = 0;
};

Size textSize(HDC dc, HWND control)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    // The measure of an empty text is one line's height.
    RECT bounds {0, 0, 0, 0};
    ::DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE);
    return {text.empty() ? 0 : bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// The room a control needs in pixels, with the margins the common controls draw around their text.
Size neededSize(HDC dc, HWND control, TwipsPlacement::Kind kind, UINT dpi)
{
    const auto scaled = [dpi](int pixelsAt96) { return ::MulDiv(pixelsAt96, static_cast<int>(dpi), 96); };
    const Size text = textSize(dc, control);
    switch (kind) {
    case TwipsPlacement::Kind::Label:
        return {text.width + scaled(2), text.height};
    case TwipsPlacement::Kind::Button:
        return {text.width + scaled(12), text.height + scaled(6)};
    case TwipsPlacement::Kind::Choice: {
        const int box = ::GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi);
        return {box + scaled(6) + text.width, std::max(box, text.height)};
    }
    case TwipsPlacement::Kind::Field:
        return {0, text.height + scaled(6)};
    case TwipsPlacement::Kind::Area:
        break;
    }
    return {};
}

} // namespace

void TwipsPlacement::add(HWND control, Twips twips, Kind kind, bool wholeText)
{
    m_items.push_back({control, twips, kind, wholeText});
}

void TwipsPlacement::setTop(HWND control, int twips)
{
    for (Item& item : m_items) {
        if (item.control == control) {
            item.twips.top = twips;
        }
    }
}

void TwipsPlacement::apply(HFONT font, UINT dpi)
{
    std::vector<ControlFit> fits;
    const HDC dc = ::GetDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, font);
    for (const Item& item : m_items) {
        const Size needed = neededSize(dc, item.control, item.kind, dpi);
        fits.push_back({item.twips.width, item.twips.height, needed.width, needed.height, item.wholeText});
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);

    m_scale = twipsScale(dpi / twipsPerInch, fits);
    for (const Item& item : m_items) {
        int height = pixels(item.twips.height);
        // A drop-down combo box's height includes its list; the field itself is as high as the font makes it.
        wchar_t className[16] = L"";
        ::GetClassNameW(item.control, className, static_cast<int>(std::size(className)));
        if (std::wstring(className) == L"ComboBox") {
            height = pixels(item.twips.height) * 8;
        }
        ::SendMessageW(item.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SetWindowPos(item.control,
            nullptr,
            pixels(item.twips.left),
            pixels(item.twips.top),
            pixels(item.twips.width),
            height,
            SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

double TwipsPlacement::scale() const
{
    return m_scale;
}

int TwipsPlacement::pixels(int twips) const
{
    return static_cast<int>(std::lround(twips * m_scale));
}

HFONT createDialogFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    }
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

} // namespace carrovex::win32
