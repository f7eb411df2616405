#pragma once

#include "runtime/settingsstore.h"

#include <QMap>
#include <optional>

namespace dyadix::test {

// Settings held in memory. Writes can be made to fail from a given key on, as a full disk or
// a read-only file would.
class MemorySettingsStore final : public SettingsStore
{
public:
    QString GetSetting(const QString &application, const QString &section, const QString &key,
                       const QString &defaultValue) override;
    Status SaveSetting(const QString &application, const QString &section, const QString &key,
                       const QString &value) override;
    Status DeleteSetting(const QString &application, const QString &section,
                         const QString &key) override;

    void failWritesWith(RunTimeError error) { m_writeError = std::move(error); }
    // The stored values as "application/section/key" → value.
    const QMap<QString, QString> &values() const { return m_values; }
    void set(const QString &application, const QString &section, const QString &key,
             const QString &value);

private:
    QMap<QString, QString> m_values;
    std::optional<RunTimeError> m_writeError;
};

} // namespace dyadix::test
