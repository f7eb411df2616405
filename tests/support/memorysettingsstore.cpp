#include "memorysettingsstore.h"

namespace dyadix::test {

namespace {
QString pathOf(const QString &application, const QString &section, const QString &key)
{
    return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
}
} // namespace

QString MemorySettingsStore::GetSetting(const QString &application, const QString &section,
                                        const QString &key, const QString &defaultValue)
{
    return m_values.value(pathOf(application, section, key), defaultValue);
}

Status MemorySettingsStore::SaveSetting(const QString &application, const QString &section,
                                        const QString &key, const QString &value)
{
    if (m_writeError)
        return *m_writeError;
    m_values.insert(pathOf(application, section, key), value);
    return {};
}

Status MemorySettingsStore::DeleteSetting(const QString &application, const QString &section,
                                          const QString &key)
{
    if (m_writeError)
        return *m_writeError;
    if (m_values.remove(pathOf(application, section, key)) == 0)
        return ErrorNumber::InvalidArgument;
    return {};
}

void MemorySettingsStore::set(const QString &application, const QString &section,
                              const QString &key, const QString &value)
{
    m_values.insert(pathOf(application, section, key), value);
}

} // namespace dyadix::test
