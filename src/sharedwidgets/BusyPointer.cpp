#include "BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

void BusyPointer::show(bool busy) {
    if (busy == m_shown)
        return;
    m_shown = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(m_shape));
    else
        QGuiApplication::restoreOverrideCursor();
}
