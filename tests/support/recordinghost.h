#pragma once

#include "form/formhost.h"

#include <QSizeF>
#include <QStringList>

#include <functional>

namespace dyadix::test {

// A window host that records what the window model asks of it, in order.
class RecordingHost final : public FormHost
{
public:
    WindowFrame windowFrame() override { return frame; }
    void moveWindow(const WindowFrame &to) override
    {
        frame = to;
        m_calls << QStringLiteral("move %1 %2 %3 %4").arg(to.left).arg(to.top).arg(to.width).arg(to.height);
    }
    int windowState() override { return state; }
    void setWindowState(int to) override
    {
        state = to;
        m_calls << QStringLiteral("state %1").arg(to);
    }
    double screenWidth() override { return screen.width(); }
    double screenHeight() override { return screen.height(); }

    // The window as the model last set it (designed size, centred on a 1920 × 1080 screen).
    WindowFrame frame {0, 0, 7230, 6975};
    int state = 0;
    QSizeF screen {1920 * 15, 1080 * 15};

    void showWindow() override { m_calls << QStringLiteral("show"); }
    void focusFilter() override { m_calls << QStringLiteral("focus"); }
    void unloadWindow() override
    {
        m_calls << QStringLiteral("unload");
        if (onUnload)
            onUnload();
    }
    void endProgram() override { m_calls << QStringLiteral("end"); }
    void setMousePointer(int pointer) override
    {
        m_calls << QStringLiteral("pointer %1").arg(pointer);
    }
    void processEvents() override
    {
        ++m_processed;
        if (onProcessEvents)
            onProcessEvents();
    }

    const QStringList &calls() const { return m_calls; }
    int processed() const { return m_processed; }
    void clear() { m_calls.clear(); }

    // What unloading the window sets off (the window's unload handler).
    std::function<void()> onUnload;
    // What happens while the window repaints during a listing.
    std::function<void()> onProcessEvents;

private:
    QStringList m_calls;
    int m_processed = 0;
};

} // namespace dyadix::test
