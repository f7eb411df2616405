#pragma once

#include "result.h"

#include <QString>

namespace dyadix {

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
};

} // namespace dyadix
