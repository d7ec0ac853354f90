#include "run/eventpump.h"

#include <QCoreApplication>

void ProcessPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
