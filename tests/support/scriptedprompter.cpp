#include "scriptedprompter.h"

#include <QTest>

namespace dyadix::test {

MsgAnswer ScriptedPrompter::MsgBox(const QString &text, int style, const QString &title)
{
    m_shown.push_back({PromptRecord::Kind::Message, text, style, title, {}});
    if (onShow)
        onShow(m_shown.back());
    if (m_answers.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected message box \"%1\": %2")
                                    .arg(title, text)),
                     __FILE__, __LINE__);
        return MsgStyle::buttonSet(style) == MsgStyle::AbortRetryIgnore ? MsgAnswer::Abort
                                                                        : MsgAnswer::Cancel;
    }
    const MsgAnswer next = m_answers.front();
    m_answers.pop_front();
    return next;
}

QString ScriptedPrompter::InputBox(const QString &prompt, const QString &title,
                                   const QString &defaultText)
{
    m_shown.push_back({PromptRecord::Kind::Input, prompt, 0, title, defaultText});
    if (m_inputs.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected input box \"%1\": %2")
                                    .arg(title, prompt)),
                     __FILE__, __LINE__);
        return QString();
    }
    QString next = m_inputs.front();
    m_inputs.pop_front();
    return next;
}

void ScriptedPrompter::clear()
{
    m_answers.clear();
    m_inputs.clear();
    m_shown.clear();
}

} // namespace dyadix::test
