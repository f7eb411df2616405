// The window's outer frame and state in twips, around the border the window manager adds.
#include "windowplacement.h"

#include "form/controls.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

namespace dyadix {

double toTwips(int pixels)
{
    return double(pixels) * TwipsPerPixel;
}

int toPixels(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

// The outer frame moved onto the nearest screen where less than a third of it would show on
// any one screen (a position stored at another scale, or on a monitor since unplugged); kept
// as it is otherwise. A frame larger than the screen keeps its top left corner on it.
QRect onAScreen(const QRect &outer, const QList<QScreen *> &screens)
{
    const auto area = [](const QRect &rect) { return qint64(rect.width()) * rect.height(); };
    const QScreen *nearest = nullptr;
    qint64 shown = 0, distance = 0;
    for (const QScreen *screen : screens) {
        const QRect room = screen->availableGeometry();
        const qint64 here = area(room.intersected(outer));
        const QPoint centre = outer.center();
        const qint64 dx = std::max({room.left() - centre.x(), 0, centre.x() - room.right()});
        const qint64 dy = std::max({room.top() - centre.y(), 0, centre.y() - room.bottom()});
        if (nearest == nullptr || here > shown || (here == shown && dx * dx + dy * dy < distance))
            nearest = screen, shown = here, distance = dx * dx + dy * dy;
    }
    if (nearest == nullptr || 3 * shown >= area(outer))
        return outer;
    const QRect room = nearest->availableGeometry();
    QRect moved = outer;
    moved.moveLeft(std::max(room.left(), std::min(outer.left(), room.right() + 1 - outer.width())));
    moved.moveTop(std::max(room.top(), std::min(outer.top(), room.bottom() + 1 - outer.height())));
    return moved;
}

WindowPlacement::WindowPlacement(QWidget &window)
    : m_window(window)
{
}

QMargins WindowPlacement::frameMargins() const
{
    const QWindow *handle = m_window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

WindowFrame WindowPlacement::frame() const
{
    const QRect inner = (m_window.isMaximized() || m_window.isMinimized())
        ? m_window.normalGeometry()
        : m_window.geometry();
    const QRect outer = m_pendingOuter.value_or(inner.marginsAdded(frameMargins()));
    return WindowFrame {toTwips(outer.x()), toTwips(outer.y()), toTwips(outer.width()),
                        toTwips(outer.height())};
}

void WindowPlacement::move(const WindowFrame &frame)
{
    QRect outer(toPixels(frame.left), toPixels(frame.top), std::max(0, toPixels(frame.width)),
                std::max(0, toPixels(frame.height)));
    const QMargins margins = frameMargins();
    // A frame smaller than the window can be (a stored size of 0 or less) is raised to the
    // smallest size the window allows, as the platform raises it: a window of no size is
    // never shown at all.
    const QSize least =
        m_window.minimumSizeHint().expandedTo(m_window.minimumSize()).expandedTo(QSize(1, 1));
    outer.setSize(outer.size().expandedTo(least.grownBy(margins)));
    outer = onAScreen(outer, QGuiApplication::screens());
    if (margins.isNull())
        m_pendingOuter = outer;
    m_window.setGeometry(outer.marginsRemoved(margins));
}

void WindowPlacement::moved()
{
    if (m_pendingOuter && !frameMargins().isNull() && !m_window.isMaximized()
        && !m_window.isMinimized()) {
        const QRect outer = *std::exchange(m_pendingOuter, std::nullopt);
        m_window.setGeometry(outer.marginsRemoved(frameMargins()));
    }
}

int WindowPlacement::state() const
{
    if (m_window.isMinimized())
        return 1;
    return m_window.isMaximized() ? 2 : 0;
}

void WindowPlacement::setState(int state)
{
    Qt::WindowStates states =
        m_window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == 1)
        states |= Qt::WindowMinimized;
    else if (state == 2)
        states |= Qt::WindowMaximized;
    m_window.setWindowState(states);
}

double WindowPlacement::screenWidth() const
{
    return toTwips(m_window.screen()->size().width());
}

double WindowPlacement::screenHeight() const
{
    return toTwips(m_window.screen()->size().height());
}

} // namespace dyadix
