#pragma once

#include <QPoint>
#include <QSize>

// The about box's animation, without a widget: either two icons take turns (blinking) or a
// sprite bounces over the window (bouncing), each driven by its own timer. This class keeps
// which one runs, both timers' periods, the blink phase and the sprite's position and velocity;
// the box starts and stops its timers and draws from what it returns.
class AboutAnimation {
public:
    enum class Kind { Blinking, Bouncing };

    static constexpr int kBlinkStartMs = 300;
    static constexpr int kBounceStartMs = 150;
    static constexpr int kSpriteSpeed = 15; // pixels a step, across and down

    // One bouncing step: the sprite leaves `from` (where its saved background goes back) and is
    // drawn at `to`.
    struct Step {
        QPoint from;
        QPoint to;
    };

    Kind running() const { return m_kind; }
    int blinkPeriod() const { return m_blinkPeriod; }
    int bouncePeriod() const { return m_bouncePeriod; }
    QPoint spritePosition() const { return m_position; }
    QPoint spriteVelocity() const { return m_velocity; }

    // A blinking tick: flips the phase and returns which icon (0 or 1) shows now.
    int blink();

    // A mouse press on the program's name: the left button speeds the running animation up, any
    // other button slows it down, within each timer's bounds.
    void changeSpeed(bool leftButton);

    // A double click: blinking turns to bouncing and back. The window's outer size and the
    // sprite's size, in pixels, bound the bounce. Bouncing starts where the sprite last stopped,
    // moving right and down.
    void switchKind(QSize window, QSize sprite);

    // A bouncing tick: turns at an edge, then moves by the velocity.
    Step bounce();

private:
    Kind m_kind = Kind::Blinking;
    int m_blinkPeriod = kBlinkStartMs;
    int m_bouncePeriod = kBounceStartMs;
    bool m_blinkPhase = false;
    QPoint m_position{0, 0};
    QPoint m_velocity{kSpriteSpeed, kSpriteSpeed};
    QSize m_window;
    QSize m_sprite;
};
