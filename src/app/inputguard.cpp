#include "inputguard.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace dyadix {

namespace {

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod: // text an input method composed from keys
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

InputGuard::InputGuard(QWidget &window)
    : m_window(window)
{
    QApplication::instance()->installEventFilter(this);
}

InputGuard::~InputGuard()
{
    QApplication::instance()->removeEventFilter(this);
}

bool InputGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (!isInput(event->type()))
        return false;
    // A command's shortcut reaches its action, which belongs to no window of its own.
    if (qobject_cast<QAction *>(watched) != nullptr)
        return true;
    const auto *widget = qobject_cast<QWidget *>(watched);
    return widget != nullptr && (widget->window() == &m_window || m_window.isAncestorOf(widget));
}

} // namespace dyadix
