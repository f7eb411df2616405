#include "pane.h"

namespace dyadix {

Pane::Pane(int paneIndex, FileSystem &fileSystem, const QString &designedStatus, QObject *parent)
    : QObject(parent)
    , index(paneIndex)
    , drvList(fileSystem)
    , dirList(fileSystem)
    , lstFiles()
    , txtStatus(designedStatus)
{
}

} // namespace dyadix
