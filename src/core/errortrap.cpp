#include "errortrap.h"

namespace dyadix {

ErrorTrap::ErrorTrap(Prompter &prompter, QString title, PromptText text)
    : m_prompter(prompter)
    , m_title(std::move(title))
    , m_text(text)
{
}

MsgAnswer ErrorTrap::report(const RunTimeError &error)
{
    m_lastError = error;
    const MsgAnswer answer = m_prompter.MsgBox(error.promptText(m_text), Style, m_title, m_about);
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
