#pragma once

// Keeps the user's input away from a window while the program works inside one of its commands.

#include <QObject>

class QWidget;

namespace dyadix {

// While it lives, mouse, key and shortcut input for `window` (its controls, menus and
// commands) is dropped: a command must not run in the middle of another. Other windows (the
// progress box, a question) take input as ever, and the window's close request gets through.
class InputGuard final : public QObject
{
public:
    explicit InputGuard(QWidget &window);
    ~InputGuard() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
};

} // namespace dyadix
