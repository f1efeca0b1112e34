#pragma once

#include "PreferencesEditor.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
struct Module1;

// The preferences dialog: six slider rows for the thumbnail geometry and the slide delay, the
// full-screen and slide options, the predefined formats, the language switch and, in a column
// the dialog widens to show, the password. Its rules live in PreferencesEditor; the dialog shows
// the editor's values and hands it the user's changes. OK stores into the settings record and
// accepts; Esc rejects and stores nothing.
class frmPrefer : public QDialog {
    Q_OBJECT

public:
    explicit frmPrefer(Module1& module, QWidget* parent = nullptr);

    const PreferencesEditor& editor() const { return m_editor; }
    int helpTopic() const { return m_helpTopic; }

    void chkProtect_Click();
    void Valores_Click(int index);
    void Bot_Ok_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect pixelsOf(const QRect& twips) const;
    QLabel* label(const char* name, const QRect& twips);
    QCheckBox* checkBox(const char* name, const QRect& twips);
    QFrame* panel(const QRect& twips);
    void buildSliderRows();
    void buildPasswordColumn();
    void buildOtherControls();
    void connectControls();
    void fillTexts();
    void placeOnScreen();
    void keepOnScreen();
    void showDisplayFacts();
    void showProtectionLayout();
    void fitText(QWidget* control);
    void showValues();
    void takeChecks();
    void takePasswords();

    Module1& m_module;
    PreferencesEditor m_editor;
    int m_helpTopic = 0;

    std::array<QLabel*, StoredFields::kSliderCount> m_lbltxt{};
    std::array<QSlider*, StoredFields::kSliderCount> m_sliders{};
    std::array<QLabel*, StoredFields::kSliderCount> m_valueLabels{};
    QLabel* m_lab1 = nullptr;
    QLabel* m_lblmodi = nullptr;
    QCheckBox* m_chkPropor = nullptr;
    QCheckBox* m_chkAleatorio = nullptr;
    QComboBox* m_valores = nullptr;
    QPushButton* m_botOk = nullptr;
    QCheckBox* m_idioma = nullptr;
    QCheckBox* m_chkProtect = nullptr;
    QLabel* m_resol = nullptr;
    QLabel* m_color = nullptr;
    QLabel* m_lbltxt0 = nullptr;
    QLabel* m_lbltxt1 = nullptr;
    QLabel* m_lbltxt2 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
};
