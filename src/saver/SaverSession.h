#pragma once

#include "SlideShow.h"

#include <QStringList>

struct SaverModule;
class SettingsStore;

// The screen saver's show without its window: the settings loaded when it opens and saved when it
// closes, the hidden list of the folder it shows, the random first entry, and the count of
// activity that the show does not handle, which ends the show when it runs over.
class SaverSession {
public:
    SaverSession(SaverModule& module, SettingsStore& store);

    // The viewer's start-up defaults, then the stored record and the exchange file; then the
    // list of ImagePath through ImageFilter and a random first entry. False, with the rest
    // skipped, when the folder cannot be listed.
    bool load(const QString& currentDirectory, RandomSource& random);
    const QStringList& entries() const { return m_entries; }
    // Saves the settings, once however often the window is closed; false when they could not be
    // stored.
    bool unload();

    enum class Verdict { GoOn, EndSaver };
    // A key, by what the show made of it: Escape ends, a key of the show's table starts the count
    // again, any other key counts; past thirty the show ends.
    Verdict keyPressed(SlideShow::KeyResult key);
    // A move or a press of the mouse: past thirty the show ends, otherwise it counts.
    Verdict mouseEvent();
    void resetActivity() { m_activityCount = 0; }
    int ActivityCount() const { return m_activityCount; }

private:
    SaverModule& m_module;
    SettingsStore& m_store;
    QStringList m_entries;
    int m_activityCount = 0;
    bool m_unloaded = false;
};
