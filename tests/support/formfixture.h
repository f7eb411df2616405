#pragma once

#include "faultyfilesystem.h"
#include "memorysettingsstore.h"
#include "recordinghost.h"
#include "recordingshell.h"
#include "scriptedprompter.h"

#include "form/formmodel.h"
#include "runtime/nativefilesystem.h"

#include <QTemporaryDir>

#include <memory>

namespace dyadix::test {

// A window model on the real file system (through the fault injector), scripted boxes,
// settings in memory and a recording host.
struct FormFixture
{
    NativeFileSystem realFileSystem;
    FaultyFileSystem fileSystem {realFileSystem};
    ScriptedPrompter prompter;
    MemorySettingsStore settings;
    RecordingShell shell;
    RecordingHost host;
    std::unique_ptr<FormModel> form;

    FormFixture()
    {
        fileSystem.sortEnumerations();
        form = std::make_unique<FormModel>(fileSystem, prompter, settings, shell, host,
                                           ProgramInfo {QStringLiteral("dyadix"), 1, 8, 0,
                                                        QStringLiteral("DYX 261206")});
        host.onUnload = [this] { form->Form_Unload(); };
    }

    // Lists pane `index` on a folder, as opening it in the folder list does.
    bool show(int index, const QString &folder)
    {
        return form->pane(index).dirList.setPath(folder).has_value();
    }
    QStringList lines(int index) const
    {
        QStringList result;
        const FileListModel &list = form->pane(index).lstFiles;
        for (int i = 0; i < list.ListCount(); ++i)
            result << list.List(i);
        return result;
    }
    QString status(int index) const { return form->pane(index).txtStatus.Text(); }
};

} // namespace dyadix::test
