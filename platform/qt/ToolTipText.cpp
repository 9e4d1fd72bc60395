#include "platform/qt/ToolTipText.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QToolTip>
#include <algorithm>

namespace carrovex::qt
{

namespace
{

constexpr int narrowestTip = 300;

} // namespace

QString wrappedToWidth(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    QString line;
    const auto fits = [&](const QString& candidate) { return metrics.horizontalAdvance(candidate) <= width; };
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) {
            lines.append(line);
        }
        line = word;
        // A word too wide for a line of its own is cut where the line is full, never inside a character.
        while (!fits(line) && line.size() > 1) {
            qsizetype fitting = 1;
            qsizetype tooWide = line.size();
            while (tooWide - fitting > 1) {
                const qsizetype middle = (fitting + tooWide) / 2;
                (fits(line.left(middle)) ? fitting : tooWide) = middle;
            }
            if (fitting > 1 && line.at(fitting - 1).isHighSurrogate()) {
                --fitting;
            }
            lines.append(line.left(fitting));
            line = line.mid(fitting);
        }
    }
    lines.append(line);
    return lines.join(QLatin1Char('\n'));
}

QString toolTipForScreen(const QString& text, QPoint at)
{
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    const int width = screen != nullptr ? screen->availableGeometry().width() / 2 : 600;
    return wrappedToWidth(text, QFontMetrics(QToolTip::font()), std::max(width, narrowestTip));
}

} // namespace carrovex::qt
