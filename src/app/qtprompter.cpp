#include "qtprompter.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>
#include <vector>

namespace dyadix {

namespace {

struct ButtonChoice
{
    QMessageBox::StandardButton button;
    MsgAnswer answer;
};

// Every button answers to an access key (Alt and the underlined letter); Cancel answers to
// Escape.
QString captionOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Abort:
        return QStringLiteral("&Abort");
    case QMessageBox::Retry:
        return QStringLiteral("&Retry");
    case QMessageBox::Ignore:
        return QStringLiteral("&Ignore");
    case QMessageBox::Yes:
        return QStringLiteral("&Yes");
    case QMessageBox::No:
        return QStringLiteral("&No");
    case QMessageBox::Cancel:
        return QStringLiteral("Cancel");
    default:
        return QStringLiteral("&OK");
    }
}

std::vector<ButtonChoice> buttonsOf(int style)
{
    switch (MsgStyle::buttonSet(style)) {
    case MsgStyle::AbortRetryIgnore:
        return {{QMessageBox::Abort, MsgAnswer::Abort},
                {QMessageBox::Retry, MsgAnswer::Retry},
                {QMessageBox::Ignore, MsgAnswer::Ignore}};
    case MsgStyle::YesNoCancel:
        return {{QMessageBox::Yes, MsgAnswer::Yes},
                {QMessageBox::No, MsgAnswer::No},
                {QMessageBox::Cancel, MsgAnswer::Cancel}};
    case MsgStyle::YesNo:
        return {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}};
    default:
        return {{QMessageBox::Ok, MsgAnswer::Ok}};
    }
}

// Escape (or the close box) gives the answer that changes nothing: No, Cancel, Abort or OK.
QMessageBox::StandardButton escapeOf(int style)
{
    switch (MsgStyle::buttonSet(style)) {
    case MsgStyle::AbortRetryIgnore:
        return QMessageBox::Abort;
    case MsgStyle::YesNoCancel:
        return QMessageBox::Cancel;
    case MsgStyle::YesNo:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

MsgAnswer escapeAnswerOf(int style)
{
    for (const ButtonChoice &choice : buttonsOf(style)) {
        if (choice.button == escapeOf(style))
            return choice.answer;
    }
    return MsgAnswer::Cancel;
}

// A box that nobody will see: its title and text, on one line, on standard error.
void writeToStandardError(const QString &text, const QString &title)
{
    const QByteArray line = (QCoreApplication::applicationName() + QStringLiteral(": ") + title
                             + QStringLiteral(": ") + QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))
                             + QLatin1Char('\n'))
                                .toLocal8Bit();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

QMessageBox::Icon iconOf(int style)
{
    switch (MsgStyle::icon(style)) {
    case MsgStyle::Question:
        return QMessageBox::Question;
    case MsgStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgStyle::Information:
        return QMessageBox::Information;
    case MsgStyle::Critical:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QtPrompter::QtPrompter(QWidget *parent)
    : m_parent(parent)
{
}

std::unique_ptr<QMessageBox> QtPrompter::buildMessageBox(const QString &text, int style,
                                                         const QString &title, const QString &about) const
{
    auto box = std::make_unique<QMessageBox>(m_parent.data());
    box->setWindowTitle(title);
    box->setAccessibleDescription(about);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setIcon(iconOf(style));
    const std::vector<ButtonChoice> choices = buttonsOf(style);
    for (const ButtonChoice &choice : choices)
        box->addButton(choice.button)->setText(captionOf(choice.button));
    const size_t defaultIndex = MsgStyle::secondIsDefault(style) && choices.size() > 1 ? 1 : 0;
    box->setDefaultButton(choices[defaultIndex].button);
    box->setEscapeButton(box->button(escapeOf(style)));
    return box;
}

MsgAnswer QtPrompter::answerOf(const QMessageBox &box)
{
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (int set : {MsgStyle::AbortRetryIgnore, MsgStyle::YesNoCancel, MsgStyle::OkOnly}) {
        for (const ButtonChoice &choice : buttonsOf(set)) {
            if (choice.button == pressed)
                return choice.answer;
        }
    }
    return MsgAnswer::Cancel;
}

void QtPrompter::giveBackKeyboard() const
{
    // A desktop without a window manager leaves no window active once a box closes; the
    // keyboard goes back to the control that had it in the window that asked.
    if (m_parent != nullptr && m_parent->isVisible())
        m_parent->window()->activateWindow();
}

MsgAnswer QtPrompter::MsgBox(const QString &text, int style, const QString &title, const QString &about)
{
    const QString told = about.isEmpty() ? text : text + QStringLiteral(" (") + about + QLatin1Char(')');
    if (m_cancelled) {
        writeToStandardError(told, title);
        return escapeAnswerOf(style);
    }
    std::unique_ptr<QMessageBox> box = buildMessageBox(text, style, title, about);
    m_open = box.get();
    box->exec();
    giveBackKeyboard();
    if (m_cancelled) {
        writeToStandardError(told, title);
        return escapeAnswerOf(style);
    }
    return answerOf(*box);
}

void QtPrompter::cancelAll()
{
    m_cancelled = true;
    if (m_open != nullptr)
        m_open->reject();
}

std::unique_ptr<QInputDialog> QtPrompter::buildInputBox(const QString &prompt,
                                                        const QString &title,
                                                        const QString &defaultText) const
{
    auto dialog = std::make_unique<QInputDialog>(m_parent.data());
    dialog->setWindowTitle(title);
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setLabelText(prompt);
    dialog->setTextValue(defaultText);
    dialog->setOkButtonText(captionOf(QMessageBox::Ok));
    dialog->setCancelButtonText(captionOf(QMessageBox::Cancel));
    // Paths may hold "<" and "&": the prompt is shown exactly as written.
    for (QLabel *label : dialog->findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    return dialog;
}

QString QtPrompter::InputBox(const QString &prompt, const QString &title,
                             const QString &defaultText)
{
    if (m_cancelled)
        return QString();
    std::unique_ptr<QInputDialog> dialog = buildInputBox(prompt, title, defaultText);
    m_open = dialog.get();
    const bool accepted = dialog->exec() == QDialog::Accepted;
    giveBackKeyboard();
    return accepted && !m_cancelled ? dialog->textValue() : QString();
}

} // namespace dyadix
