// The text box's binding to its model: its text, colours and the window's shortcuts.
#include "textboxwidget.h"

#include "panes/textbox.h"

#include <QAction>
#include <QKeyEvent>

#include <utility>

namespace dyadix {

TextBoxWidget::TextBoxWidget(TextBox &model, Typing typing,
                             std::vector<const QAction *> windowCommands, QWidget *parent)
    : QLineEdit(parent)
    , m_model(model)
    , m_windowCommands(std::move(windowCommands))
{
    setReadOnly(typing == Typing::ReadOnly);
    connect(&model, &TextBox::changed, this, &TextBoxWidget::follow);
    if (typing == Typing::Allowed)
        connect(this, &QLineEdit::textEdited, &model, &TextBox::userEdited);
    follow();
}

bool TextBoxWidget::event(QEvent *event)
{
    // A command's shortcut is left to the window: the line edit would take Ctrl+A itself.
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
        for (const QAction *command : m_windowCommands) {
            if (command->isEnabled() && command->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QLineEdit::event(event);
}

void TextBoxWidget::follow()
{
    if (!isReadOnly()) {
        showModel();
        return;
    }
    if (std::exchange(m_showPending, true))
        return;
    QMetaObject::invokeMethod(this, [this] {
        m_showPending = false;
        showModel();
    }, Qt::QueuedConnection);
}

void TextBoxWidget::showModel()
{
    if (text() != m_model.Text()) {
        setText(m_model.Text());
        setCursorPosition(0);
        // A status may be longer than its box: its tool tip and description give it whole.
        if (isReadOnly()) {
            setToolTip(m_model.Text());
            setAccessibleDescription(m_model.Text());
        }
    }
    // A new palette polishes the box again: only a change of colour sets one.
    if (palette().color(QPalette::Base) == m_model.BackColor()
        && palette().color(QPalette::Text) == m_model.ForeColor())
        return;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, m_model.BackColor());
    colours.setColor(QPalette::Text, m_model.ForeColor());
    setPalette(colours);
}

} // namespace dyadix
