#pragma once

#include "runtime/prompter.h"

#include <QPointer>

#include <memory>

class QInputDialog;
class QMessageBox;
class QWidget;

namespace dyadix {

// Modal message and input boxes on screen, parented to the main window.
class QtPrompter final : public Prompter
{
public:
    explicit QtPrompter(QWidget *parent = nullptr);

    MsgAnswer MsgBox(const QString &text, int style, const QString &title) override;
    QString InputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;

    // The boxes as they are shown, for a caller that wants to look before showing them.
    std::unique_ptr<QMessageBox> buildMessageBox(const QString &text, int style,
                                                 const QString &title) const;
    std::unique_ptr<QInputDialog> buildInputBox(const QString &prompt, const QString &title,
                                                const QString &defaultText) const;
    // The answer that a button of a box built by buildMessageBox stands for.
    static MsgAnswer answerOf(const QMessageBox &box);

private:
    void giveBackKeyboard() const;
    QPointer<QWidget> m_parent;
};

} // namespace dyadix
