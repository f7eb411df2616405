#pragma once

#include "runtime/shell.h"

#include <QStringList>

namespace dyadix::test {

// Records the addresses it is asked to open and answers with a set result code.
class RecordingShell final : public Shell
{
public:
    int openWebAddress(const QString &address) override
    {
        m_opened.append(address);
        return m_result;
    }
    void setResult(int code) { m_result = code; }
    const QStringList &opened() const { return m_opened; }

private:
    QStringList m_opened;
    int m_result = ShellResult::Success;
};

} // namespace dyadix::test
