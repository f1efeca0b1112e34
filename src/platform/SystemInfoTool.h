#pragma once

#include <QString>
#include <QStringList>

// The desktop's system-information program: the first of a short list of common graphical
// ones that the search path holds, started without waiting for it.
namespace SystemInfoTool {

// The programs looked for, the most wanted first.
const QStringList& candidates();

// The path of the first candidate, in the order of candidates(), that is an executable file in
// one of the folders of the search path (folders separated as in PATH). Empty when none is, and
// always for an empty search path: the program's own PATH is never used in its place.
QString find(const QString& searchPath);

// Starts the program that find() gives, detached. False when there is none or it cannot be
// started.
bool start(const QString& searchPath);

} // namespace SystemInfoTool
