#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// While it lives, accepts every message box that opens, from inside the event loop the box
// runs, and records each as "title|text".
class ModalAnswerer : public QObject {
public:
    ModalAnswerer();

    const QStringList& messages() const { return m_messages; }

private:
    void answerOpenWindow();

    QStringList m_messages;
    QTimer m_watch;
};
