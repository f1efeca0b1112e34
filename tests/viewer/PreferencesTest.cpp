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

using Refusal = std::optional<TextId>;

// The start-up defaults with these values, a delay left out being 10 seconds, and this password
// protecting them when it is not empty.
Settings stored(const Values& values = kSmall, qint16 language = 0, const QString& password = {}) {
    Settings s = Settings::startupDefaults("/pictures");
    for (int i = 0; i < 6; ++i)
        s.*kSliderFields[i] = static_cast<qint16>(values.value(i, 10));
    s.LanguageOffset = language;
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

// The controls the protection layout moves lie inside the dialog, none over another (the
// resolution and colour lines count as one).
bool movedControlsApart(const QDialog& dialog) {
    QList<QRect> places;
    for (const char* name : {"Idioma", "chkProtect", "Bot_Ok", "Valores", "Resol", "Color"})
        places.append(dialog.findChild<QWidget*>(name)->geometry());
    const QRect colour = places.takeLast();
    places.last() |= colour;
    for (qsizetype i = 0; i < places.size(); ++i) {
        if (!dialog.rect().contains(places[i]))
            return false;
        for (qsizetype j = i + 1; j < places.size(); ++j)
            if (places[i].intersects(places[j]))
                return false;
    }
    return true;
}

Values slidersOf(const PreferencesEditor& editor) {
    return Values(editor.controls().sliders.begin(), editor.controls().sliders.end());
}
} // namespace

class PreferencesTest : public QObject {
    Q_OBJECT

private slots:
    void formatBySumOnly_data() {
        QTest::addColumn<Values>("geometry");
        QTest::addColumn<int>("format");
        QTest::newRow("small") << kSmall << 0;
        QTest::newRow("medium") << kMedium << 1;
        QTest::newRow("large") << Values{3117, 3700, 3742, 535, 382} << 2;
        QTest::newRow("other values summing to 2710") << Values{1000, 1000, 10, 300, 400} << 0;
        QTest::newRow("2709") << Values{500, 500, 909, 420, 380} << 3;
        QTest::newRow("5010") << Values{1430, 1338, 1299, 254, 689} << 3;
        QTest::newRow("11475") << Values{3117, 3700, 3742, 535, 381} << 3;
        QTest::newRow("68246, 2710 if wrapped in 16 bits") << Values{32767, 32767, 2712, 0, 0} << 3;
    }
    void formatBySumOnly() {
        QFETCH(Values, geometry);
        Settings s = stored(geometry);
        QTEST(PreferencesEditor(s).controls().Valores, "format");
    }

    void formatSetsOnlyTheGeometrySliders() {
        Settings s = stored({700, 800, 900, 100, 200, 33});
        s.Proportional = 1;
        const Settings before = s;
        PreferencesEditor editor(s);
        editor.Valores_Click(PreferencesEditor::LargeFormat);
        editor.Valores_Click(PreferencesEditor::CustomFormat);
        QCOMPARE(slidersOf(editor), (Values{3117, 3700, 3742, 535, 382, 33}));
        QVERIFY(editor.controls().chkPropor && !editor.controls().chkAleatorio);
        QCOMPARE(s, before); // nothing stored before OK
    }

    // Stored values outside a slider's range show clamped; OK stores what the sliders hold.
    void outOfRangeValuesClamped() {
        const std::pair<Values, Values> storedAndShown[] = {
            {{1, 49, -5, 0, -32768, 0}, {50, 50, 0, 50, 50, 1}},
            {{6001, 32767, 9000, 5001, 20000, 201}, {6000, 6000, 6000, 5000, 5000, 200}}};
        for (const auto& [values, shown] : storedAndShown) {
            Settings s = stored(values);
            PreferencesEditor editor(s);
            QCOMPARE(slidersOf(editor), shown);
            QVERIFY(!editor.Bot_Ok_Click().refusal);
            QCOMPARE(valuesOf(s), shown);
        }
    }

    void okChecksPasswordsInOrder_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("verification");
        QTest::addColumn<Refusal>("refusal");
        QTest::newRow("only the verification")
            << QString() << "clave" << Refusal(kTextPasswordEmpty);
        QTest::newRow("not verified") << "clave" << QString() << Refusal(kTextVerificationEmpty);
        QTest::newRow("other letter case")
            << "clave" << QString("claVe") << Refusal(kTextPasswordsDiffer);
        QTest::newRow("trailing blank counts")
            << "clave" << QString("clave ") << Refusal(kTextPasswordsDiffer);
        QTest::newRow("equal") << "Nueva clave" << QString("Nueva clave") << Refusal();
    }
    void okChecksPasswordsInOrder() {
        QFETCH(QString, password);
        QFETCH(QString, verification);
        QFETCH(Refusal, refusal);
        Settings s = stored(kSmall, 0, "vieja");
        PreferencesEditor editor(s);
        editor.setSlider(0, 4000);
        editor.setChecks(true, true, false);
        editor.setPasswords(password, verification);
        const Settings before = s;
        QCOMPARE(editor.Bot_Ok_Click().refusal, refusal);
        if (refusal) {
            QCOMPARE(s, before);
            return;
        }
        QCOMPARE(s.ThumbHeight, 4000);
        QVERIFY(s.Proportional == 1 && s.RandomOrder == 1 && s.ImageProtect == 1);
        QCOMPARE(s.ProtectPassword, password);
    }

    // Switching protection off drops the password from the boxes, not from the settings: Esc
    // keeps both as stored, and only OK stores protection off with no password.
    void passwordKeptUntilOk() {
        Settings s = stored(kSmall, 0, "Clave ");
        PreferencesEditor editor(s);
        QVERIFY(!editor.Bot_Ok_Click().refusal); // the unchanged password passes
        QCOMPARE(s.ProtectPassword, QString("Clave "));
        const Settings kept = s;
        editor.ShowProtection(0);
        editor.ShowProtection(1);
        QVERIFY(editor.controls().Text1.isEmpty() && editor.controls().Text2.isEmpty());
        QCOMPARE(s, kept);
        QCOMPARE(editor.Bot_Ok_Click().refusal, Refusal(kTextPasswordEmpty));
        editor.ShowProtection(0);
        QVERIFY(!editor.Bot_Ok_Click().refusal);
        QVERIFY(s.ImageProtect == 0 && s.ProtectPassword.isEmpty());
    }

    // The check box switches between Spanish and English only, and asks for a restart.
    void languageSwitch() {
        const std::tuple<qint16, bool, qint16> cases[] = {
            {0, true, 200}, {200, true, 0}, {7, true, 7}, {200, false, 200}};
        for (const auto& [language, checked, after] : cases) {
            Settings s = stored(kSmall, language);
            PreferencesEditor editor(s);
            editor.setChecks(false, false, checked);
            QCOMPARE(editor.Bot_Ok_Click().restartNotice, checked);
            QCOMPARE(s.LanguageOffset, after);
        }
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
        QCOMPARE(dialog.windowFlags() & (Qt::WindowType_Mask | Qt::WindowMinMaxButtonsHint),
                 Qt::Dialog);                     // without minimise and maximise buttons
        QCOMPARE(dialog.pos(), QPoint(262, 161)); // 5850 x 4170 twips on 800 x 600 pixels
        QCOMPARE(dialog.findChild<QLabel*>("vtempo")->text(), QString("1"));
        QCOMPARE(dialog.findChild<QComboBox*>("Valores")->currentIndex(), 0);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect narrow = dialog.frameGeometry();
        QCOMPARE(dialog.width(), 382); // 5730 twips: the password column lies outside
        for (const char* name : {"lbltxt0", "lbltxt1", "lbltxt2", "Text1", "Text2"})
            QVERIFY2(!dialog.rect().intersects(dialog.findChild<QWidget*>(name)->geometry()), name);
        QVERIFY(movedControlsApart(dialog));
        dialog.findChild<QCheckBox*>("chkProtect")->click();
        QCOMPARE(dialog.width(), 552); // 8280 twips
        QCOMPARE(dialog.frameGeometry().right(), 799);
        QCOMPARE(dialog.frameGeometry().top(), narrow.top());
        auto* text1 = dialog.findChild<QLineEdit*>("Text1");
        QVERIFY(dialog.rect().contains(text1->geometry()));
        // The boxes take a password as long as the prompt asking for it does.
        QCOMPARE(text1->maxLength(), frmpassword({}, 0, module.screen).TxtPassword()->maxLength());
        QVERIFY(movedControlsApart(dialog));

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

    // The Preferences command from the main window's Alt+P goes through the password prompt while
    // protection is on: a wrong password keeps the prompt open, Escape gives up. The dialog, when
    // it opens, is given the medium format and OK, which is stored and lays the grid out anew.
    void preferencesCommand() {
        Window w;
        frmImage& window = w.open();
        w.module.settings.ImageProtect = 1;
        w.module.settings.ProtectPassword = "clave";
        QString finish;   // typed after a wrong password, then Enter; empty: Escape
        QStringList seen; // the windows' titles, and the prompt after each try
        const ModalAnswerer answerer([&](QWidget* modal) {
            if (auto* prompt = qobject_cast<frmpassword*>(modal)) {
                seen << prompt->windowTitle();
                for (const QString& attempt : {QString("Clave"), finish}) {
                    prompt->TxtPassword()->clear();
                    QTest::keyClicks(prompt->TxtPassword(), attempt);
                    QTest::keyClick(prompt->TxtPassword(),
                                    attempt.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
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
        auto command = [&](const QString& password) {
            finish = password;
            seen.clear();
            window.activateWindow(); // again after a modal window
            if (!QTest::qWaitForWindowActive(&window))
                return Values{}; // Alt+P would reach no menu
            QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
            Settings reloaded = Settings::startupDefaults("/");
            LoadSettings(reloaded, w.store);
            return valuesOf(reloaded).mid(0, 5);
        };
        w.module.LayoutChanged = false;
        window.show();
        const QString prompt = QString::fromUtf8("Ingrese Contraseña...");
        QCOMPARE(command({}), kSmall.mid(0, 5));
        QCOMPARE(seen, (QStringList{prompt, "open", "closed"}));
        QVERIFY(!w.module.LayoutChanged);
        const Values afterPassword = command("clave");
        QCOMPARE(seen, (QStringList{prompt, "open", "closed", "Preferencias"}));
        QCOMPARE(afterPassword, kMedium.mid(0, 5));
        QVERIFY(w.module.LayoutChanged);
        window.browser().File1().setListIndex(0); // the next page fill lays the grid out anew
        QVERIFY(w.pageFilled());
        QCOMPARE(window.browser().cells().size(), 15u);
        w.module.settings.ImageProtect = 0;
        command("clave");
        QCOMPARE(seen, QStringList{"Preferencias"});
    }
};

QTEST_MAIN(PreferencesTest)
#include "PreferencesTest.moc"
