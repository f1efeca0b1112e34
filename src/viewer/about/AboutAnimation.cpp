#include "AboutAnimation.h"

#include <cstdlib>

namespace {
constexpr int kSlowestMs = 2000;
constexpr int kFastestBlinkMs = 51; // blinking speeds up only while its period is above this
constexpr int kBlinkStepMs = 50;
constexpr int kCoarseBounceLimitMs = 25; // above it bouncing speeds up in coarse steps
constexpr int kCoarseBounceStepMs = 25;
constexpr int kFineBounceLimitMs = 2; // above it, and at most the coarse limit, in fine steps
constexpr int kFineBounceStepMs = 2;
constexpr int kSlowDownStepMs = 50;

int fasterBlink(int period) {
    return period > kFastestBlinkMs ? period - kBlinkStepMs : period;
}

int fasterBounce(int period) {
    if (period > kCoarseBounceLimitMs)
        return period - kCoarseBounceStepMs;
    if (period > kFineBounceLimitMs)
        return period - kFineBounceStepMs;
    return period;
}

int slower(int period) {
    return period < kSlowestMs ? period + kSlowDownStepMs : period;
}

// One axis of a bouncing step: the velocity turns back when the next place would put the
// sprite's middle past the far edge, and forward when it would leave the near edge.
int turned(int place, int velocity, int extent, int limit) {
    const int next = place + velocity;
    if (next + extent / 2 > limit)
        return -std::abs(velocity);
    if (next < 0)
        return std::abs(velocity);
    return velocity;
}
} // namespace

int AboutAnimation::blink() {
    m_blinkPhase = !m_blinkPhase;
    return m_blinkPhase ? 1 : 0;
}

void AboutAnimation::changeSpeed(bool leftButton) {
    if (m_kind == Kind::Blinking)
        m_blinkPeriod = leftButton ? fasterBlink(m_blinkPeriod) : slower(m_blinkPeriod);
    else
        m_bouncePeriod = leftButton ? fasterBounce(m_bouncePeriod) : slower(m_bouncePeriod);
}

void AboutAnimation::switchKind(QSize window, QSize sprite) {
    if (m_kind == Kind::Bouncing) {
        m_kind = Kind::Blinking;
        return;
    }
    m_kind = Kind::Bouncing;
    m_velocity = {kSpriteSpeed, kSpriteSpeed};
    m_window = window;
    m_sprite = sprite;
}

AboutAnimation::Step AboutAnimation::bounce() {
    m_velocity.setX(turned(m_position.x(), m_velocity.x(), m_sprite.width(), m_window.width()));
    m_velocity.setY(turned(m_position.y(), m_velocity.y(), m_sprite.height(), m_window.height()));
    const Step step{m_position, m_position + m_velocity};
    m_position = step.to;
    return step;
}
