#pragma once

#include "FileResult.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <functional>

class FileLayer;
struct Module1;
enum TextId : int;
namespace ProgramArt {
enum Icon : int;
}

// The copy and rename dialog's behaviour without its widgets: the texts it shows, what a press of
// its button does and what an edit of a field withdraws. Opened in the mode it is given (copy or
// rename) on the selected file of the shown folder; it writes the module's CopyFolder.
//
// States: ready for copy, replace offered (copy only), copying, ready for rename, done. An
// existing copy target offers to replace it; an edit withdraws the offer; a success makes the
// button a Close button. Refusals and failures keep the state and say why in the status line.
//
// A copy runs on a worker thread while the caller's event loop goes on: while it is copying, the
// status line tells how far it got and the button and the edits do nothing; the outcome arrives
// later, announced by changed() as each step of the progress is.
class CopyRenameLogic : public QObject {
    Q_OBJECT

public:
    enum class State { ReadyForCopy, ReplaceOffered, Copying, ReadyForRename, Done };
    enum class Press { Stay, Close };
    // Told after a success that changed the shown folder: a copy into it (both names empty) or a
    // rename (the old and the new name).
    using ListRefresh = std::function<void(const QString& renamedFrom, const QString& renamedTo)>;

    enum class Mode { Copy, Rename };

    CopyRenameLogic(Module1& module, Mode mode, const QString& selectedName, FileLayer& files,
                    ListRefresh refresh);
    // Waits for a copy under way.
    ~CopyRenameLogic() override;

    State state() const { return m_state; }
    // A copy is under way.
    bool busy() const { return m_state == State::Copying; }
    bool renaming() const { return m_renaming; }

    // What the dialog shows at opening.
    QString title() const;
    QString upperLabel() const;
    QString lowerLabel() const;
    QString initialUpperField() const;
    QString initialLowerField() const;

    // What changes with the state and the outcomes.
    QString buttonCaption() const;
    const QString& statusLine() const { return m_status; }
    ProgramArt::Icon statusIcon() const { return m_icon; }
    // The system's words for the last failure; empty when the last outcome was no failure.
    const QString& failureReason() const { return m_reason; }

    // The button, with the fields' texts: in copy mode the destination folder and file name, in
    // rename mode the current and the new name. With a field empty, or blanks only, nothing
    // happens.
    Press buttonPressed(const QString& upper, const QString& lower);
    // Either field was edited.
    void fieldEdited();

signals:
    // A copy under way made progress or ended; what the dialog shows has changed.
    void changed();

private:
    bool samePlace(const QString& a, const QString& b) const;
    void copy(const QString& folder, const QString& name);
    void rename(const QString& name, const QString& newName);
    void startCopy(const QString& source, const QString& target, const QString& folder,
                   bool replacing);
    void showProgress(int percent);
    void copyEnded();
    void offerReplace(const QString& folder);
    void refuse(TextId reason);
    void fail(const FileResult& result);
    void succeed();
    void showAttention(const QString& message, ProgramArt::Icon icon);
    QString text(TextId id) const;

    Module1& m_module;
    FileLayer& m_files;
    ListRefresh m_refresh;
    const qint16 m_language;
    const bool m_renaming;
    const QString m_sourceFolder;
    const QString m_sourceName;
    const QString m_proposedFolder;
    State m_state;
    QString m_status;
    ProgramArt::Icon m_icon;
    QString m_reason;
    // The copy under way, or the last one, with its destination folder and whether it replaces.
    QFutureWatcher<FileResult> m_copying;
    QString m_copyFolder;
    bool m_copyReplacing = false;
};
