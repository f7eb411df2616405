#pragma once

// What the window model asks of the window on screen.

#include "core/workmonitor.h"
#include "panes/panelisting.h"

namespace dyadix {

// The window's outer frame on the screen, in twips.
struct WindowFrame
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// What the window model asks of the window on screen.
class FormHost : public ListingHost
{
public:
    // Outer position and size of the window in its normal state.
    virtual WindowFrame windowFrame() = 0;
    // Moves and sizes the window's outer frame.
    virtual void moveWindow(const WindowFrame &frame) = 0;
    // 0 normal, 1 minimised, 2 maximised.
    virtual int windowState() = 0;
    virtual void setWindowState(int state) = 0;
    // The screen's width and height in twips.
    virtual double screenWidth() = 0;
    virtual double screenHeight() = 0;

    virtual void showWindow() = 0;
    // Gives the keyboard focus to the filter box.
    virtual void focusFilter() = 0;
    // Closes the window; its unload handling runs.
    virtual void unloadWindow() = 0;
    // Ends the program at once.
    virtual void endProgram() = 0;

    // A copy, move or delete at work: the window shows how far it is and offers a way to
    // stop it, and processes its events meanwhile (processEvents).
    virtual void beginWork() {}
    virtual void showWork(const WorkProgress &) {}
    virtual void endWork() {}
    // Work told to stop at once did not come back: it is stuck in the system (a network
    // folder that stopped answering). The window stores its settings as at a normal exit and
    // ends the program without waiting for it; the work's file keeps its old target.
    virtual void abandonWork() {}
};

} // namespace dyadix
