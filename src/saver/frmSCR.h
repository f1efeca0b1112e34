#pragma once

#include "SaverSession.h"

#include <QPoint>
#include <QWidget>
#include <memory>

class InputGrab;
class SlideStage;
struct SaverModule;

// The screen saver's window: the slide show over the folder handed over by the exchange file,
// on the whole screen or inside another program's window. Escape, or activity that the show does
// not handle, ends it, behind the password when protection is on. The settings are loaded when
// it opens and saved when it closes.
class frmSCR : public QWidget {
    Q_OBJECT

public:
    // Taken: the saver runs by itself and answers keys and mouse. Left: it draws inside a
    // screen-saver daemon's window, and the daemon handles input, locking and passwords.
    enum class Input { Taken, Left };

    frmSCR(SaverModule& module, SettingsStore& store, RandomSource& random,
           const QString& currentDirectory, QSize screen, Input input, QWidget* parent = nullptr);
    ~frmSCR() override;

    SlideStage& stage() { return *m_stage; }
    const SaverSession& session() const { return m_session; }
    int helpTopic() const { return m_helpTopic; }

    // Ends the show, after the password when protection is on; a refused password leaves it on.
    // A close request asks the same way.
    void EndSaver();
    // Ends the show without asking, as a termination signal does: any process of the same user
    // can end the saver anyway.
    void endNow();

signals:
    // The window closed and its settings were saved.
    void ended();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void judge(SaverSession::Verdict verdict);
    bool askPassword();
    // Protection is on and the saver answers input itself (not inside a daemon's window).
    bool isProtected() const;

    SaverModule& m_module;
    SaverSession m_session;
    SlideStage* m_stage;
    std::unique_ptr<InputGrab> m_grab;
    Input m_input;
    int m_helpTopic = 0;
    QPoint m_pointer{-1, -1}; // where the last mouse move left the pointer
    bool m_prompting = false; // the password prompt is open
    bool m_leaving = false;   // the show may close: the password was given, or no one asks
};
