#include "CopyScene.h"
#include "FileProperties.h"
#include "FilePropertiesBox.h"
#include "ModalAnswerer.h"
#include "ProgramArt.h"
#include "StringTable.h"

#include <QLabel>
#include <QtTest>

namespace {

using Mode = CopyRenameLogic::Mode;
using State = CopyRenameLogic::State;

constexpr char kUntouched[] = "pics/a.bmp=A pics/b.bmp=B";
constexpr char kDone[] = "Atención: La operación fue exitosa.";
constexpr char kExists[] = "Atención: El Archivo ya Existe.";
constexpr char kCopyReady[] = "Especifique la Ruta y Nombre de Archivo.";
constexpr char kItself[] = "Atención: El Archivo no puede copiarse a si mismo...";

// One opening of the dialog driven through its steps: "UPPER|LOWER" presses the button with
// those field texts, "edit" edits a field; then what it shows and what it left on the disk.
struct Case {
    const char* name;
    CopyRenameLogic::Mode mode;
    bool checkMisses;
    const char* steps; // separated by ";"
    State state;
    const char* status;
    ProgramArt::Icon icon;
    const char* caption;
    const char* copyFolder;
    const char* refreshes; // "old>new" for a rename, ">" for a copy, separated by ";"
    const char* disk;      // "folder/name=contents", sorted, separated by blanks
};

const Case kCases[] = {
    {"an empty field does nothing", Mode::Copy, false, "{other}|", State::ReadyForCopy, kCopyReady,
     ProgramArt::kIconWaiting, "&Copiar", "{other}", "", kUntouched},
    {"a name of blanks does nothing", Mode::Copy, false, "{pics}|   ", State::ReadyForCopy,
     kCopyReady, ProgramArt::kIconWaiting, "&Copiar", "{other}", "", kUntouched},
    {"onto itself, folder in other case", Mode::Copy, false, "{PICS}|A.BMP", State::ReadyForCopy,
     kItself, ProgramArt::kIconRefusal, "&Copiar", "{other}", "", kUntouched},
    {"onto itself, folder with a trailing separator", Mode::Copy, false, "{pics}/|a.bmp",
     State::ReadyForCopy, kItself, ProgramArt::kIconRefusal, "&Copiar", "{other}", "", kUntouched},
    {"onto itself, through \".\" and \"..\"", Mode::Copy, false, "{other}/../pics/.|./a.bmp",
     State::ReadyForCopy, kItself, ProgramArt::kIconRefusal, "&Copiar", "{other}", "", kUntouched},
    {"onto itself, through a link to its folder", Mode::Copy, false, "{link}|a.bmp",
     State::ReadyForCopy, kItself, ProgramArt::kIconRefusal, "&Copiar", "{other}", "", kUntouched},
    {"into another folder", Mode::Copy, false, "{other}|a.bmp", State::Done, kDone,
     ProgramArt::kIconSuccess, "&Cerrar", "{other}", "", "other/a.bmp=A pics/a.bmp=A pics/b.bmp=B"},
    {"into the shown folder", Mode::Copy, false, "{pics}|c.bmp", State::Done, kDone,
     ProgramArt::kIconSuccess, "&Cerrar", "{pics}", ">", "pics/a.bmp=A pics/b.bmp=B pics/c.bmp=A"},
    {"into the shown folder, spelt with a trailing separator", Mode::Copy, false, "{pics}/|c.bmp",
     State::Done, kDone, ProgramArt::kIconSuccess, "&Cerrar", "{pics}/", ">",
     "pics/a.bmp=A pics/b.bmp=B pics/c.bmp=A"},
    {"onto an existing file", Mode::Copy, false, "{pics}|b.bmp", State::ReplaceOffered, kExists,
     ProgramArt::kIconRefusal, "&Reemplazar", "{pics}", "", kUntouched},
    {"replace on the second press", Mode::Copy, false, "{pics}|b.bmp;{pics}|b.bmp", State::Done,
     kDone, ProgramArt::kIconSuccess, "&Cerrar", "{pics}", ">", "pics/a.bmp=A pics/b.bmp=A"},
    {"an edit withdraws the offer", Mode::Copy, false, "{pics}|b.bmp;edit", State::ReadyForCopy,
     kCopyReady, ProgramArt::kIconWaiting, "&Copiar", "{pics}", "", kUntouched},
    {"after an edit the press warns again", Mode::Copy, false, "{pics}|b.bmp;edit;{pics}|b.bmp",
     State::ReplaceOffered, kExists, ProgramArt::kIconRefusal, "&Reemplazar", "{pics}", "",
     kUntouched},
    {"a missing folder fails", Mode::Copy, false, "{pics}/none|a.bmp", State::ReadyForCopy,
     "Atención: No se pudo Realizar la Operación... Error: 1", ProgramArt::kIconRefusal, "&Copiar",
     "{other}", "", kUntouched},
    {"done, an edit only resets the icon", Mode::Copy, false, "{other}|a.bmp;edit", State::Done,
     kDone, ProgramArt::kIconWaiting, "&Cerrar", "{other}", "",
     "other/a.bmp=A pics/a.bmp=A pics/b.bmp=B"},
    {"a file that appears after the check is offered", Mode::Copy, true, "{pics}|b.bmp",
     State::ReplaceOffered, kExists, ProgramArt::kIconRefusal, "&Reemplazar", "{pics}", "",
     kUntouched},
    {"rename to a free name", Mode::Rename, false, "a.bmp|z.bmp", State::Done, kDone,
     ProgramArt::kIconSuccess, "&Cerrar", "{other}", "a.bmp>z.bmp", "pics/b.bmp=B pics/z.bmp=A"},
    {"a new name of blanks does nothing", Mode::Rename, false, "a.bmp|   ", State::ReadyForRename,
     "Cambiar el nombre del archivo...", ProgramArt::kIconWaiting, "&Renombrar", "{other}", "",
     kUntouched},
    {"letter case only", Mode::Rename, false, "a.bmp|A.BMP", State::ReadyForRename,
     "Atención: El nombre debe ser Diferente...", ProgramArt::kIconRefusal, "&Renombrar", "{other}",
     "", kUntouched},
    {"a taken name", Mode::Rename, false, "a.bmp|b.bmp", State::ReadyForRename, kExists,
     ProgramArt::kIconRefusal, "&Renombrar", "{other}", "", kUntouched},
    {"a name taken after the check", Mode::Rename, true, "a.bmp|b.bmp", State::ReadyForRename,
     kExists, ProgramArt::kIconRefusal, "&Renombrar", "{other}", "", kUntouched},
    {"a name with a separator", Mode::Rename, false, "a.bmp|../z.bmp", State::ReadyForRename,
     "Atención: No se pudo Realizar la Operación... Error: 6", ProgramArt::kIconRefusal,
     "&Renombrar", "{other}", "", kUntouched},
    {"an edit after a refusal", Mode::Rename, false, "a.bmp|b.bmp;edit", State::ReadyForRename,
     "Cambiar el nombre del archivo...", ProgramArt::kIconWaiting, "&Renombrar", "{other}", "",
     kUntouched},
};

// The lines of text drawn in a picture of a widget, by the right edge of each one's ink: a line is
// a run of pixel rows holding pixels much darker than the background.
QList<int> drawnLineEnds(const QImage& image, QColor background) {
    QList<int> ends;
    bool inLine = false;
    for (int y = 0; y < image.height(); ++y) {
        int right = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < qGray(background.rgb()) - 64)
                right = x;
        }
        if (right >= 0 && !inLine)
            ends.append(right);
        else if (right >= 0)
            ends.last() = std::max(ends.last(), right);
        inLine = right >= 0;
    }
    return ends;
}

} // namespace

class FileOpsTest : public QObject {
    Q_OBJECT

private slots:
    void copyAndRename_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kCases)); ++i)
            QTest::newRow(kCases[i].name) << i;
    }

    void copyAndRename() {
        QFETCH(int, index);
        const Case& c = kCases[index];
        Scene scene(c.mode);
        scene.files.checkMisses = c.checkMisses;
        CopyRenameLogic logic = scene.open();
        for (const QString& step : QString(c.steps).split(';')) {
            if (step == "edit") {
                logic.fieldEdited();
                continue;
            }
            const QStringList fields = scene.expand(step).split('|');
            QCOMPARE(logic.buttonPressed(fields[0], fields[1]), CopyRenameLogic::Press::Stay);
            QVERIFY(copyEnded(logic));
        }
        QCOMPARE(logic.state(), c.state);
        QCOMPARE(logic.statusLine(), QString::fromUtf8(c.status));
        QCOMPARE(logic.statusIcon(), c.icon);
        QCOMPARE(logic.buttonCaption(), QString(c.caption));
        QCOMPARE(scene.module.settings.CopyFolder, scene.expand(c.copyFolder));
        QCOMPARE(scene.refreshes.join(';'), QString(c.refreshes));
        QCOMPARE(scene.disk().join(' '), QString(c.disk));
        QCOMPARE(logic.failureReason().isEmpty(), !logic.statusLine().contains("Error:"));
        if (c.state == State::Done) // and once done, the button closes
            QCOMPARE(logic.buttonPressed({}, {}), CopyRenameLogic::Press::Close);
    }

    void copyRunsWhileTheEventLoopGoesOn() {
        Scene scene(CopyRenameLogic::Mode::Copy);
        scene.files.holdCopies = true;
        CopyRenameLogic logic = scene.open();
        logic.buttonPressed(scene.other, "a.bmp");
        QCOMPARE(logic.state(), State::Copying);
        // The copy's progress comes while it is held half-way.
        QTRY_COMPARE(logic.statusLine(), QString("Copiar... 50 %"));
        QCOMPARE(logic.statusIcon(), ProgramArt::kIconWaiting);
        // Meanwhile a press starts no second copy and an edit changes nothing.
        QCOMPARE(logic.buttonPressed(scene.other, "c.bmp"), CopyRenameLogic::Press::Stay);
        logic.fieldEdited();
        QCOMPARE(logic.state(), State::Copying);
        QCOMPARE(logic.statusLine(), QString("Copiar... 50 %"));
        scene.files.goOn.release();
        QVERIFY(copyEnded(logic));
        QCOMPARE(logic.statusLine(), QString::fromUtf8(kDone));
        QCOMPARE(scene.disk().join(' '), QString("other/a.bmp=A pics/a.bmp=A pics/b.bmp=B"));
    }

    void propertiesText_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("spanish")
            << 0
            << QString::fromUtf8(
                   "Archivo: |Ruta: |Utiliza: |Creado: |Último acceso: |Última modificación: ")
                   .split('|');
        QTest::newRow("english")
            << 200
            << QString("File: |Path: |Size: |Created: |Last Access: |Last Modification: ")
                   .split('|');
    }

    void propertiesText() {
        QFETCH(int, language);
        QFETCH(QStringList, labels);
        QLocale::setDefault(QLocale::c());
        const auto at = [](int year) { return QDateTime(QDate(year, 2, 3), QTime(4, 5, 6)); };
        const FileProperties file{"Mixed Case.BMP",
                                  "/tmp/Pics/Mixed Case.BMP",
                                  1234,
                                  "BMP image",
                                  at(2001),
                                  true,
                                  at(2002),
                                  at(2003)};
        const QStringList lines =
            filePropertiesText(file, static_cast<qint16>(language)).split("\r\n");
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], labels[0] + "Mixed Case.BMP");
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], labels[1] + "/TMP/PICS/MIXED CASE.BMP");
        QCOMPARE(lines[3], labels[2] + "1234 bytes,   BMP image");
        for (int i = 0; i < 3; ++i) { // each date on its line, with its seconds
            QVERIFY(lines[4 + i].startsWith(labels[3 + i]));
            QVERIFY2(lines[4 + i].contains(QString::number(2001 + i)) &&
                         lines[4 + i].contains("04:05:06"),
                     qPrintable(lines[4 + i]));
        }
    }

    void propertiesBoxShowsEachLineAsTyped() {
        // A name that reads as markup shows as it is spelt, and every property on a line of its
        // own.
        TestFolder folder;
        const QString path = folder.write("<i>x &lt;1&gt;.bmp", "x");
        Qt::TextFormat format = Qt::RichText;
        QString text;
        QStringList lines; // those with text
        QList<int> drawn;
        QList<int> typed; // where each of them ends when drawn as it is spelt
        const ModalAnswerer answerer([&](QWidget* modal) {
            if (auto* label = modal->findChild<QLabel*>("qt_msgbox_label")) {
                format = label->textFormat();
                text = label->text();
                lines = text.split("\r\n", Qt::SkipEmptyParts);
                for (const QString& line : lines)
                    typed.append(label->fontMetrics().horizontalAdvance(line));
                drawn = drawnLineEnds(label->grab().toImage(),
                                      label->palette().color(QPalette::Window));
            }
            modal->close();
            return true;
        });
        QVERIFY(ShowFileProperties(path, 1, kEnglishOffset, nullptr));
        QCOMPARE(format, Qt::PlainText);
        QVERIFY2(text.startsWith("File: <i>x &lt;1&gt;.bmp\r\n\r\nPath: "), qPrintable(text));
        QCOMPARE(lines.size(), 6);
        QCOMPARE(drawn.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i) // the ink ends within a few pixels of the advance
            QVERIFY2(std::abs(drawn[i] - typed[i]) <= 4, qPrintable(lines[i]));
    }

    void propertiesWithoutShowingOnlyTestTheFile() {
        // Showing a box here would wait for a click that never comes.
        TestFolder folder;
        QVERIFY(ShowFileProperties(folder.write("Mixed.Bmp", "x"), 0, 0, nullptr));
        QVERIFY(!ShowFileProperties(folder.filePath("mixed.bmp"), 0, 0, nullptr));
        QVERIFY(!ShowFileProperties(folder.filePath("missing.bmp"), 1, 0, nullptr));
    }
};

QTEST_MAIN(FileOpsTest)
#include "FileOpsTest.moc"
