#include "SystemInfoTool.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace SystemInfoTool {

const QStringList& candidates() {
    static const QStringList programs{"hardinfo2", "hardinfo", "kinfocenter",
                                      "gnome-system-monitor", "mate-system-monitor"};
    return programs;
}

QString find(const QString& searchPath) {
    // Empty entries (which some shells read as the current folder) are not searched.
    const QStringList folders = searchPath.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    if (folders.isEmpty())
        return {}; // findExecutable would fall back to the process's own PATH
    for (const QString& program : candidates()) {
        const QString path = QStandardPaths::findExecutable(program, folders);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool start(const QString& searchPath) {
    const QString program = find(searchPath);
    return !program.isEmpty() && QProcess::startDetached(program, {});
}

} // namespace SystemInfoTool
