#pragma once

// A file that replaces its target only once it is complete: written unnamed or under a
// temporary name beside the target, the old file kept in the Trash on request, then renamed
// into place.

#include "nativeposix.h"
#include "nativetrash.h"

#include <optional>
#include <sys/stat.h>
#include <utility>

namespace dyadix::native {

// Removes the temporary files that a run of this program left in a folder when it was killed
// (".dyadix-PID-N.part" of a process that no longer runs), once a folder for the program's life;
// never on a network folder, where the parts may be another machine's.
void removeStaleParts(const QByteArray &folder);

// A file that replaces `target` once it is complete. Until then, and whenever something
// fails, the target stays as it was and nothing is left behind. A new target is written as an
// unnamed file in its folder and named when complete: one change to the folder, and after a
// crash there is no partial file under any name. An existing target is written unnamed too and
// takes a temporary name beside it only once complete, to be renamed over it; on a file system
// without unnamed files, the temporary name is taken from the start.
class ReplacingFile
{
public:
    explicit ReplacingFile(QByteArray target)
        : m_target(std::move(target))
    {
    }
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;
    ~ReplacingFile();

    // Checks the target and creates the file that will replace it. An existing target must be
    // a regular file the user may write, and never the source itself (`source`, when given);
    // a link at the target is written through to the file it names and left in place. The
    // finished file gets `mode`; without one, the permissions of the file it replaces or a
    // new file's. Set-user-ID and set-group-ID stay only where the finished file has the
    // owner and group of the file whose mode it takes.
    Status open(std::optional<mode_t> mode = std::nullopt, const struct stat *source = nullptr,
                Replaced replaced = Replaced::Dropped);
    int fd() const { return m_out.get(); }
    // The file that is replaced: the target, or the file a link at the target names.
    const QByteArray &target() const { return m_target; }

    // Puts the finished file in the target's place.
    Status commit();

private:
    // The file about to be replaced goes into the Trash: a second name there, so that the
    // rename that follows replaces it in one step and its content is never gone. Where the
    // file system keeps no second names, it is moved there just before the rename.
    Result<Trashed> keepReplacedFile();
    void undoKeeping(const Trashed &kept);

    // The mode less the set-ID bits of an owner or group that the new file does not have: a
    // copy made by root of another user's set-user-ID program must not run as root.
    mode_t keptMode() const;

    Status nameUnnamedFile();

    QByteArray m_target;
    QByteArray m_temporary;
    FileDescriptor m_out;
    bool m_unnamed = false;
    bool m_replaces = false; // a file of the target's name was there
    std::optional<mode_t> m_mode;
    std::optional<std::pair<uid_t, gid_t>> m_owner;
    Replaced m_replaced = Replaced::Dropped;
    bool m_movedToTrash = false;
    bool m_modeNeedsChange = false;
};

} // namespace dyadix::native
