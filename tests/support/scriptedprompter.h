#pragma once

#include "runtime/prompter.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace dyadix::test {

// One box the program showed.
struct PromptRecord
{
    enum class Kind { Message, Input } kind = Kind::Message;
    QString text;
    int style = 0;
    QString title;
    QString defaultText;
};

// A Prompter that answers from a script and records every box. A box for which no answer
// of its kind is queued fails the running test.
class ScriptedPrompter final : public Prompter
{
public:
    void answer(MsgAnswer answer) { m_answers.push_back(answer); }
    void type(const QString &text) { m_inputs.push_back(text); }

    MsgAnswer MsgBox(const QString &text, int style, const QString &title) override;
    QString InputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;

    const std::vector<PromptRecord> &shown() const { return m_shown; }
    // Answers queued but never asked for.
    size_t unusedAnswers() const { return m_answers.size() + m_inputs.size(); }
    void clear();

    // Runs as each box is shown, before it is answered: what the user does in another window
    // meanwhile.
    std::function<void(const PromptRecord &)> onShow;

private:
    std::deque<MsgAnswer> m_answers;
    std::deque<QString> m_inputs;
    std::vector<PromptRecord> m_shown;
};

} // namespace dyadix::test
