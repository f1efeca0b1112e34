#include "PictureLoader.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QRegularExpression>
#include <cstdio>

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "lumivart-render: %s\n", qPrintable(message));
    return 1;
}

QSize parseSize(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toInt(), match.captured(2).toInt()};
}

} // namespace

int main(int argc, char** argv) {
    // Fonts for metafile text need a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    QSize bound;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--size" && i + 1 < args.size()) {
            bound = parseSize(args[++i]);
            if (bound.isEmpty())
                return fail(QStringLiteral("--size takes WIDTHxHEIGHT, such as 256x256"));
        } else {
            files.append(args[i]);
        }
    }
    if (files.size() != 2)
        return fail(QStringLiteral("usage: lumivart-render INPUT OUTPUT.png [--size WIDTHxHEIGHT]"));

    const PictureLoader::Result result = PictureLoader::load(files[0], bound);
    if (!result.ok())
        return fail(result.error);

    QImageWriter writer(files[1], "png");
    if (!writer.write(result.picture.image)) {
        QFile::remove(files[1]);
        return fail(QStringLiteral("cannot write %1: %2").arg(files[1], writer.errorString()));
    }
    return 0;
}
