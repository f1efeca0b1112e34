#include "ModalAnswerer.h"

#include <QApplication>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer(Answer answer) : m_answer(std::move(answer)) {
    m_watch.setInterval(0);
    connect(&m_watch, &QTimer::timeout, this, &ModalAnswerer::answerOpenWindow);
    m_watch.start();
}

void ModalAnswerer::answerOpenWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || (m_answer && m_answer(modal)))
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        m_messages.append(box->windowTitle() + u'|' + box->text());
        box->accept();
    }
}
