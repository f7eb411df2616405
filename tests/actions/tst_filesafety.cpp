#include "formfixture.h"
#include "tempfiles.h"
#include "tmpfsmount.h"

#include "export/tabexport.h"
#include "runtime/nativename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace dyadix;
using namespace dyadix::test;

namespace {

// A file as the kernel knows it: which file it is, what it holds and when it was changed.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    QByteArray content;
    std::int64_t modified = -1;
    bool operator==(const FileIdentity &) const = default;
};

FileIdentity identityOf(const QString &path)
{
    FileIdentity identity;
    struct stat st {};
    if (::stat(encodeNativeName(path).constData(), &st) != 0)
        return identity;
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    identity.content = readFile(path);
    identity.modified = st.st_mtim.tv_sec;
    return identity;
}

} // namespace

class tst_FileSafety : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sameFileIsNeverCopiedOrMoved_data();
    void sameFileIsNeverCopiedOrMoved();
    void exportToABareFileName();
    void filesTheUserMayNotWriteAreKept_data();
    void filesTheUserMayNotWriteAreKept();
    void deleteRetriedOnceTheFileMayBeWritten();

private:
    QString t(const QString &path) const { return m_dir->path() + path; }
    int rowOf(int pane, const QString &name) const;
    // The window title at the moment each box was shown.
    QStringList m_titlesAtBoxes;

    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
    const std::int64_t m_when = localTime(2025, 6, 1, 9, 30);
};

void tst_FileSafety::init()
{
    ::umask(022);
    f = std::make_unique<FormFixture>();
    f->prompter.onShow = [this](const PromptRecord &) { m_titlesAtBoxes << f->form->Caption(); };
    m_titlesAtBoxes.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkdir("L"));
    QVERIFY(QDir(m_dir->path()).mkdir("R"));
    // Other users (see ActAsNobody) may work in these folders too.
    for (const char *folder : {"", "/L", "/R"})
        QVERIFY(::chmod(encodeNativeName(t(folder)).constData(), 0777) == 0);
    m_oldCurrent = QDir::currentPath();
}

void tst_FileSafety::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
}

int tst_FileSafety::rowOf(int pane, const QString &name) const
{
    const FileListModel &list = f->form->pane(pane).lstFiles;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.entry(i).name == name)
            return i;
    }
    return -1;
}

// A copy or move whose target is the source itself, by whatever path (both panes on one
// folder, a linked folder, a bind mount, a link to the source), reports it and leaves the
// file as it was, its line still ticked.
void tst_FileSafety::sameFileIsNeverCopiedOrMoved_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("command");
    for (const char *place : {"one folder", "linked folder", "bind mount", "link to the source"}) {
        QTest::addRow("copy, %s", place) << place << 1;
        QTest::addRow("move, %s", place) << place << 3;
    }
}

void tst_FileSafety::sameFileIsNeverCopiedOrMoved()
{
    QFETCH(QString, place);
    QFETCH(int, command);
    QVERIFY(writeFile(t("/L/f.txt"), "the only copy", m_when));
    const FileIdentity before = identityOf(t("/L/f.txt"));
    std::unique_ptr<BindMount> bind;
    QString target = t("/L");
    if (place == "linked folder") {
        QVERIFY(QFile::link(t("/L"), t("/linked")));
        target = t("/linked");
    } else if (place == "bind mount") {
        bind = std::make_unique<BindMount>(t("/L"));
        if (!bind->mounted())
            QSKIP("this machine does not let the test bind-mount a folder");
        target = bind->path();
    } else if (place == "link to the source") {
        QVERIFY(QFile::link(t("/L/f.txt"), t("/R/f.txt")));
        target = t("/R");
    }
    QVERIFY(f->show(1, t("/L")));
    QVERIFY(f->show(2, target));
    f->form->pane(1).lstFiles.setSelected(rowOf(1, "f.txt"), true);
    f->form->mnuOptionAction.setChecked(false);
    f->prompter.answer(MsgAnswer::Ignore);
    f->form->mnuCopy(command)->trigger();

    QCOMPARE(f->prompter.shown().size(), size_t(1));
    QCOMPARE(f->prompter.shown().front().text, QStringLiteral("Error 81\nSource and target are the same file"));
    QCOMPARE(f->prompter.shown().front().style, 34);
    QCOMPARE(f->prompter.shown().front().title, QStringLiteral("Error!"));
    QVERIFY(m_titlesAtBoxes.front().endsWith("/f.txt"));
    QCOMPARE(identityOf(t("/L/f.txt")), before);
    QCOMPARE(namesIn(t("/L")), QStringList {"f.txt"});
    if (place == "link to the source")
        QVERIFY(QFileInfo(t("/R/f.txt")).isSymLink());
    QVERIFY(f->form->pane(1).lstFiles.Selected(rowOf(1, "f.txt")));
    QCOMPARE(f->form->Caption(), QStringLiteral("Dyadix"));
}

// A bare file name in the export box writes the file in the current folder.
void tst_FileSafety::exportToABareFileName()
{
    QVERIFY(writeFile(t("/L/a.txt"), "a", m_when));
    QVERIFY(f->show(1, t("/L")));
    QVERIFY(f->show(2, t("/R")));
    QVERIFY(QDir::setCurrent(t("/R")));
    f->prompter.type("list.txt");
    f->form->mnuFileExport.trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(1)); // the input box, no error
    QCOMPARE(readFile(t("/R/list.txt")), exportContent(f->form->pane(1), f->form->pane(2)));
    QCOMPARE(namesIn(t("/R")), QStringList {"list.txt"});
}

// A file this user may not write (read-only, another user's, or one whose group may only
// read) is neither replaced by a copy nor deleted; the error prompt comes while the title
// names it.
void tst_FileSafety::filesTheUserMayNotWriteAreKept_data()
{
    QTest::addColumn<QString>("owner"); // "self", "other" or "group"
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("command");
    const std::pair<const char *, int> files[] = {{"self", 0444}, {"other", 0644}, {"group", 0646}};
    for (const auto &[owner, mode] : files) {
        QTest::addRow("copy over %s, %o", owner, mode) << owner << mode << "copy";
        QTest::addRow("delete %s, %o", owner, mode) << owner << mode << "delete";
    }
}

void tst_FileSafety::filesTheUserMayNotWriteAreKept()
{
    QFETCH(QString, owner);
    QFETCH(int, mode);
    QFETCH(QString, command);
    if (owner != "self" && ::geteuid() != 0)
        QSKIP("only root can make a file of another owner; the root run of the suite tests this");
    QVERIFY(writeFile(t("/L/f.txt"), "new content", m_when + 60));
    QVERIFY(writeFile(t("/R/f.txt"), "kept", m_when));
    // "group": root's file in nobody's group, which may not write it although others may.
    if (owner == "group")
        QVERIFY(::chown(encodeNativeName(t("/R/f.txt")).constData(), 0, ActAsNobody::Gid) == 0);
    QVERIFY(::chmod(encodeNativeName(t("/R/f.txt")).constData(), mode_t(mode)) == 0);
    const FileIdentity before = identityOf(t("/R/f.txt"));
    std::unique_ptr<ActAsNobody> nobody;
    if (owner != "self") {
        nobody = std::make_unique<ActAsNobody>();
        QVERIFY(nobody->active());
    }
    QVERIFY(f->show(1, t("/L")));
    QVERIFY(f->show(2, t("/R")));
    f->form->mnuOptionAction.setChecked(false);
    f->prompter.answer(MsgAnswer::Ignore);
    if (command == "copy") {
        f->form->pane(1).lstFiles.setSelected(rowOf(1, "f.txt"), true);
        f->form->mnuCopy(1)->trigger();
    } else {
        f->form->pane(2).lstFiles.setSelected(rowOf(2, "f.txt"), true);
        f->form->mnuDel(2)->trigger();
    }
    nobody.reset();

    QCOMPARE(f->prompter.shown().size(), size_t(1));
    QCOMPARE(f->prompter.shown().front().text, QStringLiteral("Error 70\nPermission denied"));
    QCOMPARE(f->prompter.shown().front().style, 34);
    QVERIFY2(m_titlesAtBoxes.front().endsWith(t("/R/f.txt")), qPrintable(m_titlesAtBoxes.front()));
    QCOMPARE(identityOf(t("/R/f.txt")), before);
    QCOMPARE(namesIn(t("/R")), QStringList {"f.txt"});
    QCOMPARE(readFile(t("/L/f.txt")), QByteArray("new content"));
}

// Retry deletes a read-only file once the user has made it writable in another window.
void tst_FileSafety::deleteRetriedOnceTheFileMayBeWritten()
{
    QVERIFY(writeFile(t("/R/f.txt"), "old", m_when));
    QVERIFY(::chmod(encodeNativeName(t("/R/f.txt")).constData(), 0444) == 0);
    QVERIFY(f->show(2, t("/R")));
    f->form->pane(2).lstFiles.setSelected(0, true);
    f->form->mnuOptionAction.setChecked(false);
    f->prompter.onShow = [this](const PromptRecord &) {
        QVERIFY(QFile::exists(t("/R/f.txt")));
        QVERIFY(::chmod(encodeNativeName(t("/R/f.txt")).constData(), 0644) == 0);
    };
    f->prompter.answer(MsgAnswer::Retry);
    f->form->mnuDel(2)->trigger();
    QCOMPARE(f->prompter.shown().size(), size_t(1));
    QCOMPARE(f->prompter.shown().front().text, QStringLiteral("Error 70\nPermission denied"));
    QCOMPARE(namesIn(t("/R")), QStringList {});
    QCOMPARE(f->form->pane(2).lstFiles.ListCount(), 0);
}

QTEST_MAIN(tst_FileSafety)
#include "tst_filesafety.moc"
