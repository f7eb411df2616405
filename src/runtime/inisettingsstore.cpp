#include "inisettingsstore.h"

#include <QFileInfo>
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

} // namespace dyadix
