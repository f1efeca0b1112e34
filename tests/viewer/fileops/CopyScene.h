#pragma once

// The scene of the copy and rename tests, shared by the tests of the logic and of the dialog.

#include "CopyRenameLogic.h"
#include "LocalFileLayer.h"
#include "Module1.h"
#include "TestFolders.h"

#include <QDirIterator>
#include <QSemaphore>
#include <QSignalSpy>

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

    const CopyRenameLogic::Mode mode;

    explicit Scene(CopyRenameLogic::Mode mode) : mode(mode) {
        folder.write("pics/a.bmp", "A");
        folder.write("pics/b.bmp", "B");
        QFile::link(pics, folder.filePath("link"));
        module.settings.CurrentFolder = pics;
        module.settings.CopyFolder = other;
    }

    CopyRenameLogic open(const QString& selected = "a.bmp") {
        return CopyRenameLogic(
            module, mode, selected, files,
            [this](const QString& from, const QString& to) { refreshes.append(from + '>' + to); });
    }

    QString expand(QString text) const {
        return text.replace("{pics}", pics)
            .replace("{PICS}", pics.toUpper())
            .replace("{other}", other)
            .replace("{link}", folder.filePath("link"));
    }

    // Every file below the scene's folder with its contents, as "folder/name=contents".
    QStringList disk() const {
        QStringList files;
        QDirIterator it(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            files.append(QDir(folder.path()).relativeFilePath(path) + '=' + file.readAll());
        }
        files.sort();
        return files;
    }
};

// Waits until the copy that a press started, if any, has ended.
inline bool copyEnded(CopyRenameLogic& logic) {
    QSignalSpy changed(&logic, &CopyRenameLogic::changed);
    while (logic.busy()) {
        if (!changed.wait())
            return false;
    }
    return true;
}
