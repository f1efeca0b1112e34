#include "MainWindowFixture.h"
#include "ModalAnswerer.h"
#include "PreferencesEditor.h"
#include "StringTable.h"
#include "frmPrefer.h"
#include "frmpassword.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// ThumbHeight, ThumbWidth, CaptionWidth, SpacingH, SpacingV and ImageTempo.
using Values = QList<int>;
qint16 Settings::*const kSliderFields[] = {&Settings::ThumbHeight,  &Settings::ThumbWidth,
                                           &Settings::CaptionWidth, &Settings::SpacingH,
                                           &Settings::SpacingV,     &Settings::ImageTempo};

const Values kSmall{500, 500, 910, 420, 380, 10};
const Values kMedium{1430, 1338, 1299, 254, 688, 10};

// The start-up defaults with these values, a delay left out being 10 seconds, and this password
// protecting them when it is not empty.
Settings stored(const Values& values, const QString& password = {}) {
    Settings s = Settings::startupDefaults("/pictures");
    for (int i = 0; i < 6; ++i)
        s.*kSliderFields[i] = static_cast<qint16>(values.value(i, 10));
    s.ImageProtect = password.isEmpty() ? 0 : 1;
    s.ProtectPassword = password;
    return s;
}

Values valuesOf(const Settings& s) {
    Values values;
    for (auto field : kSliderFields)
        values.append(s.*field);
    return values;
}

} // namespace

class PreferencesTest : public QObject {
    Q_OBJECT

private slots:
    // The format list shows the format whose sizes add up to the stored ones, or custom.
    void formatBySumOnly() {
        const std::pair<Values, int> storedAndFormat[] = {
            {kSmall, 0},
            {kMedium, 1},
            {{3117, 3700, 3742, 535, 382}, 2},
            {{1000, 1000, 10, 300, 400}, 0},  // other values summing to 2710
            {{500, 500, 909, 420, 380}, 3},   // 2709
            {{32767, 32767, 2712, 0, 0}, 3}}; // 68246, 2710 if wrapped in 16 bits
        for (const auto& [values, format] : storedAndFormat) {
            Settings s = stored(values);
            QCOMPARE(PreferencesEditor(s).controls().Valores, format);
        }
    }

    // Stored values outside a slider's range show clamped; OK stores what the sliders hold.
    void outOfRangeValuesClamped() {
        const std::pair<Values, Values> storedAndShown[] = {
            {{1, 49, -5, 0, -32768, 0}, {50, 50, 0, 50, 50, 1}},
            {{6001, 32767, 9000, 5001, 20000, 201}, {6000, 6000, 6000, 5000, 5000, 200}}};
        for (const auto& [values, shown] : storedAndShown) {
            Settings s = stored(values);
            PreferencesEditor editor(s);
            const auto& sliders = editor.controls().sliders;
            QCOMPARE(Values(sliders.begin(), sliders.end()), shown);
            QVERIFY(!editor.Bot_Ok_Click().refusal);
            QCOMPARE(valuesOf(s), shown);
        }
    }

    // OK refuses, in this order, an empty password, an empty verification and two passwords
    // that differ (letter case counts), storing nothing. Switching protection off empties the
    // boxes but not the settings; only OK stores it off, with no password.
    void okChecksPasswords() {
        Settings s = stored(kSmall, "Clave ");
        PreferencesEditor editor(s);
        QVERIFY(!editor.Bot_Ok_Click().refusal); // the unchanged password passes
        QCOMPARE(s.ProtectPassword, QString("Clave "));
        const Settings before = s;
        editor.setSlider(0, 4000);
        editor.setChecks(true, true, false);
        const std::tuple<QString, QString, TextId> refused[] = {
            {"", "clave", kTextPasswordEmpty},
            {"clave", "", kTextVerificationEmpty},
            {"clave", "claVe", kTextPasswordsDiffer}};
        for (const auto& [password, verification, refusal] : refused) {
            editor.setPasswords(password, verification);
            QCOMPARE(editor.Bot_Ok_Click().refusal, std::optional(refusal));
            QCOMPARE(s, before);
        }
        editor.ShowProtection(0);
        editor.ShowProtection(1);
        QVERIFY(editor.controls().Text1.isEmpty() && editor.controls().Text2.isEmpty());
        QCOMPARE(s, before);
        editor.setPasswords("Nueva clave", "Nueva clave");
        QVERIFY(!editor.Bot_Ok_Click().refusal);
        QCOMPARE(s.ThumbHeight, 4000);
        QVERIFY(s.Proportional == 1 && s.RandomOrder == 1 && s.ImageProtect == 1);
        QCOMPARE(s.ProtectPassword, QString("Nueva clave"));
        editor.ShowProtection(0);
        QVERIFY(!editor.Bot_Ok_Click().refusal);
        QVERIFY(s.ImageProtect == 0 && s.ProtectPassword.isEmpty());
    }

    // ----- The dialog -----

    // Placed narrow right of centre on 800 x 600 pixels, the dialog widens when protection is
    // switched on, moving left just enough to keep its right edge on the screen, and shows the
    // password column. OK refuses a password not verified, and after a switch of language says
    // in the new one that a restart is needed.
    void dialogLayoutAndOk() {
        Module1 module;
        module.settings = stored({500, 500, 910, 420, 380, 0});
        module.LayoutChanged = false;
        frmPrefer dialog(module);
        QCOMPARE(dialog.pos(), QPoint(262, 161)); // 5850 x 4170 twips on 800 x 600 pixels
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect narrow = dialog.frameGeometry();
        auto* text1 = dialog.findChild<QLineEdit*>("Text1");
        QCOMPARE(dialog.width(), 382); // 5730 twips: the password column (6000 on) lies outside
        dialog.findChild<QCheckBox*>("chkProtect")->click();
        QCOMPARE(dialog.width(), 552); // 8280 twips
        QCOMPARE(dialog.frameGeometry().right(), 799);
        QCOMPARE(dialog.frameGeometry().top(), narrow.top());
        // The boxes take a password as long as the prompt asking for it does.
        QCOMPARE(text1->maxLength(), frmpassword({}, 0, module.screen).TxtPassword()->maxLength());

        ModalAnswerer answerer;
        auto* ok = dialog.findChild<QPushButton*>("Bot_Ok");
        QTest::keyClicks(text1, "nueva");
        ok->click();
        QVERIFY(dialog.isVisible());
        QTest::keyClicks(dialog.findChild<QLineEdit*>("Text2"), "nueva");
        dialog.findChild<QCheckBox*>("Idioma")->setChecked(true);
        emit dialog.findChild<QComboBox*>("Valores")->activated(1);
        QCOMPARE(dialog.findChild<QLabel*>("vespvv")->text(), QString("688"));
        ok->click();
        QCOMPARE(answerer.messages(),
                 (QStringList{"Atención|Debe Verificar la Contraseña...",
                              "Attention|You must restart the Aplication..."}));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(module.LayoutChanged);
        QCOMPARE(module.settings.ProtectPassword, QString("nueva"));
    }

    // Alt+P in the main window asks for the password while protection is on: a wrong one keeps
    // the prompt open, the right one opens the dialog, whose medium format and OK are stored.
    // Without protection the dialog opens at once.
    void preferencesCommand() {
        Window w;
        frmImage& window = w.open();
        w.module.settings.ImageProtect = 1;
        w.module.settings.ProtectPassword = "clave";
        QStringList seen; // the windows' titles, and the prompt's state after each password
        const ModalAnswerer answerer([&](QWidget* modal) {
            if (auto* prompt = qobject_cast<frmpassword*>(modal)) {
                seen << prompt->windowTitle();
                for (const char* attempt : {"Clave", "clave"}) {
                    prompt->TxtPassword()->clear();
                    QTest::keyClicks(prompt->TxtPassword(), attempt);
                    QTest::keyClick(prompt->TxtPassword(), Qt::Key_Return);
                    seen << (prompt->isVisible() ? "open" : "closed");
                }
                return true;
            }
            if (auto* preferences = qobject_cast<frmPrefer*>(modal)) {
                seen << preferences->windowTitle();
                emit preferences->findChild<QComboBox*>("Valores")->activated(1);
                preferences->findChild<QPushButton*>("Bot_Ok")->click();
                return true;
            }
            return false;
        });
        auto command = [&] {
            seen.clear();
            window.activateWindow(); // again after a modal window; Alt+P needs the active window
            const bool active = QTest::qWaitForWindowActive(&window);
            QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
            return active;
        };
        window.show();
        QVERIFY(command());
        QCOMPARE(seen, (QStringList{QString::fromUtf8("Ingrese Contraseña..."), "open", "closed",
                                    "Preferencias"}));
        Settings reloaded = Settings::startupDefaults("/");
        LoadSettings(reloaded, w.store);
        QCOMPARE(valuesOf(reloaded).mid(0, 5), kMedium.mid(0, 5));
        w.module.settings.ImageProtect = 0;
        QVERIFY(command());
        QCOMPARE(seen, QStringList{"Preferencias"});
    }
};

QTEST_MAIN(PreferencesTest)
#include "PreferencesTest.moc"
