#include "frmSCR.h"

#include "HelpViewer.h"
#include "InputGrab.h"
#include "ProgramArt.h"
#include "SaverModule.h"
#include "SlideStage.h"
#include "StringTable.h"
#include "frmpassword.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

frmSCR::frmSCR(SaverModule& module, SettingsStore& store, RandomSource& random,
               const QString& currentDirectory, QSize screen, Input input, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_module(module),
      m_session(module, store),
      m_stage(new SlideStage(module.settings, module.CurrentIndex, random, screen, this)),
      m_input(input) {
    setObjectName("frmSCR");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stage);
    resize(screen);
    if (m_input == Input::Taken) {
        for (QWidget* watched : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_stage),
                                 m_stage->findChild<QWidget*>("Slide")}) {
            watched->setMouseTracking(true);
            watched->installEventFilter(this);
        }
    }

    // Load. A folder that cannot be listed ends it here: black, no timer, the pointer seen. The
    // settings are loaded either way, and a protected saver holds the input whatever it shows.
    const bool listed = m_session.load(currentDirectory, random);
    if (isProtected())
        m_grab = std::make_unique<InputGrab>(*this);
    if (!listed)
        return;
    const Settings& s = m_module.settings;
    m_stage->setList(m_session.entries(), m_module.FileCount, s.ImagePath);
    m_stage->show().startTimer(true);
    m_helpTopic = s.LanguageOffset + kHelpScreenSaver;
    const QCursor hidden = ProgramArt::cursor(ProgramArt::kCursorHidden);
    setCursor(hidden);
    m_stage->setPointer(hidden);
    m_stage->show().DiapoZ(u"N");
}

frmSCR::~frmSCR() = default;

bool frmSCR::isProtected() const {
    return m_input == Input::Taken && m_module.settings.ImageProtect == 1;
}

void frmSCR::EndSaver() {
    if (m_prompting)
        return; // the prompt already open decides
    m_session.resetActivity();
    m_module.PasswordAccepted = true;
    if (m_module.settings.ImageProtect == 1)
        m_module.PasswordAccepted = askPassword();
    if (!m_module.PasswordAccepted)
        return; // the show goes on
    endNow();
}

void frmSCR::endNow() {
    m_leaving = true;
    close();
}

bool frmSCR::askPassword() {
    frmpassword prompt(m_module.settings.ProtectPassword, m_module.settings.LanguageOffset,
                       m_module.screen, this);
    // The prompt takes the grab over while it is open, and gives it back.
    const QScopedValueRollback prompting(m_prompting, true);
    std::optional<InputGrab> promptGrab;
    if (m_grab) {
        m_grab->release();
        promptGrab.emplace(prompt);
    }
    const bool accepted = prompt.exec() == QDialog::Accepted;
    promptGrab.reset();
    if (m_grab)
        m_grab->take();
    return accepted;
}

void frmSCR::judge(SaverSession::Verdict verdict) {
    if (verdict == SaverSession::Verdict::EndSaver)
        EndSaver();
}

void frmSCR::keyPressEvent(QKeyEvent* event) {
    if (m_input == Input::Left)
        return;
    if (event->key() == Qt::Key_F1 && !m_grab) {
        HelpViewer::showTopic(m_helpTopic, this);
        return;
    }
    // Only keys that type a character are activity: Shift, Ctrl, the arrows and the function
    // keys alone are not.
    const QString text = event->text();
    if (text.isEmpty())
        return;
    judge(m_session.keyPressed(m_stage->show().keyPressed(text.front())));
}

bool frmSCR::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove: {
        // Moving widgets under a still pointer is no activity.
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (at == m_pointer)
            break;
        m_pointer = at;
        judge(m_session.mouseEvent());
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        judge(m_session.mouseEvent());
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSCR::closeEvent(QCloseEvent* event) {
    // A close request from the window manager (Alt+F4, a task bar) is one more way out: behind
    // protection it is refused and asks for the password instead.
    if (isProtected() && !m_leaving) {
        event->ignore();
        QTimer::singleShot(0, this, &frmSCR::EndSaver);
        return;
    }
    m_grab.reset();
    m_session.unload();
    QWidget::closeEvent(event);
    emit ended();
}

void frmSCR::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_stage->setScreenSize(event->size());
}
