#pragma once

// Boxes answered from a script and recorded as the user saw them.

#include "core/prompter.h"

#include <QStringList>
#include <QTest>

#include <deque>
#include <functional>
#include <vector>

namespace dyadix::test {

// One box the program showed.
struct PromptRecord
{
    QString text;
    int style = -1; // -1: an input box
    QString title;
    QString defaultText;
    QString about; // what the box is about, for a screen reader
    // "title (buttons, icon): text", as the box shows itself: "Error! (Abort Retry Ignore, Question): ...".
    QString line() const { return title + " (" + styleText(style) + "): " + text; }
    static QString styleText(int style)
    {
        static const char *const buttons[] = {"OK", "OK Cancel", "Abort Retry Ignore", "Yes No Cancel", "Yes No", "Retry Cancel"};
        static const char *const icons[] = {"", ", Critical", ", Question", ", Exclamation", ", Information"};
        const int set = MsgStyle::buttonSet(style), icon = MsgStyle::icon(style) / 16;
        if (style < 0 || set > 5 || icon > 4 || (style & ~(0x7F | MsgStyle::DefaultButton2)) != 0)
            return style < 0 ? "input" : "style " + QString::number(style);
        return QString(buttons[set]) + icons[icon] + (MsgStyle::secondIsDefault(style) ? ", second default" : "");
    }
};

// Answers boxes from a script and records them; a box with no answer queued fails the test.
class ScriptedPrompter final : public Prompter
{
public:
    void answer(MsgAnswer answer) { m_answers.push_back(answer); }
    // Answers by key: O, C, A, R, I, Y, N for OK, Cancel, Abort, Retry, Ignore, Yes and No.
    void answerKeys(const QString &keys) { for (QChar key : keys) answer(MsgAnswer(QString("?OCARIYN").indexOf(key))); }
    void type(const QString &text) { m_inputs.push_back(text); }
    MsgAnswer MsgBox(const QString &text, int style, const QString &title, const QString &about = {}) override
    {
        m_shown.push_back({text, style, title, {}, about});
        if (onShow)
            onShow(m_shown.back());
        if (m_answers.empty()) {
            QTest::qFail(qPrintable("unexpected box: " + m_shown.back().line()), __FILE__, __LINE__);
            return MsgStyle::buttonSet(style) == MsgStyle::AbortRetryIgnore ? MsgAnswer::Abort : MsgAnswer::Cancel;
        }
        const MsgAnswer next = m_answers.front();
        m_answers.pop_front();
        return next;
    }
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        m_shown.push_back({prompt, -1, title, defaultText, {}});
        if (m_inputs.empty()) {
            QTest::qFail(qPrintable("unexpected input box: " + m_shown.back().line()), __FILE__, __LINE__);
            return {};
        }
        const QString next = m_inputs.front();
        m_inputs.pop_front();
        return next;
    }
    const std::vector<PromptRecord> &shown() const { return m_shown; }
    QStringList texts() const { return collect(&PromptRecord::text); }
    QStringList lines() const { return collect(&PromptRecord::line); }
    void clear() { m_answers.clear(), m_inputs.clear(), m_shown.clear(); }
    // Runs as each box shows, before it is answered: what the user does meanwhile.
    std::function<void(const PromptRecord &)> onShow;

private:
    template <typename What> QStringList collect(What what) const
    {
        QStringList result;
        for (const PromptRecord &box : m_shown)
            result << std::invoke(what, box);
        return result;
    }
    std::deque<MsgAnswer> m_answers;
    std::deque<QString> m_inputs;
    std::vector<PromptRecord> m_shown;
};

} // namespace dyadix::test
