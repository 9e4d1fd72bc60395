#pragma once

#include <QRect>
#include <vector>

class QWidget;

namespace carrovex::qt
{

// Places widgets designed in twips. One scale (pixels per twip) serves a whole window, so its proportions
// stay as designed; it is the display's own (15 twips per pixel at 96 dpi) unless the system's font needs
// more room, in which case everything grows until every text fits.
class TwipsLayout
{
public:
    struct Item {
        QWidget* widget;
        QRect twips;
        bool showsText; // its whole text must be visible
    };

    void add(QWidget* widget, QRect twips, bool showsText);
    void setTop(QWidget* widget, int twips);
    void setHeight(QWidget* widget, int twips);
    // Computes the scale for the texts the widgets hold now and places them.
    double apply();
    double scale() const;
    int pixels(int twips) const;

private:
    std::vector<Item> m_items;
    double m_scale = 1.0 / 15;
};

// Where a window of this size goes when it is first shown: centred on the available area of the screen, but
// never above or left of it, so that a window larger than a small screen (at a scale of 2) keeps its title
// bar on the screen.
QPoint firstPosition(const QRect& available, const QSize& outer);

} // namespace carrovex::qt
