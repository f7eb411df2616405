// A single-line text box on screen, bound to its TextBox model.
#pragma once

#include <QLineEdit>

#include <vector>

class QAction;

namespace dyadix {

class TextBox;

// A single-line text box on screen, showing a TextBox's text and colours. A key that one of
// the window's commands has as its shortcut (Ctrl+A, Ctrl+E ...) runs that command from here
// too; the box keeps every other key, the clipboard's included.
class TextBoxWidget final : public QLineEdit
{
    Q_OBJECT
public:
    // The filter box is typed in; a status box only shows.
    enum class Typing { Allowed, ReadOnly };

    TextBoxWidget(TextBox &model, Typing typing, std::vector<const QAction *> windowCommands,
                  QWidget *parent);

protected:
    bool event(QEvent *event) override;

private:
    void follow();
    void showModel();
    TextBox &m_model;
    const std::vector<const QAction *> m_windowCommands;
    // A status line can change once per line ticked; it shows the last text once the window
    // next processes its events rather than laying out every one.
    bool m_showPending = false;
};

} // namespace dyadix
