// Detect Deletions at work: lists both panes on two folders and matches them through the
// window model with the option off, then on (its record read, applied and written again), and
// times the record's own reading and writing. Prints the medians of several warm runs:
// "off on read write" in seconds, then the record's bytes, its names' own bytes and its names.
#include "core/utf8names.h"
#include "quietservices.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace dyadix;
using namespace dyadix::bench;

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv); // the menus' actions need it
    if (argc != 4)
        return 2;
    const QString left = QString::fromLocal8Bit(argv[1]), right = QString::fromLocal8Bit(argv[2]),
                  away = QString::fromLocal8Bit(argv[3]);
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit()); // the record lives here, not in the user's state
    BenchServices services;
    SilentHost host;
    FormModel model(services.fileSystem, services.prompter, services.settings, services.shell, host, services.program);
    model.SettingsApp = QStringLiteral("dyadix-bench");
    model.mnuOptionDeletions.setChecked(false);
    const double off = median([&] { return listAndMatch(model, left, right, away); });
    model.mnuOptionDeletions.setChecked(true);
    if (!listAndMatch(model, left, right, away)) // the first record
        return 3;
    const double on = median([&] { return listAndMatch(model, left, right, away); });
    const QString name = SyncRecord::fileName(left, right, false);
    std::optional<SyncRecord> record;
    const double read = median([&] {
        const Result<QByteArray> kept = services.settings.readKept(model.SettingsApp, name);
        return kept && (record = SyncRecord::decode(*kept, left, right, false)).has_value();
    });
    const double write = median([&] { return services.settings.writeKept(model.SettingsApp, name, record->encode()).has_value(); });
    qint64 nameBytes = 0;
    for (std::size_t i = 0; i < record->size(); ++i)
        nameBytes += encodeUtf8Name(record->nameAt(i).toString()).size();
    std::printf("%.4f %.4f %.4f %.4f %lld %lld %zu\n", off, on, read, write, static_cast<long long>(record->encode().size()),
                static_cast<long long>(nameBytes), record->size());
    return off > 0 && on > 0 && read > 0 && write > 0 ? 0 : 3;
}
