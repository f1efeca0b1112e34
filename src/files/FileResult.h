#pragma once

#include <QString>

// Why a file operation failed. The numbers are the file layer's error codes, shown to the user
// after " Error: "; they are stable: a code is never renumbered or reused.
enum class FileFailure : int {
    None = 0,
    NotFound = 1,      // the file, or a folder on its path, does not exist
    AccessDenied = 2,  // no permission for the file or its folder
    ReadOnly = 3,      // the file system is mounted read-only, or the file is busy
    NoSpace = 4,       // the disk or the quota is full, or the file grew past a size limit
    AlreadyExists = 5, // the target name is taken
    InvalidName = 6,   // a name with a separator, ".", "..", too long, or otherwise unusable
    NotAFile = 7,      // a folder, device or pipe where a file was expected
    SameFile = 8,      // the copy's source and target are one file
    InputOutput = 9,   // the device reported a read or write error
    Other = 10,        // any other error the system reported
};

// The outcome of a file operation: success, or the failure's code and the system's reason text.
struct FileResult {
    FileFailure failure = FileFailure::None;
    QString reason;

    bool ok() const { return failure == FileFailure::None; }
    int code() const { return static_cast<int>(failure); }

    // The failure that a system error number stands for, with the system's text for it.
    static FileResult fromSystemError(int error);
    static FileResult failed(FileFailure failure, QString reason) {
        return {failure, std::move(reason)};
    }
};
