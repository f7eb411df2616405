#pragma once

// One side of the window: its drive, folder and file lists and its status box.

#include "dirlistmodel.h"
#include "drivelistmodel.h"
#include "filelistmodel.h"
#include "textbox.h"

#include <QObject>

namespace dyadix {

// One side of the window (index 1 Left, 2 Right): drive list, folder list, file list and
// status box.
class Pane final : public QObject
{
    Q_OBJECT

public:
    Pane(int index, FileSystem &fileSystem, const QString &designedStatus,
         QObject *parent = nullptr);

    const int index;
    DriveListModel drvList;
    DirListModel dirList;
    FileListModel lstFiles;
    TextBox txtStatus;
    // What the last listing could not read and left out at the user's Ignore: files by their
    // names in the list, subfolders by theirs ending in "/", and the folder itself as an empty
    // name where it was not read whole (it could not be read, or the listing was stopped).
    QStringList unread;
};

} // namespace dyadix
