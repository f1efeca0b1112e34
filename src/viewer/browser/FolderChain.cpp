#include "FolderChain.h"

#include "ImagePatterns.h"
#include "Settings.h"
#include "StringTable.h"

#include <QFileInfo>

namespace {

constexpr int kPatternTextFirstId = 12;
constexpr int kPatternTextCount = 8;

// The patterns of the pattern box's eight texts, in the order of the texts (ids 12 to 19).
const char* const kPatternOfText[kPatternTextCount] = {
    kAllPictureFormatsPattern, "*.*", "*.bmp;*.dib", "*.jpg;*.jpeg",
    "*.gif",                   "*.ico;*.cur", "*.wmf;*.emf", "*.rle"};

} // namespace

FolderChain::FolderChain(VolumeTable volumes, const QString& currentDirectory)
    : m_volumes(std::move(volumes)), m_drive1(m_volumes), m_dir1(m_volumes, currentDirectory),
      m_file1(m_dir1.path()), m_startFolder(m_dir1.path()) {
    m_drive1.setDrive(m_startFolder);
}

void FolderChain::restoreFolder(const QString& folder) {
    if (m_dir1.setPath(folder))
        m_drive1.setDrive(folder);
}

bool FolderChain::showPath(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    if (!info.exists() || !m_dir1.setPath(folder))
        return false;
    m_drive1.setDrive(m_dir1.path());
    if (info.isDir())
        return true;
    const int position = static_cast<int>(m_file1.entries().indexOf(info.fileName()));
    if (position >= 0)
        m_file1.setListIndex(position);
    return true;
}

void FolderChain::setPatternText(const QString& text, qint16 language) {
    const QString trimmed = text.trimmed();
    for (int i = 0; i < kPatternTextCount; ++i) {
        if (trimmed == LocalText(kPatternTextFirstId + i, language)) {
            m_file1.setPattern(QString::fromLatin1(kPatternOfText[i]));
            return;
        }
    }
    m_file1.setPattern(text);
}

void FolderChain::refresh() {
    m_dir1.refresh();
    m_file1.refresh();
}

QStringList FolderChain::pictureNames(int from, int count) const {
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = m_file1.entry(from + i);
        if (isPictureName(name))
            names.append(name);
    }
    return names;
}
