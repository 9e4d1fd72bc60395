#pragma once

#include <string>

class QWidget;

namespace carrovex::qt
{

// The text of a field, combo box, label or button, and its value as a check box or option (0 or 1). The
// text of a combo box that is a pick list is its chosen entry; setting it chooses the entry with that text.
std::string widgetText(const QWidget* widget);
// Returns true when the text is a caption, which the layout must make room for.
bool setWidgetText(QWidget* widget, const std::string& text);
int widgetValue(const QWidget* widget);
void setWidgetValue(QWidget* widget, int value);
// Adds an entry to a combo box's list, leaving the text in its field, or the entry chosen, as it is.
void insertListItem(QWidget* widget, int position, const std::string& text);

} // namespace carrovex::qt
