#include "CopyRenameLogic.h"

#include "FileLayer.h"
#include "Module1.h"
#include "ProgramArt.h"
#include "StringTable.h"

#include <QtConcurrent/QtConcurrentRun>

namespace {

QString filePath(const QString& folder, const QString& name) {
    return folder + '/' + name;
}

// Empty, or blanks only: a field that names nothing. Taken as a name, blanks would make a file
// that no longer counts as a picture, and the list would lose it.
bool isBlank(const QString& field) {
    return field.trimmed().isEmpty();
}

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

CopyRenameLogic::CopyRenameLogic(Module1& module, Mode mode, const QString& selectedName,
                                 FileLayer& files, ListRefresh refresh)
    : m_module(module), m_files(files), m_refresh(std::move(refresh)),
      m_language(module.settings.LanguageOffset), m_renaming(mode == Mode::Rename),
      m_sourceFolder(module.settings.CurrentFolder), m_sourceName(selectedName),
      m_proposedFolder(module.settings.CopyFolder),
      m_state(m_renaming ? State::ReadyForRename : State::ReadyForCopy),
      m_status(text(m_renaming ? kTextChangeFileName : kTextSpecifyPathAndName)),
      m_icon(ProgramArt::kIconWaiting) {
    connect(&m_copying, &QFutureWatcherBase::progressValueChanged, this, [this](int percent) {
        if (!busy()) // what a copy reports after its end is no news
            return;
        showProgress(percent);
        emit changed();
    });
    connect(&m_copying, &QFutureWatcherBase::finished, this, &CopyRenameLogic::copyEnded);
}

CopyRenameLogic::~CopyRenameLogic() {
    // A copy under way is let finish: its worker uses the file layer and reports to this object.
    m_copying.waitForFinished();
}

QString CopyRenameLogic::text(TextId id) const {
    return LocalText(id, m_language);
}

QString CopyRenameLogic::title() const {
    return m_renaming ? text(kTextRename) + "..." : text(kTextCopyTo);
}

QString CopyRenameLogic::upperLabel() const {
    return text(m_renaming ? kTextFileName : kTextCopyDestination);
}

QString CopyRenameLogic::lowerLabel() const {
    return text(m_renaming ? kTextNewName : kTextFileName);
}

QString CopyRenameLogic::initialUpperField() const {
    return m_renaming ? m_sourceName : m_proposedFolder;
}

QString CopyRenameLogic::initialLowerField() const {
    return m_renaming ? QString() : m_sourceName;
}

QString CopyRenameLogic::buttonCaption() const {
    switch (m_state) {
    case State::ReadyForCopy:
        return '&' + text(kTextCopy);
    case State::ReplaceOffered:
        return '&' + text(kTextReplace);
    case State::Copying:
        return '&' + text(m_copyReplacing ? kTextReplace : kTextCopy);
    case State::ReadyForRename:
        return '&' + text(kTextRename);
    case State::Done:
        break;
    }
    return '&' + text(kTextClose);
}

CopyRenameLogic::Press CopyRenameLogic::buttonPressed(const QString& upper, const QString& lower) {
    // Once done the button reads Close, and it closes whatever the fields hold.
    if (m_state == State::Done)
        return Press::Close;
    if (busy())
        return Press::Stay;
    if (isBlank(upper) || isBlank(lower))
        return Press::Stay;
    if (m_renaming)
        rename(upper, lower);
    else
        copy(upper, lower);
    return Press::Stay;
}

void CopyRenameLogic::fieldEdited() {
    if (busy()) // the copy's outcome decides what shows next
        return;
    m_icon = ProgramArt::kIconWaiting;
    if (m_state == State::Done)
        return;
    m_state = m_renaming ? State::ReadyForRename : State::ReadyForCopy;
    m_status = text(m_renaming ? kTextChangeFileName : kTextSpecifyPathAndName);
    m_reason.clear();
}

// The same path by its text, letter case ignored, or by the file or folder it names on the disk
// (a trailing separator or a link, for instance).
bool CopyRenameLogic::samePlace(const QString& a, const QString& b) const {
    return sameText(a, b) || m_files.sameFile(a, b);
}

void CopyRenameLogic::copy(const QString& folder, const QString& name) {
    const QString source = filePath(m_sourceFolder, m_sourceName);
    const QString target = filePath(folder, name);
    if (samePlace(target, source)) {
        refuse(kTextCopyOntoItself);
        return;
    }
    // Only the Replace button overwrites; a file that appears after the check is offered for
    // replacing like one the check found.
    const bool replacing = m_state == State::ReplaceOffered;
    if (!replacing && m_files.exists(target)) {
        offerReplace(folder);
        return;
    }
    startCopy(source, target, folder, replacing);
}

void CopyRenameLogic::startCopy(const QString& source, const QString& target, const QString& folder,
                                bool replacing) {
    m_state = State::Copying;
    m_copyFolder = folder;
    m_copyReplacing = replacing;
    showProgress(0);
    // On a worker thread, so that the window keeps answering during a long copy; the outcome
    // comes back to this thread through the watcher.
    FileLayer& files = m_files;
    m_copying.setFuture(
        QtConcurrent::run([&files, source, target, replacing](QPromise<FileResult>& promise) {
            promise.setProgressRange(0, 100);
            promise.addResult(
                files.copy(source, target, replacing, [&promise](qint64 copied, qint64 total) {
                    promise.setProgressValue(total > 0 ? int(copied * 100 / total) : 100);
                }));
        }));
}

void CopyRenameLogic::showProgress(int percent) {
    m_status = text(kTextCopy) + "... " + QString::number(percent) + " %";
    m_icon = ProgramArt::kIconWaiting;
    m_reason.clear();
}

void CopyRenameLogic::copyEnded() {
    const FileResult result = m_copying.result();
    m_state = m_copyReplacing ? State::ReplaceOffered : State::ReadyForCopy;
    if (result.failure == FileFailure::AlreadyExists && !m_copyReplacing) {
        offerReplace(m_copyFolder);
    } else if (!result.ok()) {
        fail(result);
    } else {
        m_module.settings.CopyFolder = m_copyFolder;
        succeed();
        if (samePlace(m_copyFolder, m_sourceFolder))
            m_refresh({}, {});
    }
    emit changed();
}

void CopyRenameLogic::rename(const QString& name, const QString& newName) {
    if (sameText(name, newName)) {
        refuse(kTextNameMustDiffer);
        return;
    }
    if (m_files.exists(filePath(m_sourceFolder, newName))) {
        refuse(kTextFileExists);
        return;
    }
    const FileResult result = m_files.rename(m_sourceFolder, name, newName);
    if (result.failure == FileFailure::AlreadyExists) { // taken since the check
        refuse(kTextFileExists);
        return;
    }
    if (!result.ok()) {
        fail(result);
        return;
    }
    succeed();
    m_refresh(name, newName);
}

void CopyRenameLogic::offerReplace(const QString& folder) {
    refuse(kTextFileExists);
    m_state = State::ReplaceOffered;
    m_module.settings.CopyFolder = folder;
}

void CopyRenameLogic::refuse(TextId reason) {
    showAttention(text(reason), ProgramArt::kIconRefusal);
}

void CopyRenameLogic::fail(const FileResult& result) {
    showAttention(text(kTextOperationFailed) + " Error: " + QString::number(result.code()),
                  ProgramArt::kIconRefusal);
    m_reason = result.reason;
}

void CopyRenameLogic::succeed() {
    showAttention(text(kTextOperationSucceeded), ProgramArt::kIconSuccess);
    m_state = State::Done;
}

void CopyRenameLogic::showAttention(const QString& message, ProgramArt::Icon icon) {
    m_status = text(kTextAttention) + ": " + message;
    m_icon = icon;
    m_reason.clear();
}
