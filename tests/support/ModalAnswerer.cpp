#include "ModalAnswerer.h"

#include <QApplication>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer() {
    m_watch.setInterval(0);
    connect(&m_watch, &QTimer::timeout, this, &ModalAnswerer::answerOpenWindow);
    m_watch.start();
}

void ModalAnswerer::answerOpenWindow() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        m_messages.append(box->windowTitle() + u'|' + box->text());
        box->accept();
    }
}
