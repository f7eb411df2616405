#pragma once

// The settings kept in an INI file of the user's configuration folder.

#include "settingsstore.h"

namespace dyadix {

// Settings in a per-user INI file: organisation and application are both the application
// name, so this program's file is ~/.config/dyadix/dyadix.ini. Each write reaches the disk
// before it returns, and a refused write is reported.
class IniSettingsStore final : public SettingsStore
{
public:
    QString GetSetting(const QString &application, const QString &section, const QString &key,
                       const QString &defaultValue) override;
    Status SaveSetting(const QString &application, const QString &section, const QString &key,
                       const QString &value) override;
    Status DeleteSetting(const QString &application, const QString &section,
                         const QString &key) override;
    // The file is kept beside itself as "dyadix.ini.unreadable-YYYYMMDD-HHMMSS".
    std::optional<SetAsideSettings> setAsideUnreadable(const QString &application) override;
    // Kept files live in $XDG_STATE_HOME/APPLICATION (~/.local/state/APPLICATION); one set
    // aside is kept as "NAME.unreadable-YYYYMMDD-HHMMSS".
    Result<QByteArray> readKept(const QString &application, const QString &name) override;
    Status writeKept(const QString &application, const QString &name, const QByteArray &content) override;
    Result<QString> setKeptAside(const QString &application, const QString &name) override;
};

} // namespace dyadix
