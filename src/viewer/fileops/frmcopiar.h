#pragma once

#include "BusyPointer.h"
#include "CopyRenameLogic.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
struct Module1;

// The copy and rename dialog: copies the selected file to another folder or name, or renames it
// in place, and says the outcome in its status line. Its behaviour lives in CopyRenameLogic; the
// dialog shows the logic's state and forwards the button, the edits and the keys. Opened modally
// in the mode it is given, on the files of the file layer it is given. While a
// copy runs the pointer is busy, the button and the fields take nothing, and the dialog does not
// close.
class frmcopiar : public QDialog {
    Q_OBJECT

public:
    frmcopiar(Module1& module, CopyRenameLogic::Mode mode, const QString& selectedName,
              FileLayer& files, CopyRenameLogic::ListRefresh refresh, QWidget* parent = nullptr);

    const CopyRenameLogic& logic() const { return m_logic; }
    int helpTopic() const { return m_helpTopic; }

    // Esc and the title bar's close button: ignored while a copy runs, so its outcome is shown.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void setLabel(QLabel* label, const QString& text);
    void fitText(QLabel* label, const QString& text);
    void boton_Click();
    void fieldEdited();
    void showState();
    void showBusy(bool busy);

    Module1& m_module;
    CopyRenameLogic m_logic;
    BusyPointer m_busyPointer{Qt::WaitCursor};
    int m_helpTopic = 0;

    QLabel* m_lblorig = nullptr;
    QLineEdit* m_txtOrig = nullptr;
    QLabel* m_lbldest = nullptr;
    QLineEdit* m_txtDest = nullptr;
    QLabel* m_result = nullptr;
    QLabel* m_lblresul = nullptr;
    QPushButton* m_boton = nullptr;
};
