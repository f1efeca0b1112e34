#include "frmPantalla.h"

#include "HelpViewer.h"
#include "ProgramArt.h"
#include "StringTable.h"

#include <QKeyEvent>
#include <QVBoxLayout>

frmPantalla::frmPantalla(FullScreenRequest& request, QSize screen, RandomSource& random,
                         QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_request(request),
      m_stage(new SlideStage(request.settings, request.position, random, screen, this)),
      m_inhibitor(QStringLiteral("Slide show")) {
    setObjectName("frmPantalla");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stage);
    setGeometry(QRect(QPoint(0, 0), screen));
    setWindowState(Qt::WindowFullScreen);

    // Load: the timer runs from the start only in the slide show.
    m_helpTopic = request.settings.LanguageOffset + kHelpFullScreen;
    const QCursor cross = ProgramArt::cursor(ProgramArt::kCursorCross);
    setCursor(cross);
    m_stage->setPointer(cross);
    m_stage->setList(request.entries, static_cast<int>(request.entries.size()),
                     request.settings.CurrentFolder);
    m_stage->setWaitingPictureSource(this);
    connect(m_stage, &SlideStage::timerRunningChanged, this, [this](bool running) {
        if (running)
            m_inhibitor.inhibit();
    });
    m_stage->show().startTimer(request.slideShow);
    m_stage->show().DiapoZ(u"N");
}

frmPantalla::~frmPantalla() = default;

void frmPantalla::keyPressEvent(QKeyEvent* event) {
    SlideShow& show = m_stage->show();
    // Beside the letter keys, the keys people expect of a picture viewer.
    switch (event->key()) {
    case Qt::Key_F1:
        HelpViewer::showTopic(m_helpTopic, this);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        show.DiapoZ(u"S");
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        show.DiapoZ(u"A");
        return;
    case Qt::Key_Home:
        show.showListEnd(SlideShow::ListEnd::First);
        return;
    case Qt::Key_End:
        show.showListEnd(SlideShow::ListEnd::Last);
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return;
    if (show.keyPressed(text.front()) == SlideShow::KeyResult::Close)
        accept();
}

void frmPantalla::wheelEvent(QWheelEvent* event) {
    // One step a notch: towards the user the next picture, away from the user the previous.
    constexpr int kNotch = 120;
    m_wheelTurn += event->angleDelta().y();
    for (; m_wheelTurn <= -kNotch; m_wheelTurn += kNotch)
        m_stage->show().DiapoZ(u"S");
    for (; m_wheelTurn >= kNotch; m_wheelTurn -= kNotch)
        m_stage->show().DiapoZ(u"A");
}

std::optional<WaitingPicture> frmPantalla::takeWaitingPicture() {
    return std::exchange(m_request.firstPicture, std::nullopt);
}
