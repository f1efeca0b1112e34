#pragma once

#include <QString>
#include <memory>

// Keeps the desktop's screen saver from starting, through the freedesktop screen-saver service on
// the session bus (org.freedesktop.ScreenSaver), from inhibit() until the object goes. Where there
// is no session bus or no such service, nothing happens. No call waits for its answer: a cookie
// that comes after the object has gone is given back at once.
class ScreenSaverInhibitor {
public:
    explicit ScreenSaverInhibitor(QString reason);
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    // Asks for the inhibition; once is enough, later calls change nothing.
    void inhibit();

private:
    struct Inhibition;
    QString m_reason;
    std::shared_ptr<Inhibition> m_inhibition;
};
