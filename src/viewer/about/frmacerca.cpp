#include "frmacerca.h"

#include "DisplayFacts.h"
#include "HelpViewer.h"
#include "Module1.h"
#include "ProgramArt.h"
#include "ProgramVersion.h"
#include "StringTable.h"
#include "SystemInfoTool.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

namespace {
// Places and sizes in twips.
constexpr QSize kClientSize{6900, 3765};
constexpr QRect kShape1{240, 240, 600, 600};
constexpr QPoint kIconPlace{300, 300};
constexpr int kTextLeft = 1080;
constexpr int kTextWidth = 3600;
constexpr int kLineHeight = 285;
constexpr QRect kLab1{kTextLeft, 120, kTextWidth, 600};
constexpr QRect kLab2{kTextLeft, 720, kTextWidth, kLineHeight};
constexpr QRect kLabel5{kTextLeft, 1005, kTextWidth, kLineHeight};
constexpr QRect kLabel1{kTextLeft, 1380, 900, kLineHeight};
constexpr QRect kVersion{kTextLeft + 900, 1380, 1500, kLineHeight};
constexpr QRect kResol{4860, 240, 1800, kLineHeight};
constexpr QRect kColor{4860, 525, 1800, kLineHeight};
constexpr int kCreditsTop = 1920;
constexpr QRect kButtonOk{4920, 2800, 1800, 375};
constexpr QRect kButtonSystem{4920, 3290, 1800, 375};
constexpr double kNameFontPoints = 21.75;

QImage whiteSurface(const Module1& module) {
    const TwipsScale& scale = module.screen.scale;
    QImage surface(scale.toPixels(kClientSize.width()), scale.toPixels(kClientSize.height()),
                   QImage::Format_RGB32);
    surface.fill(Qt::white);
    return surface;
}
} // namespace

frmacerca::frmacerca(const Module1& module, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_module(module),
      m_canvas(whiteSurface(module), ProgramArt::icon(ProgramArt::kIconAboutSprite),
               ProgramArt::icon(ProgramArt::kIconAboutSpriteMask)) {
    setObjectName("frmacerca");
    setFixedSize(m_canvas.surface().size());
    buildControls();

    // Load: help topic, place, timers, display facts and texts.
    const qint16 language = m_module.settings.LanguageOffset;
    m_helpTopic = language + kHelpAboutBox;
    placeOnScreen();
    m_timer1.setObjectName("Timer1");
    m_tmrBounce.setObjectName("tmrBounce");
    connect(&m_timer1, &QTimer::timeout, this, &frmacerca::Timer1_Timer);
    connect(&m_tmrBounce, &QTimer::timeout, this, &frmacerca::tmrBounce_Timer);
    syncTimers();
    const ScreenMetrics& display = m_module.screen;
    m_resol->setText(DisplayFacts::resolutionText(display.pixels));
    m_color->setText(DisplayFacts::colourCountText(DisplayFacts::ColourCount(display.bitsPerPixel)));
    fillTexts(language);
}

QRect frmacerca::pixelsOf(const QRect& twips) const {
    return m_module.screen.scale.toPixels(QRectF(twips));
}

QLabel* frmacerca::label(const char* name, const QRect& twips) {
    auto* created = new QLabel(this);
    created->setObjectName(name);
    created->setGeometry(pixelsOf(twips));
    return created;
}

void frmacerca::buildControls() {
    setAttribute(Qt::WA_OpaquePaintEvent); // the white surface covers the whole window
    m_shape1 = new QFrame(this);
    m_shape1->setObjectName("Shape1");
    m_shape1->setFrameShape(QFrame::Box);
    m_shape1->setGeometry(pixelsOf(kShape1));
    // The blinking frames: PIC_Icon element 0 shows first.
    const ProgramArt::Icon icons[] = {ProgramArt::kIconZoomMode, ProgramArt::kIconProgramAtNight};
    for (std::size_t i = 0; i < m_picIcon.size(); ++i) {
        m_picIcon[i] = label("PIC_Icon", QRect(kIconPlace, QSize(0, 0)));
        m_picIcon[i]->setPixmap(QPixmap::fromImage(ProgramArt::icon(icons[i])));
        m_picIcon[i]->adjustSize();
    }
    m_picIcon[1]->hide();

    m_lab1 = label("LAB_1", kLab1);
    QFont nameFont("Times New Roman");
    nameFont.setPointSizeF(kNameFontPoints);
    m_lab1->setFont(nameFont);
    m_lab1->setAlignment(Qt::AlignCenter);
    m_lab1->installEventFilter(this);
    m_lab2 = label("LAB_2", kLab2);
    m_label5 = label("Label5", kLabel5);
    m_label1 = label("Label1", kLabel1);
    m_version = label("Version", kVersion);
    m_resol = label("Resol", kResol);
    m_color = label("Color", kColor);
    m_resol->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_color->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_marca = label("Marca", {kShape1.left(), kCreditsTop, kTextLeft + kTextWidth, kLineHeight});
    for (std::size_t i = 0; i < m_label3.size(); ++i) {
        const int top = kCreditsTop + kLineHeight * static_cast<int>(i + 1);
        m_label3[i] = label("Label3", {kShape1.left(), top, kTextLeft + kTextWidth, kLineHeight});
    }

    m_botOk = new QPushButton(this);
    m_botOk->setObjectName("Bot_Ok");
    m_botOk->setGeometry(pixelsOf(kButtonOk));
    m_botOk->setDefault(true);
    m_botOk->setFocus();
    m_system = new QPushButton(this);
    m_system->setObjectName("System");
    m_system->setGeometry(pixelsOf(kButtonSystem));
    connect(m_botOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_system, &QPushButton::clicked, this, &frmacerca::System_Click);
}

void frmacerca::fillTexts(qint16 language) {
    const QString description = QString::fromUtf8(kProgramDescription);
    setWindowTitle(LocalText(kTextAbout, language) + u' ' + description);
    m_lab1->setText(description);
    m_lab2->setText(LocalText(kTextFileViewing, language));
    m_label5->setText(QStringLiteral("ICO,BMP,RLE,WMF,JPG,GIF..."));
    m_label1->setText(QString::fromUtf8("Versión"));
    m_version->setText(QString::fromUtf8(kProgramVersion));
    m_marca->setText(QString::fromUtf8(kProgramMaker));
    m_label3[0]->setText(QStringLiteral("Made with Qt %1").arg(QString::fromLatin1(qVersion())));
    m_label3[1]->setText(QStringLiteral("Based in part on the work of the"));
    m_label3[2]->setText(QStringLiteral("Independent JPEG Group"));
    m_botOk->setText(QStringLiteral("&OK"));
    m_system->setText(u'&' + LocalText(kTextSystemInfo, language));
}

void frmacerca::placeOnScreen() {
    move(m_module.screen.dialogPlace(kClientSize));
}

void frmacerca::syncTimers() {
    const bool blinking = m_animation.running() == AboutAnimation::Kind::Blinking;
    m_timer1.setInterval(m_animation.blinkPeriod());
    m_tmrBounce.setInterval(m_animation.bouncePeriod());
    if (blinking) {
        m_tmrBounce.stop();
        m_timer1.start();
    } else {
        m_timer1.stop();
        m_tmrBounce.start();
    }
}

void frmacerca::Timer1_Timer() {
    const int shown = m_animation.blink();
    m_picIcon[1 - shown]->hide();
    m_picIcon[shown]->show();
}

void frmacerca::Form_DblClick() {
    const bool stopping = m_animation.running() == AboutAnimation::Kind::Bouncing;
    if (stopping) {
        update(m_canvas.erase(m_animation.spritePosition()));
    } else {
        for (QLabel* icon : m_picIcon)
            icon->hide();
    }
    m_shape1->setVisible(stopping);
    m_animation.switchKind(frameGeometry().size(), m_canvas.spriteSize());
    if (!stopping)
        m_canvas.saveBackground(m_animation.spritePosition());
    syncTimers();
}

void frmacerca::tmrBounce_Timer() {
    const AboutAnimation::Step step = m_animation.bounce();
    update(m_canvas.move(step.from, step.to));
}

void frmacerca::LAB_1_MouseDown(Qt::MouseButton button) {
    m_animation.changeSpeed(button == Qt::LeftButton);
    syncTimers();
}

void frmacerca::System_Click() {
    accept();
    StartSysInfo();
}

void frmacerca::StartSysInfo() {
    if (SystemInfoTool::start(qEnvironmentVariable("PATH")))
        return;
    const qint16 language = m_module.settings.LanguageOffset;
    QMessageBox::information(parentWidget(), LocalText(kTextAttention, language),
                             LocalText(kTextSystemInfoUnavailable, language));
}

void frmacerca::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), m_canvas.surface(), event->rect());
}

void frmacerca::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Form_DblClick();
}

void frmacerca::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1)
        HelpViewer::showTopic(m_helpTopic, this);
    else
        QDialog::keyPressEvent(event);
}

bool frmacerca::eventFilter(QObject* watched, QEvent* event) {
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (watched != m_lab1 || !press)
        return QDialog::eventFilter(watched, event);
    LAB_1_MouseDown(static_cast<QMouseEvent*>(event)->button());
    return true;
}
