#include "platform/qt/EventsDuring.h"

#include <QEventLoop>
#include <QTimer>
#include <future>

namespace carrovex::qt
{

void runEventsDuring(const std::function<void()>& work, const std::function<void()>& everySecond)
{
    QEventLoop waiting;
    QTimer second;
    if (everySecond) {
        QObject::connect(&second, &QTimer::timeout, &waiting, everySecond);
        second.start(1000);
    }
    auto done = std::async(std::launch::async, [&] {
        struct QuitWhenDone {
            QEventLoop& loop;
            ~QuitWhenDone()
            {
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            }
        } quit {waiting};
        work();
    });
    waiting.exec();
    done.get();
}

} // namespace carrovex::qt
