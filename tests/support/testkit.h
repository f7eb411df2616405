#pragma once

// What the tests share: a file system that fails on request, scripted boxes, settings in memory, a recording window host and shell, a
// window model over two fresh folders, and files on disk read and written as the kernel sees them.

#include "form/formhost.h"
#include "form/formmodel.h"
#include "core/forwardingfilesystem.h"
#include "native/nativefilesystem.h"
#include "core/utf8names.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QUrl>
#include <QTest>

#include <atomic>
#include <chrono>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace dyadix::test {

enum class FsOperation { Enumerate, EntryStat, FileDateTime, FileCopy, WriteFile, Kill, Trash };

// The real file system, but the nth call of an operation (for a path that ends with a text, if one is given) fails. EntryStat is the stat
// that enumerate takes of each file it finds; enumerations come sorted by name, so that a test knows which file a fault hits.
class FaultyFileSystem final : public ForwardingFileSystem
{
public:
    explicit FaultyFileSystem(FileSystem &real) : ForwardingFileSystem(real), m_real(real) {}
    void failOn(FsOperation op, RunTimeError error, int nth = 1, const QString &ending = {})
    {
        m_faults.push_back({op, std::move(error), nth, ending});
    }
    // A volume the drive lists offer although nothing is mounted there.
    void addVolume(const QString &root) { m_extraVolumes.push_back({root, {}}); }
    // Runs as a tree walk hands over each batch: what the user does meanwhile.
    std::function<void()> onTreeBatch;
    // The next copy, once it has copied its first part, waits until its caller stops it.
    void holdNextCopyUntilStopped() { m_holdCopy = true; }

    Result<std::vector<DirEntry>> enumerate(const QString &folder, const QString &pattern) override
    {
        if (auto error = check(FsOperation::Enumerate, QDir::cleanPath(folder) + '/'))
            return *error;
        Result<std::vector<DirEntry>> entries = m_real.enumerate(folder, pattern);
        if (entries) {
            std::sort(entries->begin(), entries->end(), [](auto &a, auto &b) { return a.name < b.name; });
            for (DirEntry &entry : *entries) {
                if (auto error = check(FsOperation::EntryStat, folder + '/' + entry.name))
                    entry.statError = error->number;
            }
        }
        return entries;
    }
    // A folder listed in batches is listed through enumerate above, faults and all.
    Status listFolder(const QString &folder, const QString &pattern, const TreeBatch &batch) override
    {
        return FileSystem::listFolder(folder, pattern, batch);
    }
#define DYADIX_FAULT(op, path) if (auto error = check(FsOperation::op, path)) return *error
    Result<std::int64_t> FileDateTime(const QString &path) override { DYADIX_FAULT(FileDateTime, path); return m_real.FileDateTime(path); }
    Status Kill(const QString &path) override { DYADIX_FAULT(Kill, path); return m_real.Kill(path); }
    Status moveToTrash(const QString &path) override { DYADIX_FAULT(Trash, path); return m_real.moveToTrash(path); }
    Status writeFile(const QString &path, const QByteArray &data, SpecialTarget special = SpecialTarget::Refuse) override { DYADIX_FAULT(WriteFile, path); return m_real.writeFile(path, data, special); }
    Status FileCopy(const QString &source, const QString &target, const CopyProgress &progress = {}, Replaced replaced = Replaced::Dropped) override
    {
        DYADIX_FAULT(FileCopy, target);
        if (!m_holdCopy.exchange(false) || !progress)
            return m_real.FileCopy(source, target, progress, replaced);
        return m_real.FileCopy(source, target, [&progress](std::int64_t done) {
            for (int waited = 0; waited < 20000; ++waited) { // at most 20 s, then on to the end
                if (!progress(done))
                    return false;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return true;
        }, replaced);
    }
    Result<QString> volumeOf(const QString &path) override
    {
        for (const Volume &volume : m_extraVolumes) {
            if ((path + '/').startsWith(volume.rootPath))
                return volume.rootPath;
        }
        return m_real.volumeOf(path);
    }
#undef DYADIX_FAULT
    std::vector<Volume> volumes() override
    {
        std::vector<Volume> all = m_real.volumes();
        all.insert(all.end(), m_extraVolumes.begin(), m_extraVolumes.end());
        return all;
    }
    Status walkTree(const QString &folder, const QString &pattern, const TreeBatch &batch) override
    {
        if (auto error = check(FsOperation::Enumerate, QDir::cleanPath(folder) + '/'))
            return *error;
        return m_real.walkTree(folder, pattern, [&](std::vector<DirEntry> &entries) {
            if (onTreeBatch)
                onTreeBatch();
            for (DirEntry &entry : entries) {
                if (auto error = check(FsOperation::EntryStat, QDir::cleanPath(folder) + '/' + entry.name); error && !entry.name.endsWith('/'))
                    entry.statError = error->number;
            }
            return batch(entries);
        });
    }

private:
    struct Fault { FsOperation op; RunTimeError error; int nth; QString ending; };
    std::optional<RunTimeError> check(FsOperation op, const QString &path)
    {
        for (auto fault = m_faults.begin(); fault != m_faults.end(); ++fault) {
            if (fault->op == op && path.endsWith(fault->ending) && --fault->nth == 0) {
                RunTimeError error = fault->error;
                m_faults.erase(fault);
                return error;
            }
        }
        return std::nullopt;
    }
    FileSystem &m_real;
    std::atomic<bool> m_holdCopy = false;
    std::vector<Volume> m_extraVolumes;
    std::vector<Fault> m_faults;
};

// One box the program showed.
struct PromptRecord
{
    QString text;
    int style = -1; // -1: an input box
    QString title;
    QString defaultText;
    QString line() const { return title + " (" + QString::number(style) + "): " + text; }
};

// Answers boxes from a script and records them; a box with no answer queued fails the test.
class ScriptedPrompter final : public Prompter
{
public:
    void answer(MsgAnswer answer) { m_answers.push_back(answer); }
    // Answers by key: O, C, A, R, I, Y, N for OK, Cancel, Abort, Retry, Ignore, Yes and No.
    void answerKeys(const QString &keys) { for (QChar key : keys) answer(MsgAnswer(QString("?OCARIYN").indexOf(key))); }
    void type(const QString &text) { m_inputs.push_back(text); }
    MsgAnswer MsgBox(const QString &text, int style, const QString &title) override
    {
        m_shown.push_back({text, style, title, {}});
        if (onShow)
            onShow(m_shown.back());
        if (m_answers.empty()) {
            QTest::qFail(qPrintable("unexpected box: " + m_shown.back().line()), __FILE__, __LINE__);
            return MsgStyle::buttonSet(style) == MsgStyle::AbortRetryIgnore ? MsgAnswer::Abort : MsgAnswer::Cancel;
        }
        const MsgAnswer next = m_answers.front();
        m_answers.pop_front();
        return next;
    }
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        m_shown.push_back({prompt, -1, title, defaultText});
        if (m_inputs.empty()) {
            QTest::qFail(qPrintable("unexpected input box: " + m_shown.back().line()), __FILE__, __LINE__);
            return {};
        }
        const QString next = m_inputs.front();
        m_inputs.pop_front();
        return next;
    }
    const std::vector<PromptRecord> &shown() const { return m_shown; }
    QStringList texts() const { return collect(&PromptRecord::text); }
    QStringList lines() const { return collect(&PromptRecord::line); }
    void clear() { m_answers.clear(), m_inputs.clear(), m_shown.clear(); }
    // Runs as each box shows, before it is answered: what the user does meanwhile.
    std::function<void(const PromptRecord &)> onShow;

private:
    template <typename What> QStringList collect(What what) const
    {
        QStringList result;
        for (const PromptRecord &box : m_shown)
            result << std::invoke(what, box);
        return result;
    }
    std::deque<MsgAnswer> m_answers;
    std::deque<QString> m_inputs;
    std::vector<PromptRecord> m_shown;
};

// Settings in memory as "application/section/key"; writes can be made to fail.
struct MemorySettingsStore final : SettingsStore
{
    QString GetSetting(const QString &app, const QString &section, const QString &key, const QString &value) override
    {
        return values.value(app + '/' + section + '/' + key, value);
    }
    Status SaveSetting(const QString &app, const QString &section, const QString &key, const QString &value) override
    {
        if (!writeError)
            values.insert(app + '/' + section + '/' + key, value);
        return writeError ? Status(*writeError) : Status();
    }
    Status DeleteSetting(const QString &app, const QString &section, const QString &key) override
    {
        if (writeError)
            return *writeError;
        return values.remove(app + '/' + section + '/' + key) ? Status() : Status(ErrorNumber::InvalidArgument);
    }
    std::optional<RunTimeError> writeError;
    QMap<QString, QString> values;
};

struct RecordingShell final : Shell
{
    Result<int> openWebAddress(const QString &address) override { return opened << address, result; }
    QStringList opened;
    Result<int> result = ShellResult::Success;
};

// Records what the window model asks of its window, in order.
struct RecordingHost final : FormHost
{
    WindowFrame windowFrame() override { return frame; }
    void moveWindow(const WindowFrame &to) override
    {
        frame = to;
        calls << QString("move %1 %2 %3 %4").arg(to.left).arg(to.top).arg(to.width).arg(to.height);
    }
    int windowState() override { return state; }
    void setWindowState(int to) override { state = to, calls << QString("state %1").arg(to); }
    double screenWidth() override { return 1920 * 15; }
    double screenHeight() override { return 1080 * 15; }
    void showWindow() override { calls << "show"; }
    void focusFilter() override { calls << "focus"; }
    void unloadWindow() override { calls << "unload", onUnload(); }
    void endProgram() override { calls << "end"; }
    void setMousePointer(int pointer) override { calls << QString("pointer %1").arg(pointer); }
    void processEvents() override {}
    WindowFrame frame {0, 0, 7230, 6975};
    int state = 0;
    QStringList calls;
    std::function<void()> onUnload = [] {};
};

// Writes a file with content and modification time (seconds; 0 leaves it); any bytes in path.
inline bool writeFile(const QByteArray &path, const QByteArray &content, std::int64_t modified = 0)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const struct timespec times[2] = {{time_t(modified), 0}, {time_t(modified), 0}};
    const bool ok = fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size()
        && (modified == 0 || ::futimens(fd, times) == 0);
    return fd >= 0 && ::close(fd) == 0 && ok;
}
inline bool writeFile(const QString &path, const QByteArray &content, std::int64_t modified = 0)
{
    return writeFile(encodeUtf8Name(path), content, modified);
}
// The content of a file, or a null array when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    const int fd = ::open(encodeUtf8Name(path).constData(), O_RDONLY | O_CLOEXEC);
    QByteArray content = fd < 0 ? QByteArray() : QByteArray("");
    char buffer[65536];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, n);
    if (fd >= 0)
        ::close(fd);
    return content;
}
inline std::int64_t localTime(int year, int month, int day, int hour, int minute, int second = 0)
{
    std::tm t {second, minute, hour, day, month - 1, year - 1900, 0, 0, -1, 0, nullptr};
    return std::mktime(&t);
}
inline std::int64_t modifiedOf(const QString &path) // -1: no such file
{
    struct stat st {};
    return ::lstat(encodeUtf8Name(path).constData(), &st) == 0 ? st.st_mtim.tv_sec : -1;
}
inline QStringList namesIn(const QString &folder) // sorted, hidden ones included
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return names.sort(), names;
}
inline bool setMode(const QString &path, int mode)
{
    return ::chmod(encodeUtf8Name(path).constData(), mode_t(mode)) == 0;
}

// A folder's entries by path: "path=content@o" (changed at `old`; "@n" at `young`), "path/", "path|" a pipe, "path@" a link.
inline QString filesOf(const QString &top, std::int64_t old, std::int64_t young, bool deep = false)
{
    QMap<QString, QString> items;
    QDirIterator it(top, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, deep ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next(), name = path.mid(top.size() + 1);
        struct stat st {};
        const int kind = ::lstat(encodeUtf8Name(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
        items[name] = name + (kind == S_IFDIR ? "/" : kind == S_IFIFO ? "|" : kind == S_IFLNK ? "@" : kind != S_IFREG ? "?" : "=" + readFile(path)
                              + (st.st_mtim.tv_sec == old ? "@o" : st.st_mtim.tv_sec == young ? "@n" : ""));
    }
    return QStringList(items.values()).join(' ');
}

// A list's lines as "name", "name~" for a placeholder, with "+" when ticked.
inline QString summaryOf(const FileListModel &list)
{
    QStringList result;
    for (int i = 0; i < list.ListCount(); ++i)
        result << list.entry(i).name + (list.entry(i).placeholder ? "~" : "") + (list.Selected(i) ? "+" : "");
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

// A small tmpfs, or a bind mount of a folder, in a new folder under `under` where the test may mount (as root); else null.
struct Mount
{
    QTemporaryDir dir;
    explicit Mount(const QString &under) : dir(under + "/dyadix-XXXXXX") {}
    ~Mount() { ::umount2(dir.path().toLocal8Bit(), MNT_DETACH); }
    static std::unique_ptr<Mount> make(const QString &source, const char *type, unsigned long flags, const QByteArray &options, const QString &under)
    {
        auto mount = std::make_unique<Mount>(under);
        const bool ok = ::geteuid() == 0 && mount->dir.isValid()
            && ::mount(source.toLocal8Bit(), mount->dir.path().toLocal8Bit(), type, flags, options) == 0;
        return ok ? std::move(mount) : nullptr;
    }
    static auto tmpfs(int kilobytes, const QString &under = QDir::tempPath(), const QByteArray &mode = "1777")
    { return make("tmpfs", "tmpfs", 0, "size=" + QByteArray::number(kilobytes) + "k,mode=" + mode, under); }
    static auto bind(const QString &folder, const QString &under = QDir::tempPath()) { return make(folder, nullptr, MS_BIND, {}, under); }
};

// Acts as the unprivileged user "nobody" while it lives, where the test runs as root: the real
// and effective IDs change, and root's stay saved, so that they come back at the end.
struct ActAsNobody
{
    static constexpr int Id = 65534;
    bool active = ::geteuid() == 0 && ::setgroups(0, nullptr) == 0 && ::setresgid(Id, Id, 0) == 0 && ::setresuid(Id, Id, 0) == 0;
    ~ActAsNobody()
    {
        const gid_t rootGroups[] = {0};
        if (active && (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0 || ::setgroups(1, rootGroups) != 0))
            ::abort(); // the rest of the suite must not run as someone else
    }
};

} // namespace dyadix::test
