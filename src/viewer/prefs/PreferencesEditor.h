#pragma once

#include "StoredFields.h"

#include <QPoint>
#include <QString>
#include <array>
#include <optional>

struct Settings;
enum TextId : int;

// The preferences dialog without its widgets: the values its controls hold, the predefined
// formats, the two layouts of the password column, and OK's checks and storing. The dialog
// shows these values and hands the user's changes back.
class PreferencesEditor {
public:
    // The items of the format list, Valores.
    enum Format : int { SmallFormat, MediumFormat, LargeFormat, CustomFormat };

    // The values the dialog's controls hold.
    struct Controls {
        std::array<qint16, StoredFields::kSliderCount> sliders{}; // ImgAltV ... wtempo
        bool chkPropor = false;
        bool chkAleatorio = false;
        bool chkProtect = false;
        bool Idioma = false; // checked: switch the language at OK
        QString Text1;       // the password
        QString Text2;       // its verification
        int Valores = CustomFormat;
    };

    // The places, in twips, that depend on whether the password column shows.
    struct ProtectionLayout {
        int dialogWidth; // outer width; the password column lies beyond a narrow dialog
        int idiomaLeft;
        int chkProtectLeft;
        QPoint okPlace;
        int displayFactsLeft; // the resolution and colour lines
    };

    struct OkOutcome {
        // Why a password is refused: shown, nothing stored, the dialog stays.
        std::optional<TextId> refusal;
        bool restartNotice = false; // the language box was checked: tell the user to restart
    };

    // Opening: the password column for the stored protection, the stored values, and the
    // format their sum names. Values outside a slider's range are held clamped.
    explicit PreferencesEditor(Settings& settings);

    const Controls& controls() const { return m_controls; }
    const ProtectionLayout& layout() const { return m_layout; }

    void setSlider(int slider, int value);
    void setChecks(bool proportional, bool randomOrder, bool switchLanguage);
    void setPasswords(const QString& password, const QString& verification);

    // 1 shows the password column filled with the password in effect, so an unchanged password
    // passes OK; any other state hides it and drops the password in effect, so that switching
    // protection on again asks for a new one. The settings keep theirs until OK.
    void ShowProtection(int state);
    // A predefined format sets the five geometry sliders; Custom (or none) keeps them.
    void Valores_Click(int index);
    // Checks the passwords in order, switches the language and stores the controls.
    OkOutcome Bot_Ok_Click();

    // The predefined format whose sum the five stored geometry values make, else Custom.
    static int formatOf(const Settings& settings);
    static ProtectionLayout layoutFor(bool protectionOn);
    // 0 and 200 trade places; any other value stays.
    static qint16 otherLanguage(qint16 languageOffset);

private:
    Settings& m_settings;
    QString m_password; // the stored password until protection is switched off
    Controls m_controls;
    ProtectionLayout m_layout;
};
