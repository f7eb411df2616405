#include "wrappingmenubar.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace dyadix {

namespace {
constexpr int ProbeWidth = 100000;
}

WrappingMenuBar::WrappingMenuBar(QWidget *parent)
    : QWidget(parent)
    , m_probe(std::make_unique<QMenuBar>())
{
    m_probe->setNativeMenuBar(false);
    m_probe->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

WrappingMenuBar::~WrappingMenuBar() = default;

QMenu *WrappingMenuBar::addMenu(const QString &title)
{
    auto *menu = new QMenu(title, this);
    addEntry(menu->menuAction());
    return menu;
}

void WrappingMenuBar::addEntry(QAction *action)
{
    m_entries << action;
    m_probe->addAction(action);
    m_widths.clear();
    m_laidOutWidth = -1;
    layOut(width() > 0 ? width() : sizeHint().width());
    updateGeometry();
}

void WrappingMenuBar::measure() const
{
    if (!m_widths.empty() || m_entries.isEmpty())
        return;
    // Measured in this bar's font, which a bar of no window does not inherit.
    m_probe->setFont(font());
    m_probe->resize(ProbeWidth, m_probe->sizeHint().height());
    const QRect first = m_probe->actionGeometry(m_entries.front());
    m_margin = first.left();
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QRect here = m_probe->actionGeometry(m_entries.at(i));
        // Each entry's share runs to the next one's start, spacing included.
        const int next = i + 1 < m_entries.size() ? m_probe->actionGeometry(m_entries.at(i + 1)).left()
                                                  : here.right() + 1;
        m_widths.push_back(next - here.left());
    }
    m_rowHeight = m_probe->sizeHint().height();
}

std::vector<int> WrappingMenuBar::rowStarts(int width) const
{
    measure();
    std::vector<int> starts;
    int used = 0;
    for (int i = 0; i < int(m_widths.size()); ++i) {
        const int need = m_widths[size_t(i)];
        if (starts.empty() || used + need + 2 * m_margin > width) {
            starts.push_back(i);
            used = 0;
        }
        used += need;
    }
    return starts;
}

int WrappingMenuBar::heightForWidth(int width) const
{
    const size_t rows = std::max<size_t>(1, rowStarts(width).size());
    return int(rows) * m_rowHeight;
}

QSize WrappingMenuBar::sizeHint() const
{
    measure();
    int width = 2 * m_margin;
    for (int w : m_widths)
        width += w;
    return {width, heightForWidth(this->width() > 0 ? this->width() : width)};
}

QSize WrappingMenuBar::minimumSizeHint() const
{
    measure();
    const int widest = m_widths.empty() ? 0 : *std::max_element(m_widths.begin(), m_widths.end());
    return {widest + 2 * m_margin, heightForWidth(this->width() > 0 ? this->width() : widest)};
}

void WrappingMenuBar::layOut(int width)
{
    const std::vector<int> starts = rowStarts(width);
    if (width == m_laidOutWidth && starts.size() == m_rows.size())
        return;
    m_laidOutWidth = width;
    while (m_rows.size() < starts.size()) {
        auto *row = new QMenuBar(this);
        row->setNativeMenuBar(false);
        row->installEventFilter(this);
        layout()->addWidget(row);
        row->show();
        m_rows.push_back(row);
    }
    while (m_rows.size() > starts.size()) {
        if (m_highlighted != nullptr && rowOf(m_highlighted) == m_rows.back())
            endHighlight();
        delete m_rows.back();
        m_rows.pop_back();
    }
    for (size_t r = 0; r < m_rows.size(); ++r) {
        QMenuBar *row = m_rows[r];
        const int from = starts[r];
        const int to = r + 1 < starts.size() ? starts[r + 1] : int(m_entries.size());
        const QList<QAction *> wanted = m_entries.mid(from, to - from);
        if (row->actions() == wanted)
            continue;
        for (QAction *action : row->actions())
            row->removeAction(action);
        row->addActions(wanted);
    }
    setFixedHeight(int(std::max<size_t>(1, m_rows.size())) * m_rowHeight);
}

void WrappingMenuBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut(event->size().width());
}

void WrappingMenuBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_widths.clear();
        m_laidOutWidth = -1;
        layOut(width());
    }
}

QList<QAction *> WrappingMenuBar::entriesWithKey(const QKeySequence &key) const
{
    QList<QAction *> found;
    for (QAction *action : m_entries) {
        if (action->isEnabled() && action->isVisible() && QKeySequence::mnemonic(action->text()) == key)
            found << action;
    }
    return found;
}

QMenuBar *WrappingMenuBar::rowOf(const QAction *action) const
{
    for (QMenuBar *row : m_rows) {
        if (row->actions().contains(const_cast<QAction *>(action)))
            return row;
    }
    return nullptr;
}

bool WrappingMenuBar::accessKey(const QKeySequence &key, bool ambiguous)
{
    const QList<QAction *> sharing = entriesWithKey(key);
    if (sharing.size() == 1) {
        endHighlight();
        if (!ambiguous)
            return false; // the row opens the menu or runs the command itself
        // Qt counted a disabled entry with the same key; the one that may run, runs.
        QAction *only = sharing.front();
        if (only->menu() != nullptr)
            rowOf(only)->setActiveAction(only);
        else
            only->trigger();
        return true;
    }
    if (sharing.size() > 1)
        highlight(sharing.at((sharing.indexOf(m_highlighted) + 1) % sharing.size()));
    return true;
}

void WrappingMenuBar::highlight(QAction *action)
{
    if (m_highlighted == nullptr)
        m_focusBefore = QApplication::focusWidget();
    QMenuBar *row = rowOf(action);
    // The focus first: a row that loses it to another row ends its highlight.
    row->setFocus(Qt::ShortcutFocusReason);
    m_highlighted = action;
    for (QMenuBar *other : m_rows) {
        if (other != row)
            other->setActiveAction(nullptr);
    }
    row->setActiveAction(action);
}

void WrappingMenuBar::endHighlight()
{
    if (m_highlighted == nullptr)
        return;
    m_highlighted = nullptr;
    for (QMenuBar *row : m_rows)
        row->setActiveAction(nullptr);
    if (m_focusBefore != nullptr)
        m_focusBefore->setFocus(Qt::ShortcutFocusReason);
}

bool WrappingMenuBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        return accessKey(shortcut->key(), shortcut->isAmbiguous());
    }
    if (m_highlighted == nullptr)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        m_highlighted = nullptr;
        for (QMenuBar *row : m_rows)
            row->setActiveAction(nullptr);
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Alt || key->key() == Qt::Key_Shift || key->key() == Qt::Key_Control
            || key->key() == Qt::Key_Meta)
            return false; // the Alt of a further Alt+key
        const QKeySequence asAccessKey(QKeyCombination(Qt::AltModifier, Qt::Key(key->key())));
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) {
            QAction *chosen = m_highlighted;
            endHighlight();
            chosen->trigger();
        } else if (key->modifiers() == Qt::NoModifier
                   && QKeySequence::mnemonic(m_highlighted->text()) == asAccessKey) {
            accessKey(asAccessKey, true);
        } else {
            endHighlight();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace dyadix
