// lumivart-icons FOLDER SIZE...: draws the program's icon at each size into
// FOLDER/<SIZE>x<SIZE>/apps/lumivart.png, the layout of an icon theme. The build runs it to make
// the installed icons from the program's own art.
#include "ProgramArt.h"

#include <QDir>
#include <QImage>
#include <cstdio>

namespace {

constexpr int kLargestSize = 1024;

int fail(const char* message, const char* detail) {
    std::fprintf(stderr, "lumivart-icons: %s %s\n", message, detail);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return fail("usage: lumivart-icons FOLDER SIZE...", "");
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > kLargestSize)
            return fail("not an icon size:", argv[i]);
        const QString apps = QStringLiteral("%1x%1/apps").arg(size);
        if (!folder.mkpath(apps))
            return fail("cannot make the folder for size", argv[i]);
        const QString file = folder.filePath(apps + "/lumivart.png");
        if (!ProgramArt::icon(ProgramArt::kIconProgram, size).save(file, "PNG"))
            return fail("cannot write", qPrintable(file));
    }
    return 0;
}
