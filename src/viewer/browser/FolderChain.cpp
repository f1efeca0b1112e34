#include "FolderChain.h"

#include "ImagePatterns.h"
#include "Settings.h"
#include "StringTable.h"

#include <QFileInfo>

namespace {

// The pattern box's texts, in the order it lists them, with the pattern each one stands for.
struct PatternText {
    TextId text;
    const char* pattern;
};
const PatternText kPatternTexts[] = {{kTextAllFormats, kAllPictureFormatsPattern},
                                     {kTextAllFiles, "*.*"},
                                     {kTextBitmapFiles, "*.bmp;*.dib"},
                                     {kTextJpegFiles, "*.jpg;*.jpeg"},
                                     {kTextGifFiles, "*.gif"},
                                     {kTextIconFiles, "*.ico;*.cur"},
                                     {kTextMetafiles, "*.wmf;*.emf"},
                                     {kTextRleFiles, "*.rle"}};

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

QStringList FolderChain::patternBoxTexts(qint16 language) {
    QStringList texts;
    for (const PatternText& item : kPatternTexts)
        texts.append(LocalText(item.text, language));
    return texts;
}

void FolderChain::setPatternText(const QString& text, qint16 language) {
    const QString trimmed = text.trimmed();
    for (const PatternText& item : kPatternTexts) {
        if (trimmed == LocalText(item.text, language)) {
            m_file1.setPattern(QString::fromLatin1(item.pattern));
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
