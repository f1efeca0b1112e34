#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// While it lives, answers every modal window that opens, from inside the event loop the window
// runs: first through the test's own answer, which returns true when it dealt with the window;
// a message box it leaves is accepted and recorded as "title|text". An answer must not open a
// modal window of its own.
class ModalAnswerer : public QObject {
public:
    using Answer = std::function<bool(QWidget* modal)>;

    explicit ModalAnswerer(Answer answer = {});

    const QStringList& messages() const { return m_messages; }

private:
    void answerOpenWindow();

    Answer m_answer;
    QStringList m_messages;
    QTimer m_watch;
};
