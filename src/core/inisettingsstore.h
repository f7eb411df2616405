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
};

} // namespace dyadix
