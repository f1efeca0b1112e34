#pragma once

#include "AboutAnimation.h"
#include "SpriteCanvas.h"

#include <QDialog>
#include <QTimer>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
struct Module1;

// The about box: the program's name, version and formats, the screen's resolution and colours,
// the credits, a small animation and a button that starts the system-information program.
// The window's own white surface is a SpriteCanvas that the box paints under its labels and
// buttons, so the bouncing sprite passes beneath them. The animation's state lives in
// AboutAnimation.
class frmacerca : public QDialog {
    Q_OBJECT

public:
    explicit frmacerca(const Module1& module, QWidget* parent = nullptr);

    const AboutAnimation& animation() const { return m_animation; }
    const QTimer& Timer1() const { return m_timer1; }
    const QTimer& tmrBounce() const { return m_tmrBounce; }
    int helpTopic() const { return m_helpTopic; }

    // The handlers the timers, the mouse and the buttons run; tests call them tick by tick.
    void Form_DblClick();
    void Timer1_Timer();
    void tmrBounce_Timer();
    void LAB_1_MouseDown(Qt::MouseButton button);
    void System_Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect pixelsOf(const QRect& twips) const;
    QLabel* label(const char* name, const QRect& twips);
    void buildControls();
    void fillTexts(qint16 language);
    void placeOnScreen();
    void syncTimers();
    void StartSysInfo();

    const Module1& m_module;
    AboutAnimation m_animation;
    QTimer m_timer1;
    QTimer m_tmrBounce;
    int m_helpTopic = 0;

    SpriteCanvas m_canvas;

    QLabel* m_lab1 = nullptr;
    QLabel* m_lab2 = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_resol = nullptr;
    QLabel* m_color = nullptr;
    QLabel* m_marca = nullptr;
    std::array<QLabel*, 3> m_label3{};
    std::array<QLabel*, 2> m_picIcon{};
    QFrame* m_shape1 = nullptr;
    QPushButton* m_botOk = nullptr;
    QPushButton* m_system = nullptr;
};
