#pragma once

#include "runtime/shell.h"

#include <QStringList>

#include <optional>

namespace dyadix::test {

// Records the addresses it is asked to open and answers with a set result code.
class RecordingShell final : public Shell
{
public:
    Result<int> openWebAddress(const QString &address) override
    {
        m_opened.append(address);
        if (m_error)
            return *m_error;
        return m_result;
    }
    void setResult(int code) { m_result = code; }
    void failWith(RunTimeError error) { m_error = std::move(error); }
    const QStringList &opened() const { return m_opened; }

private:
    QStringList m_opened;
    int m_result = ShellResult::Success;
    std::optional<RunTimeError> m_error;
};

} // namespace dyadix::test
