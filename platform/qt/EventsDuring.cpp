#include "platform/qt/EventsDuring.h"

#include <QEventLoop>
#include <future>

namespace carrovex::qt
{

void runEventsDuring(const std::function<void()>& work)
{
    QEventLoop waiting;
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
