// The window's outer frame and state in twips, around the border the window manager adds.
#include "windowplacement.h"

#include "form/controls.h"

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
