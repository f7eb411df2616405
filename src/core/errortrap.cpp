#include "errortrap.h"

namespace dyadix {

ErrorTrap::ErrorTrap(Prompter &prompter, QString title)
    : m_prompter(prompter)
    , m_title(std::move(title))
{
}

ErrorTrap ErrorTrap::withContext(Prompter &prompter, QString title,
                                 std::function<QString()> context)
{
    ErrorTrap trap(prompter, std::move(title));
    trap.m_context = std::move(context);
    return trap;
}

QString ErrorTrap::promptText(const RunTimeError &error) const
{
    if (m_context)
        return error.description + m_context();
    return QStringLiteral("Error ") + QString::number(error.number) + QLatin1Char('\n')
        + error.description;
}

MsgAnswer ErrorTrap::report(const RunTimeError &error)
{
    const MsgAnswer answer = m_prompter.MsgBox(promptText(error), Style, m_title);
    if (answer != MsgAnswer::Retry && answer != MsgAnswer::Ignore)
        m_aborted = true;
    return answer;
}

bool ErrorTrap::run(const Step &step)
{
    while (!m_aborted) {
        const Status status = step();
        if (status)
            return true;
        if (report(status.error()) != MsgAnswer::Retry)
            return false;
    }
    return false;
}

} // namespace dyadix
