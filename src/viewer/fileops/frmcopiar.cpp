#include "frmcopiar.h"

#include "HelpViewer.h"
#include "Module1.h"
#include "ProgramArt.h"
#include "StringTable.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

// Client area and control places in twips: left, top, width, height.
constexpr QSize kClientSize(7545, 1800);
constexpr QRect kLblorig(1020, 360, 660, 195);
constexpr QRect kTxtOrig(1800, 360, 5535, 285);
constexpr QRect kLbldest(1155, 840, 525, 195);
constexpr QRect kTxtDest(1800, 840, 5535, 285);
constexpr QRect kResult(70, 1320, 375, 495);
constexpr QRect kBoton(5400, 1345, 1815, 320);
// The status line runs from its place to just before the button; its height is its font's.
constexpr QRect kLblresul(490, 1440, kBoton.left() - 60 - 490, 0);
constexpr int kDialogOffsetLeft = 850; // twips right of the screen's centre line
constexpr QColor kButtonFace(192, 192, 255);
constexpr int kLabelMargin = 2; // pixels

} // namespace

frmcopiar::frmcopiar(Module1& module, CopyRenameLogic::Mode mode, const QString& selectedName,
                     FileLayer& files, CopyRenameLogic::ListRefresh refresh, QWidget* parent)
    : QDialog(parent), m_module(module),
      m_logic(module, mode, selectedName, files, std::move(refresh)) {
    setObjectName("frmcopiar");
    buildControls();
    m_helpTopic = m_module.settings.LanguageOffset + kHelpCopyDialog;

    const TwipsScale& scale = m_module.screen.scale;
    const QSizeF screen = m_module.screen.twips();
    setFixedSize(scale.toPixels(kClientSize.width()), scale.toPixels(kClientSize.height()));
    move(scale.toPixels((screen.width() - kClientSize.width()) / 2 + kDialogOffsetLeft),
         scale.toPixels((screen.height() - kClientSize.height()) / 2));
    setWindowIcon(QIcon(QPixmap::fromImage(ProgramArt::icon(ProgramArt::kIconProgram))));

    setWindowTitle(m_logic.title());
    setLabel(m_lblorig, m_logic.upperLabel());
    setLabel(m_lbldest, m_logic.lowerLabel());
    m_txtOrig->setText(m_logic.initialUpperField());
    m_txtOrig->setEnabled(!m_logic.renaming());
    m_txtDest->setText(m_logic.initialLowerField());
    showState();

    connect(m_boton, &QPushButton::clicked, this, &frmcopiar::boton_Click);
    connect(m_txtOrig, &QLineEdit::textChanged, this, &frmcopiar::fieldEdited);
    connect(m_txtDest, &QLineEdit::textChanged, this, &frmcopiar::fieldEdited);
    connect(&m_logic, &CopyRenameLogic::changed, this, &frmcopiar::showState);
}

void frmcopiar::buildControls() {
    const TwipsScale& scale = m_module.screen.scale;
    auto place = [&scale](QWidget* widget, const char* name, const QRect& twips) {
        widget->setObjectName(name);
        widget->setGeometry(scale.toPixels(QRectF(twips)));
    };
    m_lblorig = new QLabel(this);
    place(m_lblorig, "lblorig", kLblorig);
    m_txtOrig = new QLineEdit(this);
    place(m_txtOrig, "TxtOrig", kTxtOrig);
    m_lbldest = new QLabel(this);
    place(m_lbldest, "lbldest", kLbldest);
    m_txtDest = new QLineEdit(this);
    place(m_txtDest, "TxtDest", kTxtDest);
    m_result = new QLabel(this);
    place(m_result, "Result", kResult);
    m_result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblresul = new QLabel(this);
    place(m_lblresul, "lblresul", kLblresul);
    m_lblresul->resize(m_lblresul->width(), m_lblresul->sizeHint().height());
    m_boton = new QPushButton(this);
    place(m_boton, "boton", kBoton);

    QPalette face = m_boton->palette();
    face.setColor(QPalette::Button, kButtonFace);
    m_boton->setPalette(face);
}

void frmcopiar::setLabel(QLabel* label, const QString& text) {
    // A field's label is right-aligned against it and may use all the room to its left.
    const int right = label->geometry().right();
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(kLabelMargin, label->y(), right - kLabelMargin + 1, label->height());
    fitText(label, text);
}

void frmcopiar::fitText(QLabel* label, const QString& text) {
    // Set in the dialog's font, or smaller where that would be cut.
    QFont font = this->font();
    label->setFont(font);
    label->setText(text);
    const int needed = label->sizeHint().width();
    if (needed > label->width() && font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * label->width() / needed);
        label->setFont(font);
    }
}

void frmcopiar::boton_Click() {
    if (m_logic.buttonPressed(m_txtOrig->text(), m_txtDest->text()) ==
        CopyRenameLogic::Press::Close)
        accept();
    else
        showState();
}

void frmcopiar::fieldEdited() {
    m_logic.fieldEdited();
    showState();
}

void frmcopiar::showState() {
    showBusy(m_logic.busy());
    m_boton->setText(m_logic.buttonCaption());
    fitText(m_lblresul, m_logic.statusLine());
    m_lblresul->setToolTip(m_logic.failureReason());
    const QPixmap icon = QPixmap::fromImage(ProgramArt::icon(m_logic.statusIcon()));
    m_result->setPixmap(
        icon.scaled(m_result->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmcopiar::showBusy(bool busy) {
    if (busy == m_busyPointer.isShown())
        return;
    // The whole program's pointer: the main window behind takes no input meanwhile either.
    m_busyPointer.show(busy);
    m_boton->setEnabled(!busy);
    m_txtOrig->setReadOnly(busy);
    m_txtDest->setReadOnly(busy);
}

void frmcopiar::reject() {
    if (!m_logic.busy())
        QDialog::reject();
}

void frmcopiar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        HelpViewer::showTopic(m_helpTopic, this);
        return;
    }
    QDialog::keyPressEvent(event); // Esc closes without applying anything
}
