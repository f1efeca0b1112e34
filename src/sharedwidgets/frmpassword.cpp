#include "frmpassword.h"

#include "DialogGeometry.h"
#include "HelpViewer.h"
#include "ProgramArt.h"
#include "ScreenMetrics.h"
#include "StringTable.h"

#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>

namespace {
constexpr double kClientWidth = 2790; // twips
constexpr double kClientHeight = 870;
const QRectF kFieldPlace(360, 240, 2055, 285);
constexpr int kLongestPassword = 14;
} // namespace

frmpassword::frmpassword(QString password, qint16 languageOffset, const ScreenMetrics& screen,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_password(std::move(password)), m_txtPassword(new QLineEdit(this)),
      m_helpTopic(languageOffset + kHelpPasswordPrompt) {
    setObjectName("frmpassword");
    setWindowTitle(LocalText(kTextEnterPassword, languageOffset));
    setWindowIcon(QIcon(QPixmap::fromImage(ProgramArt::icon(ProgramArt::kIconProgram))));

    // Wide enough for the window manager to show the whole title, the field kept in the middle.
    const TwipsScale& scale = screen.scale;
    const int designedWidth = scale.toPixels(kClientWidth);
    QFont titleFont = font();
    titleFont.setBold(true); // as title bars draw it
    const QFontMetrics title(titleFont);
    const int width = DialogGeometry::widthShowingTitle(
        designedWidth, title.horizontalAdvance(windowTitle()), title.height());
    setFixedSize(width, scale.toPixels(kClientHeight));
    move(screen.dialogPlace({scale.toTwips(width), kClientHeight}));

    m_txtPassword->setObjectName("TxtPassword");
    m_txtPassword->setGeometry(
        scale.toPixels(kFieldPlace).translated((width - designedWidth) / 2, 0));
    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_txtPassword->setStyleSheet("lineedit-password-character: 42"); // "*"
    m_txtPassword->setMaxLength(kLongestPassword);
    m_txtPassword->installEventFilter(this); // the prompt sees the keys before its field
    m_txtPassword->setFocus();
}

bool frmpassword::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_txtPassword || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_txtPassword->text() == m_password)
            accept();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_F1:
        HelpViewer::showTopic(m_helpTopic, this);
        return true;
    default:
        return false;
    }
}
