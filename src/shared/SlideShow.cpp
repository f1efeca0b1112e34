#include "SlideShow.h"

#include "ImagePatterns.h"
#include "Settings.h"

#include <cmath>

SlideDirection slideDirectionOf(QStringView letter) {
    if (letter == u"S")
        return SlideDirection::Next;
    if (letter == u"A")
        return SlideDirection::Previous;
    return SlideDirection::Current;
}

QRectF slideRectangle(QSizeF picture, QSizeF screen, bool proportional) {
    if (!proportional || picture.isEmpty())
        return {QPointF(0, 0), screen};
    if (picture.width() > picture.height()) {
        const double height = screen.width() / picture.width() * picture.height();
        return {0.0, (screen.height() - height) / 2.0, screen.width(), height};
    }
    const double width = screen.height() / picture.height() * picture.width();
    return {(screen.width() - width) / 2.0, 0.0, width, screen.height()};
}

int slideTimerPeriodMs(qint16 delaySeconds) {
    return (delaySeconds < 1 ? kFastestKeyDelay : delaySeconds) * 1000;
}

SlideShow::SlideShow(SlideShowHost& host, Settings& settings, int& currentIndex,
                     RandomSource& random)
    : m_host(host), m_settings(settings), m_currentIndex(currentIndex),
      m_delay(settings.ImageTempo), m_random(random) {}

void SlideShow::setList(QStringList entries, int fileCount, QString folder) {
    m_entries = std::move(entries);
    m_fileCount = fileCount;
    m_folder = std::move(folder);
}

void SlideShow::startTimer(bool running) {
    m_timerRunning = running;
    applyTimer();
}

void SlideShow::applyTimer() {
    m_host.timerChanged(m_timerRunning, timerPeriodMs());
}

bool SlideShow::isPictureAt(int index) const {
    return index >= 0 && index < m_entries.size() && isPictureName(m_entries[index]);
}

void SlideShow::DiapoZ(QStringView direction) {
    if (!m_host.takeWaitingPicture() && OtraD(direction) == SlideShowHost::Load::Pending)
        return; // shown when the load ends
    presentSlide();
}

void SlideShow::presentSlide() {
    m_host.hideSlide();
    const QSize picture = m_host.slidePictureSize();
    if (picture.isEmpty())
        return;
    m_host.showSlide(
        slideRectangle(QSizeF(picture), m_host.screenSize(), m_settings.Proportional == 1));
}

std::optional<SlideShowHost::Load> SlideShow::OtraD(QStringView direction) {
    const int start = m_currentIndex;
    if (start < 0 || m_fileCount <= 0)
        return std::nullopt;
    const SlideDirection step = slideDirectionOf(direction);
    const bool randomDraw = step == SlideDirection::Next && m_settings.RandomOrder == 1;

    // Random draws only end on a picture or on the start: with no picture in the list they would
    // never end, so the list is looked over once first.
    if (randomDraw) {
        bool anyPicture = false;
        for (int i = 0; i < m_fileCount && !anyPicture; ++i)
            anyPicture = isPictureAt(i);
        if (!anyPicture)
            return std::nullopt;
    }
    const std::optional<WalkEnd> end = walk(start, step, randomDraw);
    if (!end)
        return std::nullopt; // the position and the picture stay
    m_currentIndex = end->index;
    if (!end->found)
        return std::nullopt;
    return m_host.loadSlide(m_folder + '/' + m_entries[end->index]);
}

void SlideShow::showListEnd(ListEnd end) {
    if (m_fileCount <= 0)
        return;
    // The walk ends on its start when nothing comes before it, so it starts at the other end.
    const bool first = end == ListEnd::First;
    const std::optional<WalkEnd> found =
        walk(first ? m_fileCount - 1 : 0, first ? SlideDirection::Next : SlideDirection::Previous,
             false);
    if (!found || !found->found)
        return;
    m_currentIndex = found->index;
    if (m_host.loadSlide(m_folder + '/' + m_entries[found->index]) != SlideShowHost::Load::Pending)
        presentSlide();
}

std::optional<SlideShow::WalkEnd> SlideShow::walk(int start, SlideDirection step,
                                                  bool randomDraw) const {
    int index = start;
    // A walk in list order comes back to the start within one pass, unless the start lies
    // outside the list; then one pass is all it takes.
    for (int steps = 0; randomDraw || steps < m_fileCount; ++steps) {
        switch (step) {
        case SlideDirection::Next:
            index = randomDraw ? static_cast<int>(std::floor(m_fileCount * m_random.uniform()))
                               : (index + 1) % m_fileCount;
            break;
        case SlideDirection::Previous:
            if (index == 0)
                index = m_fileCount;
            index = (index - 1) % m_fileCount;
            break;
        case SlideDirection::Current:
            break;
        }
        const bool found = isPictureAt(index);
        if (found || index == start)
            return WalkEnd{index, found};
    }
    return std::nullopt;
}

std::optional<QString> SlideShow::upcomingFile() const {
    if (m_currentIndex < 0 || m_fileCount <= 0 || m_settings.RandomOrder == 1)
        return std::nullopt;
    const std::optional<WalkEnd> end = walk(m_currentIndex, SlideDirection::Next, false);
    if (!end || !end->found)
        return std::nullopt;
    return m_folder + '/' + m_entries[end->index];
}

void SlideShow::Reloj_Timer() {
    DiapoZ(u"S");
}

SlideShow::KeyResult SlideShow::keyPressed(QChar key) {
    switch (key.unicode()) {
    case 27:
        return KeyResult::Close;
    case ' ':
    case 'S':
    case 's':
        DiapoZ(u"S");
        return KeyResult::Handled;
    case '+':
    case '=':
        if (m_delay < kSlowestSlideDelay)
            ++m_delay;
        applyTimer();
        return KeyResult::Handled;
    case '-':
    case '_':
        if (m_delay > kFastestKeyDelay)
            --m_delay;
        applyTimer();
        return KeyResult::Handled;
    case 'A':
    case 'a':
        DiapoZ(u"A");
        return KeyResult::Handled;
    case 'D':
    case 'd':
    case 'P':
    case 'p':
        m_timerRunning = !m_timerRunning;
        applyTimer();
        return KeyResult::Handled;
    default:
        return KeyResult::Ignored;
    }
}
