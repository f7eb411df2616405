#pragma once

// The error prompt (Abort, Retry, Ignore) around a command's steps.

#include "prompter.h"
#include "result.h"

#include <functional>

namespace dyadix {

// The error prompt a command arms around its steps. A failing step brings an Abort/Retry/
// Ignore box under the command's title: Retry runs the step again, Ignore goes on with the
// next step, Abort skips every further step so that only the command's closing steps (the
// code after its last run()) remain.
//
//     ErrorTrap trap(prompter, QStringLiteral("Error!"));
//     trap.run([&] { return firstStep(); });
//     for (...) { if (trap.aborted()) break; trap.run([&] { return stepFor(item); }); }
//     closingSteps();
class ErrorTrap
{
public:
    using Step = std::function<Status()>;

    // The standard prompt is "Error " + number + line feed + description, style 34; with
    // PromptText::Described, the description followed by what the error is about.
    ErrorTrap(Prompter &prompter, QString title, PromptText text = PromptText::Numbered);

    // Runs one step under the prompt. Returns true when the step succeeded (at once or after
    // Retry), false when it failed and the user ignored it, or when the trap is aborted.
    bool run(const Step &step);

    // Runs a step whose value the command needs; on Ignore or Abort the target keeps what it held.
    template<typename T>
    bool assign(T &target, const std::function<Result<T>()> &step)
    {
        return run([&]() -> Status {
            Result<T> result = step();
            if (!result)
                return result.error();
            target = std::move(*result);
            return {};
        });
    }

    // Shows the prompt for an error raised outside run(); returns the user's answer.
    MsgAnswer report(const RunTimeError &error);

    bool aborted() const { return m_aborted; }
    // The error that ended the last step that failed (ignored or aborted).
    const RunTimeError &lastError() const { return m_lastError; }
    // What the next prompts are about (the file in hand), for a screen reader.
    void setAbout(const QString &about) { m_about = about; }

    static constexpr int Style = MsgStyle::AbortRetryIgnore + MsgStyle::Question;

private:
    Prompter &m_prompter;
    QString m_title;
    PromptText m_text;
    QString m_about;
    RunTimeError m_lastError;
    bool m_aborted = false;
};

} // namespace dyadix
