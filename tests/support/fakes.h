#pragma once

// Settings in memory, a shell and a window host that record what they are asked.

#include "core/settingsstore.h"
#include "core/shell.h"
#include "form/formhost.h"

#include <QMap>
#include <QStringList>

#include <functional>
#include <optional>

namespace dyadix::test {

// Settings in memory as "application/section/key"; writes can be made to fail.
struct MemorySettingsStore final : SettingsStore
{
    QString GetSetting(const QString &app, const QString &section, const QString &key, const QString &value) override
    {
        return values.value(app + '/' + section + '/' + key, value);
    }
    Status SaveSetting(const QString &app, const QString &section, const QString &key, const QString &value) override
    {
        if (!writeError)
            values.insert(app + '/' + section + '/' + key, value);
        return writeError ? Status(*writeError) : Status();
    }
    Status DeleteSetting(const QString &app, const QString &section, const QString &key) override
    {
        if (writeError)
            return *writeError;
        return values.remove(app + '/' + section + '/' + key) ? Status() : Status(ErrorNumber::InvalidArgument);
    }
    Result<QByteArray> readKept(const QString &app, const QString &name) override
    {
        const auto found = kept.constFind(app + '/' + name);
        return found == kept.cend() ? Result<QByteArray>(ErrorNumber::FileNotFound) : Result<QByteArray>(*found);
    }
    Status writeKept(const QString &app, const QString &name, const QByteArray &content) override
    {
        if (!writeError)
            kept.insert(app + '/' + name, content);
        return writeError ? Status(*writeError) : Status();
    }
    Result<QString> setKeptAside(const QString &app, const QString &name) override
    {
        kept.insert(app + '/' + name + ".unreadable", kept.take(app + '/' + name));
        return "/state/" + app + '/' + name + ".unreadable";
    }
    std::optional<RunTimeError> writeError;
    QMap<QString, QString> values;
    QMap<QString, QByteArray> kept; // "application/name": the files kept besides the settings
};

struct RecordingShell final : Shell
{
    Result<int> openWebAddress(const QString &address) override { return opened << address, result; }
    QStringList opened;
    Result<int> result = ShellResult::Success;
};

// Records what the window model asks of its window, in order.
struct RecordingHost final : FormHost
{
    WindowFrame windowFrame() override { return frame; }
    void moveWindow(const WindowFrame &to) override
    {
        frame = to;
        calls << QString("move %1 %2 %3 %4").arg(to.left).arg(to.top).arg(to.width).arg(to.height);
    }
    int windowState() override { return state; }
    void setWindowState(int to) override { state = to, calls << QString("state %1").arg(to); }
    double screenWidth() override { return 1920 * 15; }
    double screenHeight() override { return 1080 * 15; }
    void showWindow() override { calls << "show"; }
    void focusFilter() override { calls << "focus"; }
    void unloadWindow() override { calls << "unload", onUnload(); }
    void endProgram() override { calls << "end"; }
    void setMousePointer(MousePointer pointer) override { calls << QString("pointer %1").arg(int(pointer)); }
    void processEvents() override {}
    WindowFrame frame {0, 0, 7230, 6975};
    int state = 0;
    QStringList calls;
    std::function<void()> onUnload = [] {};
};

} // namespace dyadix::test
