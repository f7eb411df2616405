#pragma once

// Every file-system operation of the program, as one interface.

#include "result.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace dyadix {

// Attribute bits of a file-system entry.
namespace FileAttribute {
constexpr int Normal = 0;
constexpr int ReadOnly = 1;
constexpr int Hidden = 2;    // the name begins with a dot
constexpr int System = 4;    // a device, socket or pipe
constexpr int Directory = 16;
constexpr int Archive = 32;  // a regular file
constexpr int Alias = 64;    // a symbolic link (the other bits describe what it points to)
} // namespace FileAttribute

// What one stat of an entry gives: attributes, length and last-modified time.
struct FileStat
{
    int attributes = FileAttribute::Normal;
    std::int64_t size = 0;
    std::int64_t modified = 0; // seconds since the epoch
};

// One file found by FileSystem::enumerate, stat taken as it was found. A file that could not
// be stat'ed (it vanished, or a link points nowhere readable) carries the number of the error
// instead (0: none); folders list 100,000s of these, so they stay small.
struct DirEntry
{
    QString name;
    FileStat stat;
    int statError = 0;
};

// A volume of the machine that a user would pick as a drive.
struct Volume
{
    QString rootPath; // ends in the separator
    QString label;
};

// Two files whose contents are to be compared, and what comparing them found.
struct ContentPair
{
    QString first;
    QString second;
};
enum class Contents { Same, Different };

// Kinds of a file's extended attributes, as bits of what a copy could not keep.
namespace AttributeKind {
constexpr int User = 1;     // user.*: the desktop's tags, where a download came from
constexpr int Security = 2; // security.* and trusted.*: labels, set only by root
constexpr int Access = 4;   // POSIX access lists
} // namespace AttributeKind

// What becomes of a file that a copy replaces.
enum class Replaced { Dropped, ToTrash };

// What a write does with a target that is not a regular file.
enum class SpecialTarget { Refuse, WriteInto };

// Every file-system operation of the program. Paths are absolute, '/'-separated, and may hold
// any byte of a file name (see utf8names.h).
class FileSystem
{
public:
    // Hears the bytes copied so far; answers whether to go on.
    using CopyProgress = std::function<bool(std::int64_t bytesDone)>;

    virtual ~FileSystem() = default;

    // The files of a folder whose names match the pattern (matchesWildcard), in no particular
    // order. Folders, and links to folders, never appear; hidden files do.
    virtual Result<std::vector<DirEntry>> enumerate(const QString &folder,
                                                    const QString &pattern)
        = 0;

    // Hears a tree walk's entries a batch at a time (it may take them); answers whether to go on.
    using TreeBatch = std::function<bool(std::vector<DirEntry> &entries)>;
    // The files of a folder's whole tree whose own names match the pattern, named by their
    // path relative to the folder ("/" between folders), a batch at a time, in no particular
    // order. Folders are no entries; a link to a folder is not followed, nor is a folder
    // reached a second time (a bind mount of one above it). A subfolder that cannot be read
    // is an entry of its own: its relative path ending in "/", the error's number as
    // statError. Fails only when the folder itself cannot be read.
    virtual Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) = 0;
    // What enumerate finds, handed over a batch at a time, so that a folder of a million
    // files is never held whole. While a large folder's names are read, empty batches come
    // now and then (the caller may repaint); an error comes before any entry.
    virtual Status listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch) = 0;

    virtual Result<int> GetAttr(const QString &path) = 0;
    // Last-modified time in seconds since the epoch.
    virtual Result<std::int64_t> FileDateTime(const QString &path) = 0;
    virtual Result<std::int64_t> FileLen(const QString &path) = 0;
    // Copies a file's content, time and permissions over the target without ever leaving the
    // target half written. A progress callback hears the bytes copied so far as the copy goes
    // (possibly from another thread than the caller's, when the caller runs the copy there);
    // when it answers false the copy stops, removes what it wrote and fails with Stopped. A
    // target that is replaced goes, with ToTrash, into the Trash as the copy takes its place.
    // The file's extended attributes go with it where the target can hold them and this user
    // may set them; the result is the AttributeKind bits of those the target did not keep (0:
    // all kept, or none there).
    virtual Result<int> FileCopy(const QString &source, const QString &target,
                                 const CopyProgress &progress = {}, Replaced replaced = Replaced::Dropped)
        = 0;
    // Compares the contents of each pair of files, both files read at once in large blocks up
    // to the first block that differs; files of different lengths differ unread. Several pairs
    // may be read at once. Only regular files are opened ("Not a regular file" otherwise). The
    // progress hears the bytes compared so far (of one file of each pair); when it answers
    // false, the pairs not yet done fail with Stopped.
    virtual std::vector<Result<Contents>> compareContents(const std::vector<ContentPair> &pairs,
                                                          const CopyProgress &progress = {})
        = 0;
    // Makes the folders of `relativeFolder` ("/" between folders) that are missing below
    // `targetFolder`, each with the permissions of its counterpart below `sourceFolder`. A file
    // (or a link) where a folder belongs is left alone and fails as "A file stands where a
    // folder belongs".
    virtual Status makeFolders(const QString &targetFolder, const QString &relativeFolder,
                               const QString &sourceFolder)
        = 0;
    // Writes a whole file, replacing an existing one only once the new content is complete:
    // a failure leaves the old file as it was. A link is written through and kept. What is
    // neither a file nor a folder (a pipe, a terminal, a device) is refused as "Not a regular
    // file", or with WriteInto opened and written as it is.
    virtual Status writeFile(const QString &path, const QByteArray &content,
                             SpecialTarget special = SpecialTarget::Refuse)
        = 0;
    // Writes the files (and their folders' entries) from memory to their disks, so that they
    // survive a power cut.
    virtual Status flushToDisk(const QStringList &files) = 0;
    // Deletes one file; a link is removed itself, never what it points to.
    virtual Status Kill(const QString &path) = 0;
    // Moves one file into the user's Trash (the desktop's layout, so that its file manager can
    // restore it), with the same refusals as Kill; "No usable Trash folder on this drive"
    // where its volume has no Trash this user may use or make.
    virtual Status moveToTrash(const QString &path) = 0;

    // Whether the folder's file system takes names that differ only in case for one name (FAT,
    // exFAT, a case-folding folder), as found by looking a name up; where that cannot be told
    // (nothing in it to look up), true.
    virtual bool namesFoldCase(const QString &folder) = 0;
    // The names of a folder's subfolders (links to folders included), sorted without regard
    // to case.
    virtual Result<QStringList> subfolders(const QString &folder) = 0;
    virtual bool folderExists(const QString &path) = 0;
    virtual std::vector<Volume> volumes() = 0;
    // The root path of the volume that holds a path (or, for a path that does not exist,
    // its nearest existing folder). A missing folder under /media, /mnt or /run/media whose
    // volume is no longer mounted gives "Device unavailable".
    virtual Result<QString> volumeOf(const QString &path) = 0;
    virtual QString currentFolder() = 0;
};

} // namespace dyadix
