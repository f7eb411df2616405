#pragma once

// A window model over two fresh folders, and the base of the tests that use one.

#include "diskfiles.h"
#include "fakes.h"
#include "faultyfilesystem.h"
#include "scriptedprompter.h"

#include "form/formmodel.h"
#include "native/nativefilesystem.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace dyadix::test {

// A list's lines as "name", "name~" for a placeholder, with "+" when ticked.
// "name~+!": a placeholder, ticked, its file left undone by a command that failed on it.
inline QString summaryOf(const FileListModel &list)
{
    QStringList result;
    for (int i = 0; i < list.ListCount(); ++i)
        result << list.entry(i).name + (list.entry(i).placeholder ? "~" : "") + (list.Selected(i) ? "+" : "") + (list.failedAt(i) ? "!" : "");
    return result.join(' ');
}

// The services a window needs, over the real file system (through the fault injector), in a
// fresh folder holding L and R that is the current folder while it lives.
struct TwoFolders
{
    NativeFileSystem realFs;
    FaultyFileSystem fs {realFs};
    ScriptedPrompter prompter;
    MemorySettingsStore settings;
    RecordingShell shell;
    QTemporaryDir dir;
    QTemporaryDir dataHome; // where the home Trash goes: $XDG_DATA_HOME/Trash
    QString oldCurrent = QDir::currentPath();

    TwoFolders()
    {
        QDir(dir.path()).mkdir("L"), QDir(dir.path()).mkdir("R"), QDir::setCurrent(dir.path());
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    }
    // The names in the home Trash and the original paths its info files give, sorted.
    QStringList trashed() const
    {
        QStringList names;
        for (const QString &info : QDir(dataHome.path() + "/Trash/info").entryList(QDir::Files)) {
            const QByteArray text = readFile(dataHome.path() + "/Trash/info/" + info);
            const QByteArray rest = text.mid(text.indexOf("\nPath=") + 6), path = rest.left(rest.indexOf('\n'));
            names << info.chopped(10) + "=" + QUrl::fromPercentEncoding(path).replace(dir.path(), "%");
        }
        return names.sort(), names;
    }
    ~TwoFolders() { QDir::setCurrent(oldCurrent); }
    QString t(const QString &relative) const { return dir.path() + relative; }
};

// A window model over two fresh folders, with a recording host.
struct Fixture : TwoFolders
{
    RecordingHost host;
    std::unique_ptr<FormModel> form;

    Fixture()
    {
        form = makeForm(settings);
        host.onUnload = [this] { form->Form_Unload(); };
    }
    std::unique_ptr<FormModel> makeForm(SettingsStore &store, const QString &program = "dyadix")
    {
        return std::make_unique<FormModel>(fs, prompter, store, shell, host, ProgramInfo {program, 1, 8, 0, "DYX 261206"});
    }
    bool show(int pane, const QString &folder) { return form->pane(pane).dirList.setPath(folder).has_value(); }
    bool showBoth() { return show(1, t("/L")) && show(2, t("/R")); }
    FileListModel &list(int pane) { return form->pane(pane).lstFiles; }
    QString status(int pane) { return form->pane(pane).txtStatus.Text(); }
    // Whether a pane's copy, move and delete are available, as "1" or "0" each.
    QString enabled(int pane)
    {
        const auto on = [](QAction *command) { return command->isEnabled() ? "1" : "0"; };
        return QString(on(form->mnuCopy(pane))) + on(form->mnuCopy(pane + 2)) + on(form->mnuDel(pane));
    }
    QStringList lines(int pane)
    {
        QStringList result;
        for (int i = 0; i < list(pane).ListCount(); ++i)
            result << list(pane).List(i);
        return result;
    }
    QString summary(int pane) { return summaryOf(list(pane)); }
    int rowOf(int pane, const QString &name)
    {
        for (int i = 0; i < list(pane).ListCount(); ++i) {
            if (list(pane).entry(i).name == name && !list(pane).entry(i).placeholder)
                return i;
        }
        return -1;
    }
    void tick(int pane, const QStringList &names)
    {
        for (const QString &name : names)
            list(pane).setSelected(rowOf(pane, name), true);
    }
};

// The base of a test class over a Fixture: a fresh one for each test function.
class FixtureTest : public QObject
{
    Q_OBJECT
protected:
    std::unique_ptr<Fixture> f;
    QString t(const QString &relative) const { return f->t(relative); }
private slots:
    void init() { ::umask(022), f = std::make_unique<Fixture>(); }
    void cleanup() { f.reset(); }
};

} // namespace dyadix::test
