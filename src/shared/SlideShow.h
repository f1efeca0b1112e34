#pragma once

#include <QRandomGenerator>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QStringList>
#include <QStringView>
#include <optional>

struct Settings;

// A source of uniform random numbers in [0, 1), handed in so the walk can be driven in tests.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double uniform() = 0;
};

// Random numbers from a seeded generator.
class GeneratorRandom final : public RandomSource {
public:
    explicit GeneratorRandom(quint32 seed) : m_generator(seed) {}
    double uniform() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator;
};

// The direction of a slide step: "S" the next entry, "A" the previous one, anything else the
// current entry.
enum class SlideDirection { Next, Previous, Current };
SlideDirection slideDirectionOf(QStringView letter);

// Where a picture of the given size goes on a screen: the whole screen when stretched; otherwise
// a picture wider than tall fills the screen's width and one taller than wide (or square) its
// height, centred on the other side, which may then overflow the screen.
QRectF slideRectangle(QSizeF picture, QSizeF screen, bool proportional);

// The slide delay's limits: the keys move it between 2 and 200 seconds.
inline constexpr qint16 kSlowestSlideDelay = 200;
inline constexpr qint16 kFastestKeyDelay = 2;
// The slide timer's period. A delay below one second (0 before any preferences were saved) is
// taken as the fastest delay the keys give, so the timer never spins.
int slideTimerPeriodMs(qint16 delaySeconds);

// What the slide show's window does for the show: loads and places pictures, runs its timer.
class SlideShowHost {
public:
    virtual ~SlideShowHost() = default;

    // How a load began: the slide holds the file's picture now, it could not be read (the slide
    // keeps its picture), or it is being read and the host calls SlideShow::presentSlide when the
    // load has ended either way.
    enum class Load { Ready, Failed, Pending };

    // Gives the slide a picture already at hand instead of walking the list (the viewer's
    // preview); false when there is none to take.
    virtual bool takeWaitingPicture() { return false; }
    virtual Load loadSlide(const QString& path) = 0;
    // The natural size of the slide's picture; empty when it has none.
    virtual QSize slidePictureSize() const = 0;
    virtual QSizeF screenSize() const = 0;
    virtual void hideSlide() = 0;
    virtual void showSlide(const QRectF& rect) = 0;
    virtual void timerChanged(bool running, int periodMs) = 0;
};

// The slide show over a folder's list: the walk to the next or previous picture, the timer, and
// the step, delay and pause keys. Shared by the viewer's full-screen window and the screen saver.
class SlideShow {
public:
    SlideShow(SlideShowHost& host, Settings& settings, int& currentIndex, RandomSource& random);

    // The list walked: its entries, the count fixed when the show opened, and their folder.
    void setList(QStringList entries, int fileCount, QString folder);
    // Switches the timer on or off at the current delay.
    void startTimer(bool running);

    // Shows a picture: the waiting one if the host has it, else the one the walk finds. The
    // picture appears when its load has ended; nothing here waits for it.
    void DiapoZ(QStringView direction);
    // Moves the current position to the next picture entry in the direction and starts loading
    // it; nothing when no picture entry was found.
    std::optional<SlideShowHost::Load> OtraD(QStringView direction);
    void Reloj_Timer();
    // Lays the slide's picture out on the screen and shows it; the screen stays black while the
    // slide has no picture.
    void presentSlide();

    // Shows the first or the last picture entry of the list, in list order whatever the order
    // of the show; nothing changes when the list holds no picture.
    enum class ListEnd { First, Last };
    void showListEnd(ListEnd end);

    enum class KeyResult { Handled, Close, Ignored };
    KeyResult keyPressed(QChar key);

    // The file the next step forward will load, when the order is the list's: a window may read
    // it ahead of time. Nothing in random order or when no picture lies ahead.
    std::optional<QString> upcomingFile() const;

    bool timerRunning() const { return m_timerRunning; }
    int timerPeriodMs() const { return slideTimerPeriodMs(m_delay); }

private:
    struct WalkEnd {
        int index;
        bool found; // the entry at index is a picture
    };
    // Steps from the start until a picture or the start itself is reached; nothing when one pass
    // over the list found neither.
    std::optional<WalkEnd> walk(int start, SlideDirection step, bool randomDraw) const;
    bool isPictureAt(int index) const;
    void applyTimer();

    SlideShowHost& m_host;
    Settings& m_settings;
    int& m_currentIndex;
    qint16& m_delay;
    RandomSource& m_random;
    QStringList m_entries;
    int m_fileCount = 0;
    QString m_folder;
    bool m_timerRunning = false;
};
