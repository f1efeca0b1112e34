#include "SaverTarget.h"

#include <optional>

namespace {

std::optional<quint64> windowIdOf(const QString& text) {
    bool ok = false;
    const quint64 id = text.trimmed().toULongLong(&ok, 0);
    if (!ok || id == 0)
        return std::nullopt;
    return id;
}

// "--name" or "-name".
bool isOption(const QString& argument, QLatin1String name) {
    return argument == QLatin1String("--") + name || argument == QLatin1String("-") + name;
}

} // namespace

SaverTarget saverTargetOf(const QStringList& arguments, const QString& xscreensaverWindow) {
    std::optional<quint64> given;
    bool root = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (isOption(argument, QLatin1String("window-id")) && i + 1 < arguments.size())
            given = windowIdOf(arguments[++i]);
        else if (argument.startsWith(QLatin1String("--window-id=")))
            given = windowIdOf(argument.section('=', 1));
        else if (isOption(argument, QLatin1String("root")))
            root = true;
    }
    if (!given)
        given = windowIdOf(xscreensaverWindow);
    if (given)
        return {SaverTarget::Kind::ForeignWindow, *given};
    if (root)
        return {SaverTarget::Kind::RootWindow, 0};
    return {};
}
