#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide settings record of both programs. The first sixteen fields are the stored
// record (their order is the stored order); the last four live outside it: ImageProtect,
// ImagePath and ImageFilter survive only through the exchange file, WindowsDir is found from the
// environment at every load and save.
struct Settings {
    QString CurrentFolder;
    qint16 ThumbHeight = 0;
    qint16 ThumbWidth = 0;
    qint16 CaptionWidth = 0;
    qint16 SpacingH = 0;
    qint16 SpacingV = 0;
    qint16 LanguageOffset = 0;
    qint16 ZoomDivisor = 0;
    bool ZoomMode = false;
    QString CopyFolder;
    QString Reserved11;
    qint16 ImageTempo = 0;
    quint8 Proportional = 0;
    quint8 RandomOrder = 0;
    QString ProtectPassword;
    QString Reserved16;

    quint8 ImageProtect = 0;
    QString ImagePath;
    QString ImageFilter;
    QString WindowsDir;

    // The values the viewer's start-up puts into the record before it loads the stored one.
    static Settings startupDefaults(const QString& currentDirectory);

    // Values no program could use, left by a program that started without defaults (zero sizes
    // would lay out a grid of nothing and divide by a zero zoom level) or by a hand-edited record
    // (thumbnail geometry below what the preferences allow would give tens of thousands of
    // cells; a language other than Spanish or English would take every text from the wrong
    // entries). Puts the start-up defaults back into the thumbnail geometry, the zoom level and
    // the language when they cannot be used; true if it did.
    bool repairUnusableValues();

    bool operator==(const Settings&) const = default;
};

// The pattern of every picture format, used by the screen saver and the "All Formats" filter.
inline constexpr char kAllPictureFormatsPattern[] =
    "*.ico;*.bmp;*.wmf;*.rle;*.dib;*.jpg;*.dlb;*.jpeg;*.gif;*.emf;*.cur;*.dps";
