#pragma once

#include "panes/panelisting.h"

namespace dyadix {

// What the window model asks of the window on screen.
class FormHost : public ListingHost
{
public:
    virtual void showWindow() = 0;
    // Gives the keyboard focus to the filter box.
    virtual void focusFilter() = 0;
    // Closes the window; its unload handling runs.
    virtual void unloadWindow() = 0;
    // Ends the program at once.
    virtual void endProgram() = 0;
};

} // namespace dyadix
