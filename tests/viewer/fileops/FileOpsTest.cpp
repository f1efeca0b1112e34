#include "CopyRenameLogic.h"
#include "FilePropertiesBox.h"
#include "LocalFileLayer.h"
#include "ModalAnswerer.h"
#include "Module1.h"
#include "StringTable.h"
#include "TestFolders.h"
#include "frmcopiar.h"

#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using Mode = CopyRenameLogic::Mode;

// The machine's own files, steered by the test: the existence test can be made to miss every
// file, as it does when another program creates one just after the check, and a copy can be held
// half-way until the test lets it go on.
struct SteeredFiles final : FileLayer {
    LocalFileLayer files;
    bool checkMisses = false;
    bool holdCopies = false;
    QSemaphore goOn; // released to let a held copy go on

    bool exists(const QString& path) const override { return !checkMisses && files.exists(path); }
    bool sameFile(const QString& a, const QString& b) const override {
        return files.sameFile(a, b);
    }
    FileResult copy(const QString& source, const QString& target, bool overwrite,
                    const Progress& progress) override {
        if (holdCopies) {
            progress(1, 2);
            // Bounded, so that a copy made on the test's own thread fails the test, not hangs it.
            goOn.tryAcquire(1, 5000);
        }
        return files.copy(source, target, overwrite, progress);
    }
    FileResult rename(const QString& folder, const QString& name, const QString& newName) override {
        return files.rename(folder, name, newName);
    }
};

// A shown folder "pics" with a.bmp and b.bmp, a link "link" to it, another folder "other", and
// the module of a Spanish viewer showing "pics" whose last copy went to "other".
struct Scene {
    TestFolder folder;
    QString pics = folder.makeFolder("pics");
    QString other = folder.makeFolder("other");
    Module1 module;
    SteeredFiles files;
    QStringList refreshes;

    Scene() {
        folder.write("pics/a.bmp", "A");
        folder.write("pics/b.bmp", "B");
        QFile::link(pics, folder.filePath("link"));
        module.settings.CurrentFolder = pics;
        module.settings.CopyFolder = other;
    }
    CopyRenameLogic::ListRefresh refresh() {
        return
            [this](const QString& from, const QString& to) { refreshes.append(from + '>' + to); };
    }
    QString expand(QString text) const {
        return text.replace("{pics}", pics)
            .replace("{PICS}", pics.toUpper())
            .replace("{other}", other)
            .replace("{link}", folder.filePath("link"));
    }
    // Every file below the scene's folder with its contents, as "folder/name=contents", sorted.
    QString disk() const {
        QStringList files;
        QDirIterator it(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(folder.path()).relativeFilePath(it.next());
            files.append(name + '=' + folder.read(name));
        }
        files.sort();
        return files.join(' ');
    }
};

constexpr char kUntouched[] = "pics/a.bmp=A pics/b.bmp=B";
constexpr char kDone[] = "Atención: La operación fue exitosa.";

} // namespace

class FileOpsTest : public QObject {
    Q_OBJECT

private slots:
    // One opening of the dialog driven through its steps, separated by ";": "UPPER|LOWER" presses
    // the button with those field texts, "edit" edits a field. The outcome: the button's caption,
    // the status line, the folder of the next copy, the list refreshes ("old>new" for a rename,
    // ">" for a copy) and the files left, as Scene::disk() spells them.
    void copyAndRename_data() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<bool>("checkMisses");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");
        const auto row = [](Mode mode, const char* name, const char* steps, const QString& outcome,
                            bool checkMisses = false) {
            QTest::newRow(name) << mode << checkMisses << QString(steps) << outcome;
        };
        const auto copy = [&](auto... rest) { row(Mode::Copy, rest...); };
        const auto rename = [&](auto... rest) { row(Mode::Rename, rest...); };
        const QString untouched = QString("||") + kUntouched;
        const QString itself =
            QString::fromUtf8(
                "&Copiar|Atención: El Archivo no puede copiarse a si mismo...|{other}") +
            untouched;
        const QString exists = QString::fromUtf8("|Atención: El Archivo ya Existe.|");
        const QString offered = "&Reemplazar" + exists + "{pics}" + untouched;
        const QString copied = QString("&Cerrar|") + kDone + "|{pics}|>|";
        const QString failed =
            QString::fromUtf8("|Atención: No se pudo Realizar la Operación... Error: ");

        copy("a name of blanks does nothing", "{pics}|   ",
             "&Copiar|Especifique la Ruta y Nombre de Archivo.|{other}" + untouched);
        copy("onto itself, folder in other case", "{PICS}|A.BMP", itself);
        copy("onto itself, through a link", "{link}|a.bmp", itself);
        copy("into the shown folder", "{pics}|c.bmp", copied + kUntouched + " pics/c.bmp=A");
        copy("onto an existing file", "{pics}|b.bmp", offered);
        copy("a file that appears after the check", "{pics}|b.bmp", offered, true);
        copy("after an edit the press warns again", "{pics}|b.bmp;edit;{pics}|b.bmp", offered);
        copy("replace on the second press", "{pics}|b.bmp;{pics}|b.bmp",
             copied + "pics/a.bmp=A pics/b.bmp=A");
        copy("a missing folder fails", "{pics}/none|a.bmp",
             "&Copiar" + failed + "1|{other}" + untouched);
        rename("rename to a free name", "a.bmp|z.bmp",
               QString("&Cerrar|") + kDone + "|{other}|a.bmp>z.bmp|pics/b.bmp=B pics/z.bmp=A");
        rename("a taken name", "a.bmp|b.bmp", "&Renombrar" + exists + "{other}" + untouched);
        rename("a name taken after the check", "a.bmp|b.bmp",
               "&Renombrar" + exists + "{other}" + untouched, true);
        rename("a name with a separator", "a.bmp|../z.bmp",
               "&Renombrar" + failed + "6|{other}" + untouched);
    }

    void copyAndRename() {
        QFETCH(Mode, mode);
        QFETCH(bool, checkMisses);
        QFETCH(QString, steps);
        QFETCH(QString, outcome);
        Scene scene;
        scene.files.checkMisses = checkMisses;
        CopyRenameLogic logic(scene.module, mode, "a.bmp", scene.files, scene.refresh());
        for (const QString& step : steps.split(';')) {
            if (step == "edit") {
                logic.fieldEdited();
                continue;
            }
            const QStringList fields = scene.expand(step).split('|');
            QCOMPARE(logic.buttonPressed(fields[0], fields[1]), CopyRenameLogic::Press::Stay);
            QVERIFY(QTest::qWaitFor([&] { return !logic.busy(); })); // the copy, if any, ended
        }
        const QStringList shown{logic.buttonCaption(), logic.statusLine(),
                                scene.module.settings.CopyFolder, scene.refreshes.join(';'),
                                scene.disk()};
        QCOMPARE(shown.join('|'), scene.expand(outcome));
    }

    // While a copy runs, the dialog takes no press or close and shows the copy's progress; all of
    // this ends with the copy.
    void theDialogIsBusyWhileACopyRuns() {
        Scene scene;
        scene.files.holdCopies = true;
        frmcopiar dialog(scene.module, Mode::Copy, "a.bmp", scene.files, scene.refresh());
        dialog.show();
        auto* boton = dialog.findChild<QPushButton*>("boton");
        auto* lblresul = dialog.findChild<QLabel*>("lblresul");
        boton->click();
        QTRY_COMPARE(lblresul->text(), QString("Copiar... 50 %"));
        QVERIFY(!boton->isEnabled());
        dialog.close();
        QVERIFY(dialog.isVisible());

        scene.files.goOn.release();
        QTRY_COMPARE(lblresul->text(), QString::fromUtf8(kDone));
        QCOMPARE(scene.disk(), "other/a.bmp=A " + QString(kUntouched));
    }

    // The times shown are the file's own, each under its label; a name that reads as markup shows
    // as it is spelt.
    void propertiesBox() {
        QLocale::setDefault(QLocale::c());
        TestFolder folder;
        const QString path = folder.write("<i>x.bmp", "x");
        const auto at = [](int year) {
            return timespec{QDateTime(QDate(year, 2, 3), {}).toSecsSinceEpoch(), 0};
        };
        const timespec times[2] = {at(2002), at(2001)}; // last read, last modified
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        Qt::TextFormat format = Qt::RichText;
        const ModalAnswerer answerer([&](QWidget* modal) {
            format = qobject_cast<QMessageBox*>(modal)->textFormat();
            return false; // then accepted, and its title and text recorded
        });
        QVERIFY(ShowFileProperties(path, 1, kEnglishOffset, nullptr));
        QCOMPARE(format, Qt::PlainText);
        const QStringList lines = answerer.messages().value(0).split("\r\n");
        QCOMPARE(lines.value(0), "File Information... |File: <i>x.bmp");
        QVERIFY2(lines.value(5).startsWith("Last Access: ") && lines[5].contains("2002"),
                 qPrintable(lines.value(5)));
        QVERIFY2(lines.value(6).startsWith("Last Modification: ") && lines[6].contains("2001"),
                 qPrintable(lines.value(6)));
        QVERIFY(!ShowFileProperties(folder.filePath("missing.bmp"), 1, 0, nullptr));
    }
};

QTEST_MAIN(FileOpsTest)
#include "FileOpsTest.moc"
