#include "MainWindowFixture.h"
#include "ModalAnswerer.h"
#include "Module1.h"
#include "PreferencesEditor.h"
#include "StringTable.h"
#include "frmPrefer.h"
#include "frmpassword.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {
// ThumbHeight, ThumbWidth, CaptionWidth, SpacingH, SpacingV and ImageTempo.
using Values = QList<int>;
qint16 Settings::*const kSliderFields[] = {&Settings::ThumbHeight,  &Settings::ThumbWidth,
                                           &Settings::CaptionWidth, &Settings::SpacingH,
                                           &Settings::SpacingV,     &Settings::ImageTempo};

const Values kSmall{500, 500, 910, 420, 380, 10};

using Refusal = std::optional<TextId>;

// The start-up defaults with these values; a delay left out is 10 seconds.
Settings stored(const Values& values = kSmall, qint16 language = 0) {
    Settings s = Settings::startupDefaults("/pictures");
    for (int i = 0; i < 6; ++i)
        s.*kSliderFields[i] = static_cast<qint16>(values.value(i, 10));
    s.LanguageOffset = language;
    return s;
}

Settings protectedBy(const QString& password) {
    Settings s = stored();
    s.ImageProtect = 1;
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
    auto place = [&dialog](const char* name) {
        return dialog.findChild<QWidget*>(name)->geometry();
    };
    const QList<QRect> places{place("Idioma"), place("chkProtect"), place("Bot_Ok"),
                              place("Valores"), place("Resol") | place("Color")};
    for (qsizetype i = 0; i < places.size(); ++i) {
        if (!dialog.rect().contains(places[i]))
            return false;
        for (qsizetype j = i + 1; j < places.size(); ++j) {
            if (places[i].intersects(places[j]))
                return false;
        }
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
        QTest::newRow("small") << Values{500, 500, 910, 420, 380} << 0;
        QTest::newRow("medium") << Values{1430, 1338, 1299, 254, 688} << 1;
        QTest::newRow("large") << Values{3117, 3700, 3742, 535, 382} << 2;
        QTest::newRow("other values summing to 2710") << Values{1000, 1000, 10, 300, 400} << 0;
        QTest::newRow("2709") << Values{500, 500, 909, 420, 380} << 3;
        QTest::newRow("2711") << Values{500, 500, 911, 420, 380} << 3;
        QTest::newRow("5008") << Values{1430, 1338, 1299, 254, 687} << 3;
        QTest::newRow("5010") << Values{1430, 1338, 1299, 254, 689} << 3;
        QTest::newRow("11475") << Values{3117, 3700, 3742, 535, 381} << 3;
        QTest::newRow("11477") << Values{3117, 3700, 3742, 535, 383} << 3;
        QTest::newRow("68246, 2710 if wrapped in 16 bits") << Values{32767, 32767, 2712, 0, 0} << 3;
    }
    void formatBySumOnly() {
        QFETCH(Values, geometry);
        QFETCH(int, format);
        Settings s = stored(geometry);
        QCOMPARE(PreferencesEditor(s).controls().Valores, format);
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
    void outOfRangeValuesClamped_data() {
        QTest::addColumn<Values>("values");
        QTest::addColumn<Values>("shown");
        QTest::newRow("below") << Values{1, 49, -5, 0, -32768, 0} << Values{50, 50, 0, 50, 50, 1};
        QTest::newRow("above") << Values{6001, 32767, 9000, 5001, 20000, 201}
                               << Values{6000, 6000, 6000, 5000, 5000, 200};
    }
    void outOfRangeValuesClamped() {
        QFETCH(Values, values);
        QFETCH(Values, shown);
        Settings s = stored(values);
        PreferencesEditor editor(s);
        QCOMPARE(slidersOf(editor), shown);
        QVERIFY(!editor.Bot_Ok_Click().refusal);
        QCOMPARE(valuesOf(s), shown);
    }

    void okChecksPasswordsInOrder_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("verification");
        QTest::addColumn<Refusal>("refusal");
        QTest::newRow("both empty") << QString() << QString() << Refusal(kTextPasswordEmpty);
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
        Settings s = protectedBy("vieja");
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
        Settings s = protectedBy("Clave ");
        PreferencesEditor editor(s);
        QVERIFY(!editor.Bot_Ok_Click().refusal); // the unchanged password passes
        QCOMPARE(s.ProtectPassword, QString("Clave "));
        const Settings stored = s;
        editor.ShowProtection(0);
        QCOMPARE(s, stored);
        editor.ShowProtection(1);
        QVERIFY(editor.controls().Text1.isEmpty() && editor.controls().Text2.isEmpty());
        QCOMPARE(s, stored);
        QCOMPARE(editor.Bot_Ok_Click().refusal, Refusal(kTextPasswordEmpty));
        editor.ShowProtection(0);
        QVERIFY(!editor.Bot_Ok_Click().refusal);
        QVERIFY(s.ImageProtect == 0 && s.ProtectPassword.isEmpty());
    }

    void languageSwitch_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("after");
        QTest::newRow("Spanish to English") << 0 << true << 200;
        QTest::newRow("English to Spanish") << 200 << true << 0;
        QTest::newRow("another value stays") << 7 << true << 7;
        QTest::newRow("unchecked") << 200 << false << 200;
    }
    void languageSwitch() {
        QFETCH(int, language);
        QFETCH(bool, checked);
        QFETCH(int, after);
        Settings s = stored(kSmall, static_cast<qint16>(language));
        PreferencesEditor editor(s);
        editor.setChecks(false, false, checked);
        QCOMPARE(editor.Bot_Ok_Click().restartNotice, checked);
        QCOMPARE(s.LanguageOffset, after);
    }

    // ----- The dialog -----

    void dialogTexts_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("texts"); // title, Idioma, last caption, last format
        QTest::newRow("Spanish") << 0
                                 << QStringList{"Preferencias", "English",
                                                "Retraso entre Diapositivas (seg.)",
                                                "Personalizado"};
        QTest::newRow("English") << 200
                                 << QStringList{"Preferences", "Español",
                                                "Delay between Slides (sec.)", "Custom"};
    }
    void dialogTexts() {
        QFETCH(int, language);
        QFETCH(QStringList, texts);
        Module1 module;
        module.settings = stored({500, 500, 910, 420, 380, 0}, static_cast<qint16>(language));
        frmPrefer dialog(module);
        const auto* valores = dialog.findChild<QComboBox*>("Valores");
        QCOMPARE((QStringList{dialog.windowTitle(), dialog.findChild<QCheckBox*>("Idioma")->text(),
                              dialog.findChildren<QLabel*>("lbltxt").at(5)->text(),
                              valores->itemText(3)}),
                 texts);
        QCOMPARE(dialog.findChild<QSlider*>("wtempo")->toolTip(), texts[2]);
        QCOMPARE(dialog.helpTopic(), language + 6);
        QCOMPARE(dialog.windowFlags() & (Qt::WindowType_Mask | Qt::WindowMinMaxButtonsHint),
                 Qt::Dialog);                     // without minimise and maximise buttons
        QCOMPARE(dialog.pos(), QPoint(262, 161)); // 5850 x 4170 twips on 800 x 600 pixels
        QCOMPARE(valores->currentIndex(), 0);
        QCOMPARE(dialog.findChild<QLabel*>("vtempo")->text(), QString("1"));
    }

    // Placed narrow on 800 x 600 pixels, the dialog widened by switching protection on moves left
    // just enough to keep its right edge on the screen.
    void widenedDialogStaysOnTheScreen() {
        Module1 module;
        module.settings = stored();
        frmPrefer dialog(module);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect narrow = dialog.frameGeometry();
        dialog.findChild<QCheckBox*>("chkProtect")->click();
        QCOMPARE(dialog.width(), 552);
        QCOMPARE(dialog.frameGeometry().right(), 799);
        QCOMPARE(dialog.frameGeometry().top(), narrow.top());
    }

    void passwordColumnAndOkMessages() {
        Module1 module;
        module.settings = protectedBy("clave");
        module.LayoutChanged = false;
        frmPrefer dialog(module);
        dialog.show();
        auto* protect = dialog.findChild<QCheckBox*>("chkProtect");
        auto* text1 = dialog.findChild<QLineEdit*>("Text1");
        QCOMPARE(dialog.width(), 552); // 8280 twips
        QVERIFY(movedControlsApart(dialog));
        protect->click();
        QCOMPARE(dialog.width(), 382); // 5730 twips: the password column lies outside
        for (const char* name : {"lbltxt0", "lbltxt1", "lbltxt2", "Text1", "Text2"})
            QVERIFY2(!dialog.rect().intersects(dialog.findChild<QWidget*>(name)->geometry()), name);
        QVERIFY(movedControlsApart(dialog));
        QCOMPARE(module.settings.ProtectPassword, QString("clave"));
        protect->click();
        QVERIFY(dialog.rect().contains(text1->geometry()));

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
        QCOMPARE(valuesOf(module.settings), (Values{1430, 1338, 1299, 254, 688, 10}));
        QCOMPARE(module.settings.ProtectPassword, QString("nueva"));
    }

    // The Preferences command from the main window's Alt+P, through the password prompt when
    // protection is on; the dialog, when it opens, is given the medium format and OK.
    void preferencesCommand_data() {
        QTest::addColumn<int>("protect");
        QTest::addColumn<QStringList>("tries"); // each ended by Enter; "Esc" presses Escape
        QTest::addColumn<QStringList>("seen");  // the windows' titles, the prompt after each try
        const QString prompt = QString::fromUtf8("Ingrese Contraseña...");
        QTest::newRow("protection off") << 0 << QStringList{} << QStringList{"Preferencias"};
        QTest::newRow("a wrong try, then the password")
            << 1 << QStringList{"Clave", "clave"}
            << QStringList{prompt, "open", "closed", "Preferencias"};
        QTest::newRow("a wrong try, then Escape")
            << 1 << QStringList{"Clave", "Esc"} << QStringList{prompt, "open", "closed"};
    }
    void preferencesCommand() {
        QFETCH(int, protect);
        QFETCH(QStringList, tries);
        QFETCH(QStringList, seen);
        Window w;
        frmImage& window = w.open();
        w.module.settings.ImageProtect = static_cast<quint8>(protect);
        w.module.settings.ProtectPassword = "clave";
        QStringList opened;
        ModalAnswerer answerer([&](QWidget* modal) {
            if (auto* prompt = qobject_cast<frmpassword*>(modal)) {
                opened << prompt->windowTitle();
                for (const QString& attempt : tries) {
                    prompt->TxtPassword()->clear();
                    QTest::keyClicks(prompt->TxtPassword(), attempt == "Esc" ? "" : attempt);
                    QTest::keyClick(prompt->TxtPassword(),
                                    attempt == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
                    opened << (prompt->isVisible() ? "open" : "closed");
                }
                return true;
            }
            if (auto* preferences = qobject_cast<frmPrefer*>(modal)) {
                opened << preferences->windowTitle();
                emit preferences->findChild<QComboBox*>("Valores")->activated(1);
                preferences->findChild<QPushButton*>("Bot_Ok")->click();
                return true;
            }
            return false;
        });
        w.module.LayoutChanged = false;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(opened, seen);

        const bool stored = seen.last() == "Preferencias";
        Settings reloaded = Settings::startupDefaults("/");
        LoadSettings(reloaded, w.store);
        QCOMPARE(valuesOf(reloaded).mid(0, 5),
                 stored ? (Values{1430, 1338, 1299, 254, 688}) : (Values{500, 500, 910, 420, 380}));
        QCOMPARE(w.module.LayoutChanged, stored);
        window.browser().File1().setListIndex(0); // the next page fill lays the grid out anew
        QVERIFY(w.pageFilled());
        QCOMPARE(window.browser().cells().size(), stored ? 15u : 90u);
    }
};

QTEST_MAIN(PreferencesTest)
#include "PreferencesTest.moc"
