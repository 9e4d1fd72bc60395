#pragma once

#include <QPoint>
#include <QString>

class QFontMetrics;

namespace carrovex::qt
{

// The text broken into lines no wider than the width in pixels: at blanks where it has them, elsewhere
// where a word alone is too wide (a long file name), so that nothing is lost.
QString wrappedToWidth(const QString& text, const QFontMetrics& metrics, int width);

// A tooltip text that fits the screen at the point: no line wider than half of that screen.
QString toolTipForScreen(const QString& text, QPoint at);

} // namespace carrovex::qt
