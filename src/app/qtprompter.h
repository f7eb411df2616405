#pragma once

// The program's message and input boxes, as Qt widgets.

#include "core/prompter.h"

#include <QPointer>

#include <memory>

class QDialog;
class QInputDialog;
class QMessageBox;
class QWidget;

namespace dyadix {

// Modal message and input boxes on screen, parented to the main window.
class QtPrompter final : public Prompter
{
public:
    explicit QtPrompter(QWidget *parent = nullptr);

    MsgAnswer MsgBox(const QString &text, int style, const QString &title, const QString &about = {}) override;
    QString InputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;

    // The boxes as they are shown, for a caller that wants to look before showing them.
    std::unique_ptr<QMessageBox> buildMessageBox(const QString &text, int style,
                                                 const QString &title, const QString &about = {}) const;
    std::unique_ptr<QInputDialog> buildInputBox(const QString &prompt, const QString &title,
                                                const QString &defaultText) const;
    // The answer that a button of a box built by buildMessageBox stands for.
    static MsgAnswer answerOf(const QMessageBox &box);

    // The program is ending: the open box, and every box from now on, is answered with the
    // answer that changes nothing (Abort, No, Cancel, OK) without waiting for a person, and
    // what a message box says goes to standard error instead.
    void cancelAll();

private:
    void giveBackKeyboard() const;
    QPointer<QWidget> m_parent;
    QPointer<QDialog> m_open;
    bool m_cancelled = false;
};

} // namespace dyadix
