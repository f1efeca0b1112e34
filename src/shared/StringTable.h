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

// The texts the programs show, by their Spanish entry.
enum TextId : int {
    kTextAbout = 1,
    kTextClose = 2,
    kTextOk = 3,
    kTextPreferences = 4,
    kTextModifySettings = 5,
    kTextImageHeight = 6,
    kTextImageWidth = 7,
    kTextCaptionWidth = 8,
    kTextHorizontalSpacing = 9,
    kTextVerticalSpacing = 10,
    kTextSlideDelay = 11,
    kTextAllFormats = 12,
    kTextAllFiles = 13,
    kTextBitmapFiles = 14,
    kTextJpegFiles = 15,
    kTextGifFiles = 16,
    kTextIconFiles = 17,
    kTextMetafiles = 18,
    kTextRleFiles = 19,
    kTextOtherLanguage = 20, // "English" in Spanish, "Español" in English
    kTextRestartNeeded = 21,
    kTextAttention = 22,
    kTextFileViewing = 23,
    kTextDeviceNotReady = 25,
    kTextSystemInfoUnavailable = 28,
    kTextSystemInfo = 29,
    kTextCopyToClipboard = 36,
    kTextFormatNotCompatible = 37,
    kTextOperationFailed = 38,
    kTextClipboard = 40,
    kTextCopyTo = 41,
    kTextCopy = 42,
    kTextCopyDestination = 43, // "Copiar en:", the label of the destination folder
    kTextFileName = 44,
    kTextSpecifyPathAndName = 45,
    kTextFileExists = 46,
    kTextReplace = 47,
    kTextOperationSucceeded = 48,
    kTextCopyOntoItself = 49,
    kTextProperties = 50,
    kTextFileInformation = 51,
    kTextPropertyFile = 52,
    kTextPropertyPath = 53,
    kTextPropertySize = 54,
    kTextPropertyCreated = 55,
    kTextPropertyLastAccess = 56,
    kTextPropertyLastModification = 57,
    kTextRename = 58,
    kTextChangeFileName = 59,
    kTextNewName = 60,
    kTextNameMustDiffer = 61,
    kTextZoomMode = 62,
    kTextFullScreen = 64,
    kTextMoreZoom = 65,
    kTextLessZoom = 66,
    kTextView = 67,
    kTextSelectDrive = 68,
    kTextSelectFolder = 69,
    kTextSelectPattern = 70,
    kTextSelectFile = 71,
    kTextPreviousPage = 72,
    kTextNextPage = 73,
    kTextSmallFormat = 74,
    kTextMediumFormat = 75,
    kTextLargeFormat = 76,
    kTextCustomFormat = 77,
    kTextPresetFormats = 78,
    kTextSelectLanguage = 79,
    kTextSlides = 80,
    kTextHelp = 81,
    kTextHelpContents = 82,
    kTextProportionalFullScreen = 83,
    kTextProportionalView = 84,
    kTextRefresh = 87,
    kTextRandomSlides = 88,
    kTextShowSlidesRandomly = 89,
    kTextProtectWithPassword = 90,
    kTextProtectionCovers = 91, // what the password protects: preferences and screen saver
    kTextPasswordInstructions = 92,
    kTextPassword = 93,
    kTextVerifyPassword = 94,
    kTextPasswordEmpty = 95,
    kTextVerificationEmpty = 96,
    kTextPasswordsDiffer = 97,
    kTextEnterPassword = 98,
};

QString LocalText(TextId id, qint16 languageOffset);

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
