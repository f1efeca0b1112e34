#pragma once

#include <QDialog>

class QLineEdit;
struct ScreenMetrics;

// The password prompt: one masked field and no buttons. Enter with exactly the password (letter
// case and blanks count) accepts; Escape or closing the window refuses. A wrong password gives no
// message: the prompt stays open with the text typed. Each prompt starts with an empty field;
// a caller shows one with exec() and reads the verdict from its result.
class frmpassword : public QDialog {
    Q_OBJECT

public:
    frmpassword(QString password, qint16 languageOffset, const ScreenMetrics& screen,
                QWidget* parent = nullptr);

    QLineEdit* TxtPassword() const { return m_txtPassword; }
    int helpTopic() const { return m_helpTopic; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_password;
    QLineEdit* m_txtPassword;
    int m_helpTopic;
};
