#include "gui/eventpump.h"

#include <QCoreApplication>

void ProcessPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
