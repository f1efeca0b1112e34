#pragma once

#include <QString>

// The program's string table, carried by both programs. A language-dependent text is entry
// LanguageOffset + id, where id is the Spanish entry (1 to 98) and the offset 0 or 200.
namespace StringTable {
// The text of an entry; empty for an id the table does not hold.
QString entry(int id);
} // namespace StringTable

inline constexpr qint16 kSpanishOffset = 0;
inline constexpr qint16 kEnglishOffset = 200;

QString LocalText(int id, qint16 languageOffset);

// Help topics of the windows, added to LanguageOffset like the texts.
enum HelpTopic : int {
    kHelpMainWindow = 1,
    kHelpAboutBox = 3,
    kHelpFullScreen = 4,
    kHelpScreenSaver = 5,
    kHelpPreferences = 6,
    kHelpPasswordPrompt = 7,
    kHelpCopyDialog = 8,
};
