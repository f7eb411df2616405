#pragma once

// The desktop's Trash, as its file managers keep it.

#include "core/result.h"

#include <QByteArray>

#include <sys/stat.h>

// The user's Trash as the desktop's file managers keep it (the freedesktop.org Trash
// layout): files/ holds what was put there, info/ a NAME.trashinfo for each, with its
// original path and the time it was put there, which "Restore" reads. A file on the home
// folder's file system goes to the home Trash ($XDG_DATA_HOME/Trash); a file on another
// volume to that volume's $topdir/.Trash/$uid (where an administrator made $topdir/.Trash
// sticky) or $topdir/.Trash-$uid, never across volumes.
namespace dyadix::native {

// How a file goes into the Trash: moved there, or linked there while it stays at its name
// too (so that a file replacing it can take its name in one step, the old one never gone).
enum class Placing { Move, Link };

// A file in the Trash, as put there.
struct Trashed
{
    QByteArray file; // in files/
    QByteArray info; // in info/
};

// Puts the file at an absolute `path`, whose stat is `st`, into its Trash. Fails with
// TrashUnavailable where its volume has no Trash this user may use or make; with Link, with
// the error of link() where the file system keeps no second name (the caller then moves it).
Result<Trashed> putInTrash(const QByteArray &path, const struct stat &st, Placing placing);
// Takes back what putInTrash did with Link (the file is still at its name).
void forget(const Trashed &trashed);

} // namespace dyadix::native
