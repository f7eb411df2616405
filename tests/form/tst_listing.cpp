#include "formfixture.h"
#include "tempfiles.h"

#include "runtime/conversions.h"
#include "runtime/nativename.h"

#include <QDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace dyadix;
using namespace dyadix::test;

class tst_Listing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void entriesAndStatus();
    void statusColours();
    void emptyFolders();
    void filters_data();
    void filters();
    void emptyFilterBecomesAll();
    void rootFolderHasOneSeparator();
    void vanishingFile_data();
    void vanishingFile();
    void totalsBeyond32Bits();
    void moreThan32767Files();
    void skipListing();

private:
    std::unique_ptr<FormFixture> f;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    const std::int64_t m_early = localTime(2023, 3, 4, 5, 6, 7);
    const std::int64_t m_late = localTime(2024, 1, 5, 7, 3, 59);
};

void tst_Listing::init()
{
    f = std::make_unique<FormFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->path();
}

namespace {
bool makeSparse(const QString &path, off_t size)
{
    const int fd = ::open(encodeNativeName(path).constData(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::ftruncate(fd, size) == 0;
    return ::close(fd) == 0 && ok;
}
} // namespace

// A listing shows each file as name, date and padded size, sorted by name, with the status
// line, disables the pane's commands and switches synchronised scrolling off.
void tst_Listing::entriesAndStatus()
{
    QVERIFY(writeFile(m_path + "/b.TXT", QByteArray(123, 'b'), m_late));
    QVERIFY(writeFile(m_path + "/A.txt", QByteArray(), m_early));
    QVERIFY(makeSparse(m_path + "/c.dat", 100000000));
    QVERIFY(writeFile(m_path + "/.hidden", "h", m_early));
    QVERIFY(QDir(m_path).mkdir("sub.txt"));
    const std::int64_t cTime = *f->realFileSystem.FileDateTime(m_path + "/c.dat");

    f->form->mnuOptionSynch.setChecked(true);
    f->host.clear();
    QVERIFY(f->show(1, m_path));
    QCOMPARE(f->lines(1), (QStringList {".hidden\t2023/03/04 05:06\t       1",
                                        "A.txt\t2023/03/04 05:06\t       0",
                                        "b.TXT\t2024/01/05 07:03\t     123",
                                        "c.dat\t" + formatDateText(cTime) + "\t100000000"}));
    QCOMPARE(f->status(1), "4 files, 100000124 bytes, 2023/03/04 05:06 to " + formatDateText(cTime));
    QCOMPARE(f->host.calls(), (QStringList {"pointer 11", "pointer 0"}));
    for (QAction *command : {f->form->mnuCopy(1), f->form->mnuCopy(3), f->form->mnuDel(1)})
        QVERIFY(!command->isEnabled());
    for (QAction *command : {f->form->mnuCopy(2), f->form->mnuCopy(4), f->form->mnuDel(2)})
        QVERIFY(command->isEnabled());
    QVERIFY(!f->form->mnuOptionSynch.isChecked());
    QCOMPARE(f->form->MessageText, QString());
    QCOMPARE(f->prompter.shown().size(), size_t(0));
}

// Both status boxes turn green when their texts are equal (names aside), grey otherwise,
// with black text.
void tst_Listing::statusColours()
{
    QVERIFY(QDir(m_path).mkdir("left"));
    QVERIFY(QDir(m_path).mkdir("right"));
    QVERIFY(writeFile(m_path + "/left/one.txt", "12345", m_late));
    QVERIFY(writeFile(m_path + "/right/ONE-other-name.txt", "54321", m_late));
    const QColor green(0, 255, 0), grey(192, 192, 192);

    QVERIFY(f->show(1, m_path + "/left"));
    QCOMPARE(f->form->pane(1).txtStatus.BackColor(), grey);
    QCOMPARE(f->form->pane(2).txtStatus.BackColor(), grey);
    QVERIFY(f->show(2, m_path + "/right"));
    QCOMPARE(f->status(2), f->status(1));
    for (int i : {1, 2}) {
        QCOMPARE(f->form->pane(i).txtStatus.BackColor(), green);
        QCOMPARE(f->form->pane(i).txtStatus.ForeColor(), QColor(Qt::black));
    }
    QVERIFY(writeFile(m_path + "/right/two.txt", "2", m_late));
    QVERIFY(f->show(2, m_path + "/right"));
    QCOMPARE(f->form->pane(1).txtStatus.BackColor(), grey);
    QCOMPARE(f->form->pane(2).txtStatus.BackColor(), grey);
}

// Two empty folders both show "0 files." on green.
void tst_Listing::emptyFolders()
{
    QVERIFY(f->show(1, m_path));
    QVERIFY(f->show(2, m_path));
    QCOMPARE(f->lines(1), QStringList());
    QCOMPARE(f->status(1), QStringLiteral("0 files."));
    QCOMPARE(f->status(2), QStringLiteral("0 files."));
    QCOMPARE(f->form->pane(1).txtStatus.BackColor(), QColor(0, 255, 0));
}

// Each pattern of the filter is listed in turn; nothing removes a file listed twice.
void tst_Listing::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two kinds") << "*.txt, *.doc" << QStringList {"a.doc", "a.txt", "b.TXT"};
    QTest::newRow("trailing comma") << "*.txt," << QStringList {"a.txt", "b.TXT"};
    QTest::newRow("listed twice") << "*.*,*.txt" << QStringList {"a.doc", "a.txt", "a.txt", "b.TXT", "b.TXT", "c"};
    QTest::newRow("question mark") << "?.doc" << QStringList {"a.doc"};
    QTest::newRow("leading comma") << ",*.doc" << QStringList {"a.doc"};
}

void tst_Listing::filters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, names);
    for (const char *name : {"a.txt", "b.TXT", "a.doc", "c"})
        QVERIFY(writeFile(m_path + '/' + name, "x", m_late));
    f->form->txtSelect.setText(filter);
    QVERIFY(f->show(1, m_path));
    QStringList listed;
    for (const QString &line : f->lines(1))
        listed << line.section('\t', 0, 0);
    QCOMPARE(listed, names);
    QCOMPARE(f->status(1).section(' ', 0, 0), QString::number(names.size()));
    QCOMPARE(f->form->txtSelect.Text(), filter);
}

// An empty filter box is filled with "*.*", which the user then sees.
void tst_Listing::emptyFilterBecomesAll()
{
    QVERIFY(writeFile(m_path + "/x", "x", m_late));
    f->form->txtSelect.setText(QString());
    QVERIFY(f->show(1, m_path));
    QCOMPARE(f->form->txtSelect.Text(), QStringLiteral("*.*"));
    QCOMPARE(f->lines(1).size(), 1);
}

// A drive root already ends in the separator and gets no second one.
void tst_Listing::rootFolderHasOneSeparator()
{
    DirEntry ghost {QStringLiteral("dyadix-ghost.txt"), {}, int(ErrorNumber::FileNotFound)};
    f->fileSystem.addVirtualFiles("/", {ghost});
    f->fileSystem.failOn(FsOperation::FileDateTime, ErrorNumber::FileNotFound, 1, "/dyadix-ghost.txt");
    f->form->txtSelect.setText("dyadix-ghost.txt");
    f->prompter.answer(MsgAnswer::Retry);
    f->prompter.answer(MsgAnswer::Abort);
    QVERIFY(f->show(1, "/"));
    QCOMPARE(f->prompter.shown().size(), size_t(2));
    for (const PromptRecord &box : f->prompter.shown())
        QCOMPARE(box.text, QStringLiteral("File not found on /dyadix-ghost.txt"));
}

// A file that vanishes between the enumeration and its time read brings the listing's prompt:
// Abort keeps the lines so far and the old status, Retry reads it again, Ignore leaves it out.
void tst_Listing::vanishingFile_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("status");
    QTest::newRow("abort") << int(MsgAnswer::Abort) << QStringList {"a.txt"} << "Left";
    QTest::newRow("retry") << int(MsgAnswer::Retry) << QStringList {"a.txt", "b.txt", "c.txt"}
                           << "3 files, 3 bytes, 2024/01/05 07:03 to 2024/01/05 07:03";
    QTest::newRow("ignore") << int(MsgAnswer::Ignore) << QStringList {"a.txt", "c.txt"}
                            << "2 files, 2 bytes, 2024/01/05 07:03 to 2024/01/05 07:03";
}

void tst_Listing::vanishingFile()
{
    QFETCH(int, answer);
    QFETCH(QStringList, names);
    QFETCH(QString, status);
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        QVERIFY(writeFile(m_path + '/' + name, "x", m_late));
    f->fileSystem.failOn(FsOperation::EntryStat, ErrorNumber::FileNotFound, 1, "/b.txt");
    f->prompter.answer(MsgAnswer(answer));
    f->form->mnuCopy(1)->setEnabled(true);
    f->form->mnuOptionSynch.setChecked(true);
    f->host.clear();

    QVERIFY(f->show(1, m_path));
    QCOMPARE(f->prompter.shown().size(), size_t(1));
    const PromptRecord &box = f->prompter.shown().front();
    QCOMPARE(box.title, QStringLiteral("Error in Sub dirList_Change"));
    QCOMPARE(box.text, "File not found on " + m_path + "/b.txt");
    QCOMPARE(box.style, 34);

    QStringList listed;
    for (const QString &line : f->lines(1))
        listed << line.section('\t', 0, 0);
    QCOMPARE(listed, names);
    QCOMPARE(f->status(1), status);
    // However the listing ends, the pointer comes back and scrolling is unsynchronised.
    QCOMPARE(f->host.calls(), (QStringList {"pointer 11", "pointer 0"}));
    QVERIFY(!f->form->mnuOptionSynch.isChecked());
    QCOMPARE(f->form->mnuCopy(1)->isEnabled(), answer == int(MsgAnswer::Abort));
}

// Sizes and totals beyond 2 GiB list without an error and with their true values.
void tst_Listing::totalsBeyond32Bits()
{
    QVERIFY(makeSparse(m_path + "/one.img", off_t(1536) * 1024 * 1024));
    QVERIFY(makeSparse(m_path + "/two.img", off_t(3) * 1024 * 1024 * 1024));
    QVERIFY(f->show(1, m_path));
    QCOMPARE(f->lines(1).at(0).section('\t', 2), QStringLiteral("1610612736"));
    QCOMPARE(f->lines(1).at(1).section('\t', 2), QStringLiteral("3221225472"));
    QVERIFY(f->status(1).startsWith(QStringLiteral("2 files, 4831838208 bytes, ")));
}

// A folder of more than 32,767 files lists every one of them.
void tst_Listing::moreThan32767Files()
{
    std::vector<DirEntry> files;
    for (int i = 0; i < 40000; ++i)
        files.push_back({QStringLiteral("f%1.bin").arg(i, 5, 10, QLatin1Char('0')),
                         {FileAttribute::Archive, 1, m_late}, 0});
    f->fileSystem.addVirtualFiles(m_path + '/', std::move(files));
    QVERIFY(f->show(1, m_path));
    QCOMPARE(f->form->pane(1).lstFiles.ListCount(), 40000);
    QCOMPARE(f->status(1), QStringLiteral("40000 files, 40000 bytes, 2024/01/05 07:03 to 2024/01/05 07:03"));
    QCOMPARE(f->lines(1).last(), QStringLiteral("f39999.bin\t2024/01/05 07:03\t       1"));
}

// While the settings loader changes a drive, a folder change lists nothing.
void tst_Listing::skipListing()
{
    QVERIFY(writeFile(m_path + "/a.txt", "x", m_late));
    f->form->SkipListing = true;
    f->host.clear();
    QVERIFY(f->show(1, m_path));
    QCOMPARE(f->lines(1), QStringList());
    QCOMPARE(f->status(1), QStringLiteral("Left"));
    QCOMPARE(f->host.calls(), QStringList());
}

QTEST_MAIN(tst_Listing)
#include "tst_listing.moc"
