#pragma once

#include <QString>

// Keeps a second screen saver from running: an exclusive flock on a file. The system releases it
// when the process ends, however it ends, so a crashed or killed saver leaves nothing that blocks
// the next one; the file itself may stay.
class SingleInstanceLock {
public:
    enum class State {
        Acquired,      // this is the only saver
        HeldByAnother, // another saver runs: end at once
        Unavailable,   // the lock file cannot be opened: run unguarded rather than never
    };

    explicit SingleInstanceLock(const QString& path);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    State state() const { return m_state; }

    // "lumivart-saver.lock" in $XDG_RUNTIME_DIR, or in the settings folder when there is no
    // runtime folder.
    static QString defaultPath(const QString& settingsFolder);

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
};
