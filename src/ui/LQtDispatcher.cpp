#include "ui/LQtDispatcher.h"

void LQtDispatcher::Post(std::function<void()> call)
{
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}
