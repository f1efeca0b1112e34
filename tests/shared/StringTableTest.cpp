#include "StringTable.h"

#include <QtTest>

namespace {
struct ExpectedText {
    int id;
    const char16_t* spanish;
    const char16_t* english;
};

// An independent copy of every entry of the string table.
const ExpectedText kExpected[] = {
    {1, u"Acerca de", u"About"},
    {2, u"Cerrar", u"Close"},
    {3, u"OK", u"OK"},
    {4, u"Preferencias", u"Preferences"},
    {5, u"Modifique los Valores de Configuración", u"Modify the Configuration Values"},
    {6, u"Alto de Imágen", u"Height of Image"},
    {7, u"Ancho de Imágen", u"Width of Image"},
    {8, u"Ancho de Leyenda", u"Width of Legends"},
    {9, u"Espacio Horizontal", u"Horizontal Spacing"},
    {10, u"Espacio Vertical", u"Vertical Spacing"},
    {11, u"Retraso entre Diapositivas (seg.)", u"Delay between Slides (sec.)"},
    {12, u"Todos los Formatos", u"All Formats"},
    {13, u"Todos los Archivos", u"All Files"},
    {14, u"Bitmaps (*.bmp, *.dib)", u"Bitmaps (*.bmp, *.dib)"},
    {15, u"Archivos JPEG (*.jpg, *.jpeg)", u"JPEG Files (*.jpg, *.jpeg)"},
    {16, u"Archivos GIF (*.gif)", u"GIF  Files (*.gif)"},
    {17, u"Iconos (*.ico, *.cur)", u"Icons (*.ico, *.cur)"},
    {18, u"Meta Archivos (*.wmf, *.emf)", u"Windows MetaFiles (*.wmf, *.emf)"},
    {19, u"Archivos RLE (*.rle)", u"RLE Files (*.rle)"},
    {20, u"English", u"Español"},
    {21, u"Debe reiniciar la Aplicación para que los cambios tengan efecto...", u"You must restart the Aplication..."},
    {22, u"Atención", u"Attention"},
    {23, u"Visualización de Archivos", u"Visualization of Files"},
    {24, u"No hay más Archivos...", u"There's no more Files..."},
    {25, u"Dispositivo no Disponible...", u"The device is not ready..."},
    {28, u"La Información del Sistema no está disponible en estos momentos...", u"The System Information is not available at this time..."},
    {29, u"Info. del Sistema", u"System Info"},
    {30, u"Cancelar", u"Cancel"},
    {36, u"Copiar al Portapapeles", u"Copy to Clipboard"},
    {37, u"Formato No Compatible...", u"Format Not Compatible..."},
    {38, u"No se pudo Realizar la Operación...", u"The Operation Failed..."},
    {39, u"Ver Portapapeles", u"View Clipboard"},
    {40, u"Portapapeles", u"Clipboard"},
    {41, u"Copiar a...", u"Copy to..."},
    {42, u"Copiar", u"Copy"},
    {43, u"Copiar en:", u"Copy to:"},
    {44, u"Nombre de Archivo:", u"Filename:"},
    {45, u"Especifique la Ruta y Nombre de Archivo.", u"Specify the Path and Filename."},
    {46, u"El Archivo ya Existe.", u"The File Already Exist."},
    {47, u"Reemplazar", u"Replace"},
    {48, u"La operación fue exitosa.", u"Operation successful."},
    {49, u"El Archivo no puede copiarse a si mismo...", u"The file and path is the same of the original..."},
    {50, u"Información", u"Properties"},
    {51, u"Información de Archivo...", u"File Information... "},
    {52, u"Archivo: ", u"File: "},
    {53, u"Ruta: ", u"Path: "},
    {54, u"Utiliza: ", u"Size: "},
    {55, u"Creado: ", u"Created: "},
    {56, u"Último acceso: ", u"Last Access: "},
    {57, u"Última modificación: ", u"Last Modification: "},
    {58, u"Renombrar", u"Rename"},
    {59, u"Cambiar el nombre del archivo...", u"Change the name of the file..."},
    {60, u"Nuevo Nombre:", u"New Name:"},
    {61, u"El nombre debe ser Diferente...", u"The name must be diferent..."},
    {62, u"Modo Zoom", u"Zoom Mode"},
    {63, u"Desactivar Zoom", u"Deactivate Zoom"},
    {64, u"Pantalla Completa", u"Full Screen"},
    {65, u"Más Zoom", u"More Zoom"},
    {66, u"Menos Zoom", u"Less Zoom"},
    {67, u"Ver", u"View"},
    {68, u"Selecciona Unidad", u"Select Drive"},
    {69, u"Selecciona Carpeta", u"Select Folder"},
    {70, u"Seleccione o Ingrese Patrón", u"Select or Imput Pattern"},
    {71, u"Selecciona Archivo", u"Select File"},
    {72, u"Página Anterior", u"Previous Page"},
    {73, u"Página Siguiente", u"Next Page"},
    {74, u"Formato Chico", u"Size Small"},
    {75, u"Formato Medio", u"Size Medium"},
    {76, u"Formato Grande", u"Size Large"},
    {77, u"Personalizado", u"Custom"},
    {78, u"Formatos Predeterminados", u"Schemes"},
    {79, u"Selecciona el Lenguaje de la Aplicación", u"Select the Language of the Application"},
    {80, u"Diapositivas", u"Slides"},
    {81, u"Ayuda", u"Help"},
    {82, u"Ayuda y Contenido", u"Help and Contents"},
    {83, u"Pantalla Completa Proporcional", u"Full Screen Proportional"},
    {84, u"Visualizar Proporcionalmente", u"Proportional Visualization"},
    {87, u"Actualizar", u"Refresh"},
    {88, u"Diapositivas Aleatorias", u"Random Slides"},
    {89, u"Mostrar Diapositivas en orden Aleatorio", u"View Slides in Aleatory Order"},
    {90, u"Proteger con Contraseña", u"Protect With Password"},
    {91, u"Protege Preferencias y Protector de Pantallas", u"Protect Preferences and Screen Saver"},
    {92, u"Ingresar una contraseña válida para activar la Protección o Modificar la contraseña Existente...", u"Type a valid password to activate the protection or if you want to modify the existing one..."},
    {93, u"Contraseña", u"Password"},
    {94, u"Verificar Contraseña", u"Verify Password"},
    {95, u"Debe Ingresar una Contraseña Válida (No se admite en blanco)...", u"You Must Input a Valid Password (Null is not valid)..."},
    {96, u"Debe Verificar la Contraseña...", u"You Must Verify the Password..."},
    {97, u"No coinciden las contraseñas...", u"The passwords does not match..."},
    {98, u"Ingrese Contraseña...", u"Input Password..."},
};
} // namespace

class StringTableTest : public QObject {
    Q_OBJECT

private slots:
    void everyEntryInBothLanguages_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("spanish");
        QTest::addColumn<QString>("english");
        for (const ExpectedText& e : kExpected) {
            QTest::addRow("%d", e.id) << e.id << QString::fromUtf16(e.spanish)
                                      << QString::fromUtf16(e.english);
        }
    }

    void everyEntryInBothLanguages() {
        QFETCH(int, id);
        QFETCH(QString, spanish);
        QFETCH(QString, english);
        QCOMPARE(LocalText(id, kSpanishOffset), spanish);
        QCOMPARE(LocalText(id, kEnglishOffset), english);
        QCOMPARE(StringTable::entry(id + 200), english);
    }

    void theTableHoldsNothingElse() {
        QSet<int> known;
        for (const ExpectedText& e : kExpected)
            known.insert(e.id);
        for (int id = 0; id <= 400; ++id) {
            const int spanishId = id > 200 ? id - 200 : id;
            const bool expected = known.contains(spanishId) && (id <= 98 || id > 200) && id <= 298;
            QVERIFY2(StringTable::entry(id).isEmpty() != expected, qPrintable(QString::number(id)));
        }
    }

    void blanksAndAccentsAreKept() {
        QCOMPARE(LocalText(16, kEnglishOffset), QString("GIF  Files (*.gif)"));
        QCOMPARE(LocalText(51, kEnglishOffset), QString("File Information... "));
        for (int id = 52; id <= 57; ++id) {
            QVERIFY(LocalText(id, kSpanishOffset).endsWith(u' '));
            QVERIFY(LocalText(id, kEnglishOffset).endsWith(u' '));
        }
        QCOMPARE(LocalText(56, kSpanishOffset), QString::fromUtf8("Último acceso: "));
        QCOMPARE(LocalText(20, kEnglishOffset), QString::fromUtf8("Español"));
    }
};

QTEST_GUILESS_MAIN(StringTableTest)
#include "StringTableTest.moc"
