#pragma once

// Every modal question of the program, as one interface.

#include <QString>

namespace dyadix {

// Style values of a message box: one button set, plus an icon, plus DefaultButton2 when the
// second button is the default.
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;

constexpr int buttonSet(int style) { return style & 0x0F; }
constexpr int icon(int style) { return style & 0x70; }
constexpr bool secondIsDefault(int style) { return (style & DefaultButton2) != 0; }
} // namespace MsgStyle

// The button a message box was closed with.
enum class MsgAnswer : int { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Asks the user a modal question. Texts separate their lines by line feeds and are shown as
// plain text. Every modal box of the program goes through this interface.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // Shows a message box with the buttons, icon and default button of the style value and
    // returns the button pressed. `about` names what the box is about (the file in hand), for
    // a screen reader to read after the text, as the window's title shows it to the eye.
    virtual MsgAnswer MsgBox(const QString &text, int style, const QString &title, const QString &about = {}) = 0;

    // Shows an input box; returns the text typed, or an empty text when cancelled.
    virtual QString InputBox(const QString &prompt, const QString &title,
                             const QString &defaultText)
        = 0;
};

} // namespace dyadix
