#include "SaverSession.h"

#include "FileList.h"
#include "SaverModule.h"
#include "SettingsPersistence.h"

#include <QFileInfo>
#include <cmath>

namespace {
constexpr int kAbsorbedActivity = 30;
} // namespace

SaverSession::SaverSession(SaverModule& module, SettingsStore& store)
    : m_module(module), m_store(store) {}

bool SaverSession::load(const QString& currentDirectory, RandomSource& random) {
    m_activityCount = 0;
    Settings& s = m_module.settings;
    // With the viewer's defaults under the stored record, a saver run before the viewer ever
    // saved stores usable thumbnail sizes, not zeros.
    s = Settings::startupDefaults(currentDirectory);
    LoadSettings(s, m_store);
    // A hand-edited record may hold values nothing can show (a language other than the two);
    // the saver repairs them as the viewer does.
    s.repairUnusableValues();
    const QFileInfo folder(s.ImagePath);
    if (!folder.isDir() || !folder.isReadable() || !folder.isExecutable())
        return false;
    FileList list(s.ImagePath);
    list.setPattern(s.ImageFilter);
    m_entries = list.entries();
    m_module.FileCount = list.count();
    // The show starts at a random entry whatever the order; list order goes on from there.
    m_module.CurrentIndex = static_cast<int>(std::floor(m_module.FileCount * random.uniform()));
    return true;
}

bool SaverSession::unload() {
    if (m_unloaded)
        return true;
    m_unloaded = true;
    return SaveSettings(m_module.settings, m_store).written;
}

SaverSession::Verdict SaverSession::keyPressed(SlideShow::KeyResult key) {
    switch (key) {
    case SlideShow::KeyResult::Close:
        return Verdict::EndSaver;
    case SlideShow::KeyResult::Handled:
        m_activityCount = 0;
        break;
    case SlideShow::KeyResult::Ignored:
        ++m_activityCount;
        break;
    }
    return m_activityCount > kAbsorbedActivity ? Verdict::EndSaver : Verdict::GoOn;
}

SaverSession::Verdict SaverSession::mouseEvent() {
    if (m_activityCount > kAbsorbedActivity)
        return Verdict::EndSaver;
    ++m_activityCount;
    return Verdict::GoOn;
}
