#include "formmodel.h"

// The window's settings: read at start, stored at exit.

#include "core/conversions.h"
#include "core/errortrap.h"

#include <algorithm>

namespace dyadix {

namespace {

// A computed default as the store would hold it: whole numbers plainly, halves with ".5".
QString numberText(double value)
{
    if (value == std::floor(value))
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'f', 1);
}

} // namespace

void FormModel::GetSettings()
{
    SettingsApp = m_program.executableBaseName;
    SettingsSection = QStringLiteral("Settings");
    // A store that cannot be read is kept whole under another name, once, and the program
    // starts afresh; fought at every exit, it would never store anything again.
    if (const std::optional<SetAsideSettings> aside = m_settings.setAsideUnreadable(SettingsApp)) {
        const QString text = aside->keptAs.isEmpty()
            ? QStringLiteral("The settings file\n") + aside->file
                + QStringLiteral("\ncould not be read, nor kept under another name (Error ")
                + QString::number(aside->error->number) + QStringLiteral(": ") + aside->error->description
                + QStringLiteral(").\nThe program starts with its default settings.")
            : QStringLiteral("The settings file\n") + aside->file
                + QStringLiteral("\ncould not be read. It is kept whole as\n") + aside->keptAs
                + QStringLiteral("\nand the program starts with its default settings.");
        m_prompter.MsgBox(text, MsgStyle::OkOnly + MsgStyle::Exclamation, m_program.executableBaseName);
    }
    ErrorTrap trap(m_prompter, QStringLiteral("Error in Sub GetSettings!"));
    auto get = [this](const QString &key, const QString &defaultValue) {
        return m_settings.GetSetting(SettingsApp, SettingsSection, key, defaultValue);
    };

    // Sizes and positions read back as 32-bit numbers: screens are wider than 32,767 twips.
    const WindowFrame current = m_host.windowFrame();
    std::int32_t width = 0, height = 0, left = 0, top = 0;
    trap.assign<std::int32_t>(width, [&] { return toInteger32(get(QStringLiteral("Width"), numberText(current.width))); });
    trap.assign<std::int32_t>(height, [&] { return toInteger32(get(QStringLiteral("Height"), numberText(current.height))); });
    trap.assign<std::int32_t>(left, [&] {
        return toInteger32(get(QStringLiteral("Left"), numberText((m_host.screenWidth() - width) / 2)));
    });
    trap.assign<std::int32_t>(top, [&] {
        return toInteger32(get(QStringLiteral("Top"), numberText((m_host.screenHeight() - height) / 2)));
    });
    trap.run([&]() -> Status {
        m_host.moveWindow(WindowFrame {double(left), double(top), double(width), double(height)});
        return {};
    });
    trap.run([&]() -> Status {
        const Result<std::int16_t> state = toInteger16(get(QStringLiteral("WindowState"), QStringLiteral("0")));
        if (!state)
            return state.error();
        if (*state < 0 || *state > 2)
            return ErrorNumber::InvalidArgument;
        m_host.setWindowState(*state);
        return {};
    });
    trap.run([&]() -> Status {
        txtSelect.setText(get(QStringLiteral("Wildcards"), QStringLiteral("*.*")));
        return {};
    });
    const QString currentFolder = m_fileSystem.currentFolder();
    for (int i = 1; i <= 2; ++i) {
        Pane &p = pane(i);
        QString path;
        trap.run([&]() -> Status {
            path = get(QStringLiteral("Path") + QString::number(i), currentFolder);
            if (const QString &given = StartFolders[std::size_t(i - 1)]; !given.isEmpty()) {
                const Result<int> attributes = m_fileSystem.GetAttr(given);
                path = attributes && (*attributes & FileAttribute::Directory) == 0 ? given.left(std::max<qsizetype>(1, given.lastIndexOf(QLatin1Char('/')))) : given;
            }
            return {};
        });
        SkipListing = true;
        trap.run([&] { return p.drvList.setDrive(path); });
        SkipListing = false;
        trap.run([&] { return p.dirList.setPath(path); });
    }
    m_recallSlotsLoaded = 0;
    for (int k = 0; k < RecallSlots::Count && !trap.aborted(); ++k) {
        trap.run([&]() -> Status {
            m_recall->setCaption(k, RecallSlots::captionFor(k, get(QStringLiteral("LastFile") + QString::number(k), QString())));
            m_recall->setVisible(k, m_recall->caption(k).size() > 4);
            m_recallSlotsLoaded = k + 1;
            return {};
        });
    }
}

std::array<QString, RecallSlots::Count> FormModel::pathSetsToStore()
{
    // Entries of one or two characters are shown but not kept.
    auto kept = [](const QString &entry) { return entry.size() > 2; };
    std::array<QString, RecallSlots::Count> sets;
    for (int k = 0; k < RecallSlots::Count; ++k) {
        if (m_recall->visible(k) && kept(m_recall->entry(k)))
            sets[size_t(k)] = m_recall->entry(k);
    }
    // A path set that an aborted start-up never read keeps its slot where the session left it
    // free, or takes the next free one, so that nothing the user stored or added is lost.
    for (int k = m_recallSlotsLoaded; k < RecallSlots::Count; ++k) {
        const QString stored = m_settings.GetSetting(SettingsApp, SettingsSection,
                                                     QStringLiteral("LastFile") + QString::number(k), QString());
        if (!kept(stored) || std::any_of(sets.begin(), sets.end(), [&](const QString &entry) {
                return entry.compare(stored, Qt::CaseInsensitive) == 0;
            }))
            continue;
        for (int free = k; free < k + RecallSlots::Count; ++free) {
            if (QString &slot = sets[size_t(free % RecallSlots::Count)]; slot.isEmpty()) {
                slot = stored;
                break;
            }
        }
    }
    return sets;
}

void FormModel::SaveSettings()
{
    auto save = [this](const QString &key, const QString &value) {
        return m_settings.SaveSetting(SettingsApp, SettingsSection, key, value);
    };
    // The first key that cannot be stored ends the store; the keys after it keep their values.
    auto saveAll = [&]() -> Status {
        const int state = m_host.windowState();
        if (state != 1) {
            if (Status saved = save(QStringLiteral("WindowState"), QString::number(state)); !saved)
                return saved;
        }
        if (state == 0) {
            const WindowFrame frame = m_host.windowFrame();
            const std::pair<const char *, double> geometry[] = {
                {"Top", frame.top}, {"Left", frame.left}, {"Width", frame.width}, {"Height", frame.height}};
            for (const auto &[key, value] : geometry) {
                if (Status saved = save(QLatin1String(key), QString::number(qRound64(value))); !saved)
                    return saved;
            }
        }
        for (int i = 1; i <= 2; ++i) {
            if (Status saved = save(QStringLiteral("Path") + QString::number(i), pane(i).dirList.Path()); !saved)
                return saved;
        }
        const std::array<QString, RecallSlots::Count> entries = pathSetsToStore();
        for (int k = 0; k < RecallSlots::Count; ++k) {
            const QString key = QStringLiteral("LastFile") + QString::number(k);
            if (!entries[size_t(k)].isEmpty()) {
                if (Status saved = save(key, entries[size_t(k)]); !saved)
                    return saved;
            } else {
                (void)m_settings.DeleteSetting(SettingsApp, SettingsSection, key);
            }
        }
        return save(QStringLiteral("Wildcards"), txtSelect.Text());
    };
    if (const Status saved = saveAll(); !saved) {
        m_prompter.MsgBox(QStringLiteral("Error ") + QString::number(saved.error().number) + QLatin1Char('\n')
                              + saved.error().description
                              + QStringLiteral("\nThe settings could not all be stored."),
                          MsgStyle::OkOnly + MsgStyle::Exclamation, m_program.executableBaseName);
    }
}

} // namespace dyadix
