#pragma once

// The program's error numbers, their descriptions, and an error with what it is about.

#include <QString>

namespace dyadix {

// The program's own error numbers. They stay the same on every platform and are what
// the error prompts show; the description of each comes from errorDescription().
enum class ErrorNumber : int {
    InvalidArgument = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    FileAlreadyOpen = 55,
    DeviceIoError = 57,
    FileAlreadyExists = 58,
    DiskFull = 61,
    TooManyFiles = 67,
    DeviceUnavailable = 68,
    PermissionDenied = 70,
    DiskNotReady = 71,
    RenameAcrossDrives = 74,
    PathFileAccessError = 75,
    PathNotFound = 76,
    SameFile = 81,
    TargetIsFolder = 82,
    Stopped = 83,
    NotRegularFile = 84,
    LinkNotFollowed = 85,
    TrashUnavailable = 86,
    FileInTheWay = 87,
};

// Whether an operation named a file or a folder: a missing file is "File not found",
// a missing folder (or a missing folder on the way to a file) is "Path not found".
enum class PathKind { File, Folder };

// How a prompt shows an error: its number and description ("Error 53", line feed, "File not
// found"), or its description followed at once by what it is about (" on " and the path read,
// or a line feed, "Could not find " and the folder that was not found).
enum class PromptText { Numbered, Described };

// A failed run-time operation: the number and description that the error prompt shows, and
// what it is about.
struct RunTimeError
{
    // What a subject is: a path that was read, or a folder that was looked for.
    enum class Subject { None, PathRead, FolderNotFound };

    int number = 0;
    QString description;
    QString subject;
    Subject subjectKind = Subject::None;

    RunTimeError() = default;
    RunTimeError(ErrorNumber errorNumber);
    RunTimeError(int errorNumber, QString text);

    // The same error, about a path that was read.
    RunTimeError onPath(const QString &path) const;
    // The same error, about a folder that was looked for and not found.
    RunTimeError findingFolder(const QString &folder) const;
    // The text of the error's prompt.
    QString promptText(PromptText form) const;

    // Maps an errno value to the program's error table. For ENOENT the kind decides between
    // "File not found" and "Path not found".
    static RunTimeError fromErrno(int errnoValue, PathKind kind = PathKind::File);

    bool operator==(const RunTimeError &other) const = default;
};

// The description of one of the program's error numbers; "Application-defined or
// object-defined error" for a number outside the table.
QString errorDescription(int number);

} // namespace dyadix
