#pragma once

// The settings kept between runs, as one interface.

#include "result.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace dyadix {

// A store of settings that could not be read as a whole, and where it was kept.
struct SetAsideSettings
{
    QString file;
    QString keptAs;              // empty when it could not be moved aside
    std::optional<RunTimeError> error; // why it could not
};

// The per-user store of text settings, addressed by application, section and key.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;

    // The stored text, or the default when the key is absent.
    virtual QString GetSetting(const QString &application, const QString &section,
                               const QString &key, const QString &defaultValue)
        = 0;
    // Stores the text, creating the section when needed.
    virtual Status SaveSetting(const QString &application, const QString &section,
                               const QString &key, const QString &value)
        = 0;
    // Removes the key; fails when it is absent.
    virtual Status DeleteSetting(const QString &application, const QString &section,
                                 const QString &key)
        = 0;
    // Where an application's stored settings cannot be read as a whole (a disk fault, a bad
    // hand edit), moves them aside under a new name, whole, so that the application starts
    // afresh and stores a new set; a store that reads well is left as it is (nothing).
    virtual std::optional<SetAsideSettings> setAsideUnreadable(const QString &application)
    {
        (void)application;
        return std::nullopt;
    }

    // Files an application keeps for itself between runs besides its settings (the record of
    // the last Match of two folders), by application and name, in the user's state folder.
    // A file never kept reads as FileNotFound; one written is replaced only once its new
    // content is complete.
    virtual Result<QByteArray> readKept(const QString &application, const QString &name) = 0;
    virtual Status writeKept(const QString &application, const QString &name, const QByteArray &content) = 0;
    // Moves a kept file that cannot be read aside, whole, beside itself; its new path.
    virtual Result<QString> setKeptAside(const QString &application, const QString &name) = 0;
};

} // namespace dyadix
