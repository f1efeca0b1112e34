#include "FileResult.h"

#include <cerrno>
#include <cstring>

namespace {

struct SystemErrorFailure {
    int error;
    FileFailure failure;
};

// The system errors that have a failure of their own; every other error is FileFailure::Other.
constexpr SystemErrorFailure kSystemErrorFailures[] = {
    {ENOENT, FileFailure::NotFound},
    {ENOTDIR, FileFailure::NotFound},
    {EACCES, FileFailure::AccessDenied},
    {EPERM, FileFailure::AccessDenied},
    {EROFS, FileFailure::ReadOnly},
    {ETXTBSY, FileFailure::ReadOnly},
    {ENOSPC, FileFailure::NoSpace},
    {EDQUOT, FileFailure::NoSpace},
    {EFBIG, FileFailure::NoSpace},
    {EEXIST, FileFailure::AlreadyExists},
    {ENOTEMPTY, FileFailure::AlreadyExists},
    {EINVAL, FileFailure::InvalidName},
    {ENAMETOOLONG, FileFailure::InvalidName},
    {ELOOP, FileFailure::InvalidName},
    {EISDIR, FileFailure::NotAFile},
    {EIO, FileFailure::InputOutput},
};

} // namespace

FileResult FileResult::fromSystemError(int error) {
    FileFailure failure = FileFailure::Other;
    for (const SystemErrorFailure& known : kSystemErrorFailures) {
        if (known.error == error)
            failure = known.failure;
    }
    return {failure, QString::fromLocal8Bit(std::strerror(error))};
}
