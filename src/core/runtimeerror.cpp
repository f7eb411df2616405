#include "runtimeerror.h"

#include <cerrno>

namespace dyadix {

QString errorDescription(int number)
{
    switch (static_cast<ErrorNumber>(number)) {
    case ErrorNumber::InvalidArgument:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrorNumber::Overflow:
        return QStringLiteral("Overflow");
    case ErrorNumber::OutOfMemory:
        return QStringLiteral("Out of memory");
    case ErrorNumber::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case ErrorNumber::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case ErrorNumber::BadFileName:
        return QStringLiteral("Bad file name or number");
    case ErrorNumber::FileNotFound:
        return QStringLiteral("File not found");
    case ErrorNumber::FileAlreadyOpen:
        return QStringLiteral("File already open");
    case ErrorNumber::DeviceIoError:
        return QStringLiteral("Device I/O error");
    case ErrorNumber::FileAlreadyExists:
        return QStringLiteral("File already exists");
    case ErrorNumber::DiskFull:
        return QStringLiteral("Disk full");
    case ErrorNumber::TooManyFiles:
        return QStringLiteral("Too many files");
    case ErrorNumber::DeviceUnavailable:
        return QStringLiteral("Device unavailable");
    case ErrorNumber::PermissionDenied:
        return QStringLiteral("Permission denied");
    case ErrorNumber::DiskNotReady:
        return QStringLiteral("Disk not ready");
    case ErrorNumber::RenameAcrossDrives:
        return QStringLiteral("Can't rename with different drive");
    case ErrorNumber::PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case ErrorNumber::PathNotFound:
        return QStringLiteral("Path not found");
    case ErrorNumber::SameFile:
        return QStringLiteral("Source and target are the same file");
    case ErrorNumber::TargetIsFolder:
        return QStringLiteral("The target is a folder");
    case ErrorNumber::Stopped:
        return QStringLiteral("Stopped before the file was finished");
    case ErrorNumber::NotRegularFile:
        return QStringLiteral("Not a regular file");
    case ErrorNumber::LinkNotFollowed:
        return QStringLiteral("Link in a shared folder not followed: another user made it");
    case ErrorNumber::TrashUnavailable:
        return QStringLiteral("No usable Trash folder on this drive");
    case ErrorNumber::FileInTheWay:
        return QStringLiteral("A file stands where a folder belongs");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

RunTimeError::RunTimeError(ErrorNumber errorNumber)
    : number(static_cast<int>(errorNumber))
    , description(errorDescription(number))
{
}

RunTimeError::RunTimeError(int errorNumber, QString text)
    : number(errorNumber)
    , description(std::move(text))
{
}

RunTimeError RunTimeError::fromErrno(int errnoValue, PathKind kind)
{
    switch (errnoValue) {
    case ENOENT:
        return kind == PathKind::File ? ErrorNumber::FileNotFound : ErrorNumber::PathNotFound;
    case ENOTDIR:
        return ErrorNumber::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        return ErrorNumber::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorNumber::DiskFull;
    case EEXIST:
    case ENOTEMPTY:
        return ErrorNumber::FileAlreadyExists;
    case EIO:
        return ErrorNumber::DeviceIoError;
    case ENXIO:
    case ENODEV:
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
        return ErrorNumber::DeviceUnavailable;
    case ENOMEDIUM:
        return ErrorNumber::DiskNotReady;
    case EMFILE:
    case ENFILE:
        return ErrorNumber::TooManyFiles;
    case ENAMETOOLONG:
    case EILSEQ:
        return ErrorNumber::BadFileName;
    case EXDEV:
        return ErrorNumber::RenameAcrossDrives;
    case ENOMEM:
        return ErrorNumber::OutOfMemory;
    case EOVERFLOW:
        return ErrorNumber::Overflow;
    case EINVAL:
        return ErrorNumber::InvalidArgument;
    default:
        return ErrorNumber::PathFileAccessError;
    }
}

RunTimeError RunTimeError::onPath(const QString &path) const
{
    RunTimeError about = *this;
    about.subject = path;
    about.subjectKind = Subject::PathRead;
    return about;
}

RunTimeError RunTimeError::findingFolder(const QString &folder) const
{
    RunTimeError about = *this;
    about.subject = folder;
    about.subjectKind = Subject::FolderNotFound;
    return about;
}

QString RunTimeError::promptText(PromptText form) const
{
    if (form == PromptText::Numbered)
        return QStringLiteral("Error ") + QString::number(number) + QLatin1Char('\n') + description;
    switch (subjectKind) {
    case Subject::PathRead:
        return description + QLatin1String(" on ") + subject;
    case Subject::FolderNotFound:
        return description + QLatin1String("\nCould not find ") + subject;
    case Subject::None:
        break;
    }
    return description;
}

} // namespace dyadix
