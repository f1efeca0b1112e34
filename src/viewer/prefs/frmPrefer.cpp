#include "frmPrefer.h"

#include "DialogGeometry.h"
#include "DisplayFacts.h"
#include "HelpViewer.h"
#include "Module1.h"
#include "ProgramArt.h"
#include "ProgramVersion.h"
#include "StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>

namespace {
using StoredFields::kSliderCount;

// Places and sizes in twips.
constexpr int kClientHeight = 4170;
constexpr int kBorderWidth = 120; // outer width less client width
constexpr std::array<int, kSliderCount> kRowTops{960, 1200, 1560, 2040, 2280, 2640};
constexpr int kRowHeight = 255;
constexpr int kCaptionLeft = 300;
constexpr int kCaptionRight = 1875;
constexpr int kCaptionHeight = 2 * kRowHeight; // long captions wrap to a second line
constexpr QRect kSliderPlace{2040, 0, 2775, kRowHeight};
constexpr QRect kValuePlace{4680, 0, 495, kRowHeight};
constexpr QRect kSliderPanel{240, 720, 5175, 2295};
constexpr QRect kPasswordPanel{5760, 720, 2295, 2295};
constexpr QRect kHint{5880, 840, 2085, 780};
constexpr QRect kLine{5760, 1740, 2280, 15};
constexpr QRect kPasswordLabel{5775, 1770, 2205, 240};
constexpr QRect kPasswordBox{6000, 2010, 1815, 320};
constexpr QRect kVerificationLabel{5775, 2310, 2205, 240};
constexpr QRect kVerificationBox{6000, 2550, 1815, 320};
constexpr QRect kLab1{0, 120, 2205, 495};
constexpr QRect kLblmodi{2280, 360, 2835, 195};
constexpr QRect kChkPropor{240, 3120, 2895, 195};
constexpr QRect kChkAleatorio{240, 3360, 3015, 195};
constexpr QRect kValores{120, 3720, 1815, 315};
constexpr QSize kOkSize{1680, 345};
constexpr QRect kIdioma{0, 3120, 975, 195};      // left from the protection layout
constexpr QRect kChkProtect{0, 3360, 2175, 195}; // left from the protection layout
constexpr QRect kResol{0, 3720, 975, 255};       // left from the protection layout
constexpr QRect kColor{0, 3960, 855, 135};       // left from the protection layout
constexpr int kTextHeight = 165;                 // the controls' rows are 195 high
constexpr double kNameFontPoints = 21.75;
constexpr int kPasswordLength = 14;
constexpr int kLargeStep = 5;

constexpr const char* kSliderNames[kSliderCount] = {"ImgAltV", "ImgAncV", "LabAncV",
                                                    "EspHV",   "EspVV",   "wtempo"};
constexpr const char* kValueNames[kSliderCount] = {"vimgaltv", "vimgancv", "vlabancv",
                                                   "vesphv",   "vespvv",   "vtempo"};
// Each slider's caption, also its tooltip.
constexpr TextId kSliderCaptions[kSliderCount] = {kTextImageHeight,     kTextImageWidth,
                                                  kTextCaptionWidth,    kTextHorizontalSpacing,
                                                  kTextVerticalSpacing, kTextSlideDelay};
// The format list's items, in the order of the editor's formats.
constexpr TextId kFormatTexts[] = {kTextSmallFormat, kTextMediumFormat, kTextLargeFormat,
                                   kTextCustomFormat};
static_assert(std::size(kFormatTexts) == PreferencesEditor::CustomFormat + 1);

QRect withLeft(QRect twips, int left) {
    twips.moveLeft(left);
    return twips;
}
} // namespace

frmPrefer::frmPrefer(Module1& module, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_module(module), m_editor(module.settings) {
    setObjectName("frmPrefer");
    setWindowIcon(QIcon(QPixmap::fromImage(ProgramArt::icon(ProgramArt::kIconProgram))));
    QFont textFont = font(); // sized like the controls, so each text fits its row
    textFont.setPixelSize(m_module.screen.scale.toPixels(kTextHeight));
    setFont(textFont);
    buildSliderRows();
    buildPasswordColumn();
    buildOtherControls();

    m_helpTopic = m_module.settings.LanguageOffset + kHelpPreferences;
    fillTexts();
    showDisplayFacts();
    showProtectionLayout();
    placeOnScreen();
    showValues();
    connectControls();
}

QRect frmPrefer::pixelsOf(const QRect& twips) const {
    return m_module.screen.scale.toPixels(QRectF(twips));
}

QLabel* frmPrefer::label(const char* name, const QRect& twips) {
    auto* created = new QLabel(this);
    created->setObjectName(name);
    created->setTextFormat(Qt::PlainText);
    created->setGeometry(pixelsOf(twips));
    return created;
}

QCheckBox* frmPrefer::checkBox(const char* name, const QRect& twips) {
    auto* created = new QCheckBox(this);
    created->setObjectName(name);
    created->setGeometry(pixelsOf(twips));
    return created;
}

QFrame* frmPrefer::panel(const QRect& twips) {
    auto* created = new QFrame(this);
    created->setFrameStyle(QFrame::Box | QFrame::Sunken);
    created->setGeometry(pixelsOf(twips));
    return created;
}

void frmPrefer::buildSliderRows() {
    panel(kSliderPanel);
    for (int i = 0; i < kSliderCount; ++i) {
        const int top = kRowTops[i];
        const int captionTop = top + kRowHeight / 2 - kCaptionHeight / 2;
        m_lbltxt[i] = label(
            "lbltxt", {kCaptionLeft, captionTop, kCaptionRight - kCaptionLeft, kCaptionHeight});
        m_lbltxt[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_lbltxt[i]->setWordWrap(true);

        const StoredFields::SliderRange range = StoredFields::sliders()[i].range;
        m_sliders[i] = new QSlider(Qt::Horizontal, this);
        m_sliders[i]->setObjectName(kSliderNames[i]);
        m_sliders[i]->setGeometry(pixelsOf(kSliderPlace.translated(0, top)));
        m_sliders[i]->setRange(range.minimum, range.maximum);
        m_sliders[i]->setSingleStep(1);
        m_sliders[i]->setPageStep(kLargeStep);

        m_valueLabels[i] = label(kValueNames[i], kValuePlace.translated(0, top));
        m_valueLabels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter); // clear of the slider
    }
}

void frmPrefer::buildPasswordColumn() {
    panel(kPasswordPanel);
    m_lbltxt0 = label("lbltxt0", kHint);
    m_lbltxt0->setWordWrap(true);
    auto* line = new QFrame(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(pixelsOf(kLine));
    m_lbltxt1 = label("lbltxt1", kPasswordLabel);
    m_lbltxt2 = label("lbltxt2", kVerificationLabel);
    auto passwordBox = [this](const char* name, const QRect& twips) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->setGeometry(pixelsOf(twips));
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*"
        box->setMaxLength(kPasswordLength);
        return box;
    };
    m_text1 = passwordBox("Text1", kPasswordBox);
    m_text2 = passwordBox("Text2", kVerificationBox);
}

void frmPrefer::buildOtherControls() {
    m_lab1 = label("LAB_1", kLab1);
    QFont nameFont("Times New Roman");
    nameFont.setPointSizeF(kNameFontPoints);
    m_lab1->setFont(nameFont);
    m_lab1->setAlignment(Qt::AlignCenter);
    m_lblmodi = label("lblmodi", kLblmodi);
    m_chkPropor = checkBox("chkPropor", kChkPropor);
    m_chkAleatorio = checkBox("chkAleatorio", kChkAleatorio);
    m_valores = new QComboBox(this);
    m_valores->setObjectName("Valores");
    m_valores->setGeometry(pixelsOf(kValores));
    m_botOk = new QPushButton(this);
    m_botOk->setObjectName("Bot_Ok");
    m_botOk->setDefault(true);
    m_idioma = checkBox("Idioma", kIdioma);
    m_chkProtect = checkBox("chkProtect", kChkProtect);
    for (QCheckBox* boxAfterCaption : {m_idioma, m_chkProtect})
        boxAfterCaption->setLayoutDirection(Qt::RightToLeft);
    m_resol = label("Resol", kResol);
    m_color = label("Color", kColor);
    QFont smallFont = font();
    smallFont.setPixelSize(m_module.screen.scale.toPixels(kColor.height()));
    m_color->setFont(smallFont);
}

void frmPrefer::connectControls() {
    for (int i = 0; i < kSliderCount; ++i) {
        connect(m_sliders[i], &QSlider::valueChanged, this, [this, i](int value) {
            m_editor.setSlider(i, value);
            m_valueLabels[i]->setNum(m_editor.controls().sliders[i]);
        });
    }
    for (QCheckBox* box : {m_chkPropor, m_chkAleatorio, m_idioma})
        connect(box, &QCheckBox::toggled, this, &frmPrefer::takeChecks);
    for (QLineEdit* box : {m_text1, m_text2})
        connect(box, &QLineEdit::textChanged, this, &frmPrefer::takePasswords);
    connect(m_chkProtect, &QCheckBox::clicked, this, &frmPrefer::chkProtect_Click);
    connect(m_valores, &QComboBox::activated, this, &frmPrefer::Valores_Click);
    connect(m_botOk, &QPushButton::clicked, this, &frmPrefer::Bot_Ok_Click);
}

void frmPrefer::fillTexts() {
    const qint16 language = m_module.settings.LanguageOffset;
    auto text = [language](TextId id) { return LocalText(id, language); };
    setWindowTitle(text(kTextPreferences));
    m_botOk->setText(text(kTextOk));
    m_lblmodi->setText(text(kTextModifySettings));
    m_idioma->setText(text(kTextOtherLanguage));
    m_idioma->setToolTip(text(kTextSelectLanguage));
    m_chkPropor->setText(text(kTextProportionalFullScreen));
    m_chkPropor->setToolTip(text(kTextProportionalView));
    m_chkProtect->setText(text(kTextProtectWithPassword));
    m_chkProtect->setToolTip(text(kTextProtectionCovers));
    m_chkAleatorio->setText(text(kTextRandomSlides));
    m_chkAleatorio->setToolTip(text(kTextShowSlidesRandomly));
    m_valores->setToolTip(text(kTextPresetFormats));
    for (const TextId format : kFormatTexts)
        m_valores->addItem(text(format));
    for (int i = 0; i < kSliderCount; ++i) {
        m_lbltxt[i]->setText(text(kSliderCaptions[i]));
        m_sliders[i]->setToolTip(text(kSliderCaptions[i]));
    }
    m_lbltxt0->setText(text(kTextPasswordInstructions));
    m_lbltxt1->setText(text(kTextPassword));
    m_lbltxt2->setText(text(kTextVerifyPassword));
    m_lab1->setText(QString::fromUtf8(kProgramDescription));
}

void frmPrefer::placeOnScreen() {
    move(m_module.screen.dialogPlace(QSizeF(m_editor.layout().dialogWidth, kClientHeight)));
}

void frmPrefer::keepOnScreen() {
    // Widened from where the narrow dialog was placed, the right edge may pass the screen's.
    const QRect frame = frameGeometry();
    move(DialogGeometry::leftOnScreen(frame.x(), frame.width(), m_module.screen.pixels.width()),
         frame.y());
}

void frmPrefer::showDisplayFacts() {
    const ScreenMetrics& display = m_module.screen;
    m_resol->setText(DisplayFacts::resolutionText(display.pixels));
    m_color->setText(
        DisplayFacts::colourCountText(DisplayFacts::ColourCount(display.bitsPerPixel)));
}

void frmPrefer::showProtectionLayout() {
    const PreferencesEditor::ProtectionLayout& layout = m_editor.layout();
    const TwipsScale& scale = m_module.screen.scale;
    setFixedSize(scale.toPixels(layout.dialogWidth - kBorderWidth), scale.toPixels(kClientHeight));
    m_idioma->setGeometry(pixelsOf(withLeft(kIdioma, layout.idiomaLeft)));
    m_chkProtect->setGeometry(pixelsOf(withLeft(kChkProtect, layout.chkProtectLeft)));
    m_botOk->setGeometry(pixelsOf(QRect(layout.okPlace, kOkSize)));
    m_resol->setGeometry(pixelsOf(withLeft(kResol, layout.displayFactsLeft)));
    m_color->setGeometry(pixelsOf(withLeft(kColor, layout.displayFactsLeft)));
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_lblmodi, m_chkPropor, m_chkAleatorio, m_idioma, m_chkProtect, m_resol, m_color})
        fitText(control);
}

void frmPrefer::fitText(QWidget* control) {
    // The system font may be wider than the one the places were drawn for: a one-line text
    // that does not fit widens its control away from the edge its text is aligned to. No
    // control reaches beyond the dialog's right edge.
    QRect place = control->geometry();
    const int needed = control->sizeHint().width();
    if (needed > place.width() && control->layoutDirection() == Qt::RightToLeft)
        place.setLeft(place.right() + 1 - needed);
    else if (needed > place.width())
        place.setWidth(needed);
    if (place.right() >= width())
        place.moveRight(width() - 1);
    control->setGeometry(place);
}

void frmPrefer::showValues() {
    const PreferencesEditor::Controls& controls = m_editor.controls();
    for (int i = 0; i < kSliderCount; ++i) {
        const QSignalBlocker quiet(m_sliders[i]);
        m_sliders[i]->setValue(controls.sliders[i]);
        m_valueLabels[i]->setNum(controls.sliders[i]);
    }
    const QSignalBlocker quietPropor(m_chkPropor);
    const QSignalBlocker quietAleatorio(m_chkAleatorio);
    const QSignalBlocker quietIdioma(m_idioma);
    const QSignalBlocker quietText1(m_text1);
    const QSignalBlocker quietText2(m_text2);
    m_chkPropor->setChecked(controls.chkPropor);
    m_chkAleatorio->setChecked(controls.chkAleatorio);
    m_idioma->setChecked(controls.Idioma);
    m_chkProtect->setChecked(controls.chkProtect);
    m_text1->setText(controls.Text1);
    m_text2->setText(controls.Text2);
    m_valores->setCurrentIndex(controls.Valores);
}

void frmPrefer::takeChecks() {
    m_editor.setChecks(m_chkPropor->isChecked(), m_chkAleatorio->isChecked(),
                       m_idioma->isChecked());
}

void frmPrefer::takePasswords() {
    m_editor.setPasswords(m_text1->text(), m_text2->text());
}

void frmPrefer::chkProtect_Click() {
    m_editor.ShowProtection(m_chkProtect->isChecked() ? 1 : 0);
    showProtectionLayout();
    keepOnScreen();
    showValues();
}

void frmPrefer::Valores_Click(int index) {
    m_editor.Valores_Click(index);
    showValues();
}

void frmPrefer::Bot_Ok_Click() {
    const PreferencesEditor::OkOutcome outcome = m_editor.Bot_Ok_Click();
    const qint16 language = m_module.settings.LanguageOffset; // the new one after a switch
    const QString title = LocalText(kTextAttention, language);
    if (outcome.refusal) {
        QMessageBox::information(this, title, LocalText(*outcome.refusal, language));
        return;
    }
    if (outcome.restartNotice)
        QMessageBox::information(this, title, LocalText(kTextRestartNeeded, language));
    m_module.LayoutChanged = true;
    accept();
}

void frmPrefer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1)
        HelpViewer::showTopic(m_helpTopic, this);
    else
        QDialog::keyPressEvent(event);
}
