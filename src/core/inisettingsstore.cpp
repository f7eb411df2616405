#include "inisettingsstore.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryFile>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStorageInfo>
#include <QStringList>

namespace dyadix {

namespace {

QSettings openStore(const QString &application)
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, application, application);
}

QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

Status statusOf(QSettings &settings)
{
    settings.sync();
    switch (settings.status()) {
    case QSettings::NoError:
        return {};
    case QSettings::AccessError: {
        // The INI writer does not say why it failed: a volume with no room left is the
        // likely reason when there is none.
        const QStorageInfo volume(QFileInfo(settings.fileName()).absolutePath());
        if (volume.isValid() && !volume.isReadOnly() && volume.bytesAvailable() < 64 * 1024)
            return ErrorNumber::DiskFull;
        return ErrorNumber::PermissionDenied;
    }
    case QSettings::FormatError:
        return ErrorNumber::PathFileAccessError;
    }
    return ErrorNumber::PathFileAccessError;
}

} // namespace

QString IniSettingsStore::GetSetting(const QString &application, const QString &section,
                                     const QString &key, const QString &defaultValue)
{
    QSettings settings = openStore(application);
    const QVariant value = settings.value(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // An unquoted comma in a hand-edited file makes the INI reader return a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

Status IniSettingsStore::SaveSetting(const QString &application, const QString &section,
                                     const QString &key, const QString &value)
{
    QSettings settings = openStore(application);
    settings.setValue(keyPath(section, key), value);
    return statusOf(settings);
}

Status IniSettingsStore::DeleteSetting(const QString &application, const QString &section,
                                       const QString &key)
{
    QSettings settings = openStore(application);
    if (!settings.contains(keyPath(section, key)))
        return ErrorNumber::InvalidArgument;
    settings.remove(keyPath(section, key));
    return statusOf(settings);
}

namespace {

QString stateFolder(const QString &application)
{
    QString home = qEnvironmentVariable("XDG_STATE_HOME");
    if (home.isEmpty() || QDir::isRelativePath(home))
        home = QDir::homePath() + QStringLiteral("/.local/state");
    return home + QLatin1Char('/') + application;
}

RunTimeError errorOf(QFileDevice::FileError error, const QString &folder)
{
    if (error == QFileDevice::OpenError && !QFileInfo(folder).isWritable())
        return ErrorNumber::PermissionDenied;
    const QStorageInfo volume(folder);
    if (volume.isValid() && !volume.isReadOnly() && volume.bytesAvailable() < 64 * 1024)
        return ErrorNumber::DiskFull;
    return error == QFileDevice::OpenError ? ErrorNumber::PermissionDenied : ErrorNumber::DeviceIoError;
}

} // namespace

Result<QByteArray> IniSettingsStore::readKept(const QString &application, const QString &name)
{
    QFile file(stateFolder(application) + QLatin1Char('/') + name);
    if (!file.exists())
        return ErrorNumber::FileNotFound;
    if (!file.open(QIODevice::ReadOnly))
        return ErrorNumber::PermissionDenied;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ErrorNumber::DeviceIoError;
    return content;
}

Status IniSettingsStore::writeKept(const QString &application, const QString &name, const QByteArray &content)
{
    const QString folder = stateFolder(application);
    if (!QDir().mkpath(folder))
        return ErrorNumber::PermissionDenied;
    QSaveFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return errorOf(file.error(), folder);
    return {};
}

Result<QString> IniSettingsStore::setKeptAside(const QString &application, const QString &name)
{
    const QString path = stateFolder(application) + QLatin1Char('/') + name;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n < 100; ++n) {
        const QString aside = path + QStringLiteral(".unreadable-") + stamp + (n > 1 ? QLatin1Char('-') + QString::number(n) : QString());
        if (QFile::rename(path, aside))
            return aside;
        if (!QFileInfo::exists(aside))
            break;
    }
    return ErrorNumber::PermissionDenied;
}

std::optional<SetAsideSettings> IniSettingsStore::setAsideUnreadable(const QString &application)
{
    const QString file = openStore(application).fileName();
    QFile stored(file);
    if (!stored.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The store reports a file it cannot parse only when it writes, and keeps what it parsed
    // of a file by its name; a copy under a name of its own is parsed afresh and tells.
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/dyadix-settings-XXXXXX.ini"));
    if (!copy.open() || copy.write(stored.readAll()) == -1 || !copy.flush())
        return std::nullopt;
    QSettings parsed(copy.fileName(), QSettings::IniFormat);
    (void)parsed.allKeys(); // parses
    if (parsed.status() != QSettings::FormatError)
        return std::nullopt;
    stored.close();
    SetAsideSettings aside {file, {}, {}};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // A rename never replaces a file here, so an earlier one of the same second stays too.
    for (int n = 1; n < 100 && aside.keptAs.isEmpty(); ++n) {
        const QString name = file + QStringLiteral(".unreadable-") + stamp
            + (n > 1 ? QLatin1Char('-') + QString::number(n) : QString());
        QFile current(file);
        if (current.rename(name))
            aside.keptAs = name;
        else if (!QFileInfo::exists(name))
            break;
    }
    if (aside.keptAs.isEmpty())
        aside.error = RunTimeError(ErrorNumber::PermissionDenied);
    return aside;
}

} // namespace dyadix
