// The log as a run fills it: a million files' lines through the Qt window on the offscreen platform, in the
// order of a transfer run (placeholder, progress line, outcome, the last line selected, events let run
// twice per file). Prints the lines per second, the longest time the window could not answer (the longest
// gap between two ticks of a 1 ms timer) and the program's resident memory with the log at its cap.
#include "platform/qt/QtMainWindow.h"
#include "window/MainWindowDesign.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

using namespace carrovex;

namespace
{

constexpr int files = 1'000'000;

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

void selectLast(MainWindow& window)
{
    window.selectLine(window.lineCount() - 1);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    qt::QtMainWindow window;
    applyDesign(window);
    window.show();

    QElapsedTimer clock;
    qint64 lastTick = -1;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (lastTick >= 0) {
            longestGap = std::max(longestGap, now - lastTick);
        }
        lastTick = now;
    });
    probe.start();
    clock.start();

    for (int file = 0; file < files; ++file) {
        const std::string name = "Bericht " + std::to_string(file) + ".pdf";
        selectLast(window);
        window.processEvents();
        window.appendLine("Do Action");
        selectLast(window);
        window.removeLastLine();
        window.appendLine("Kopiere: " + name);
        selectLast(window);
        window.processEvents();
        window.removeLastLine();
        window.appendLine("07.12.2026 14:03:12 - Kopiert: " + name);
    }
    selectLast(window);
    window.processEvents();
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

    const double linesPerSecond = files / seconds;
    const double longestPauseMs = static_cast<double>(longestGap) / 1e6;
    const double residentMiB = static_cast<double>(residentKiB()) / 1024;
    std::printf("%d lines in %.2f s, the log holding %d at the end\n", files, seconds, window.lineCount());
    std::printf("| measure | figure | goal |\n|---|---|---|\n");
    std::printf("| lines per second | %.0f | at least 100,000 %s |\n",
        linesPerSecond,
        linesPerSecond >= 100'000 ? "met" : "MISSED");
    std::printf("| longest pause of the window | %.1f ms | at most 50 ms %s |\n",
        longestPauseMs,
        longestPauseMs <= 50 ? "met" : "MISSED");
    std::printf("| resident memory at the cap | %.1f MiB | at most 64 MiB %s |\n",
        residentMiB,
        residentMiB <= 64 ? "met" : "MISSED");
    return 0;
}
