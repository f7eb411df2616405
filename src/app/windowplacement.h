// Where the window sits on the screen and in which state, in the twips the window model counts.
#pragma once

#include "form/formhost.h"

#include <QMargins>
#include <QList>
#include <QRect>

#include <optional>

class QScreen;
class QWidget;

namespace dyadix {

// A length on the screen in twips, and back in whole pixels (halves round away from zero).
double toTwips(int pixels);
int toPixels(double twips);

// The outer frame, in pixels, moved onto the nearest of the screens where less than a third
// of it shows on any one of them; as it is otherwise.
QRect onAScreen(const QRect &outer, const QList<QScreen *> &screens);

// A top-level window's outer frame (the window manager's border included), its state and its
// screen, in twips. An outer frame set before the window manager has framed the window is
// set again once the border's size is known.
class WindowPlacement
{
public:
    explicit WindowPlacement(QWidget &window);

    // The outer frame in the normal state, also while the window is minimised or maximised.
    WindowFrame frame() const;
    // Moves and sizes the outer frame; a frame too small for the window is raised to the
    // smallest size the window allows, and one that would leave less than a third of the
    // window on any screen is moved onto the nearest one.
    void move(const WindowFrame &frame);
    // The window has moved: a frame that waited for the window manager's border is set now.
    void moved();
    // 0 normal, 1 minimised, 2 maximised.
    int state() const;
    void setState(int state);
    double screenWidth() const;
    double screenHeight() const;

private:
    QMargins frameMargins() const;

    QWidget &m_window;
    std::optional<QRect> m_pendingOuter;
};

} // namespace dyadix
