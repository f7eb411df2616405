#pragma once

// A text box of the window: its text and colours.

#include <QColor>
#include <QObject>
#include <QString>

namespace dyadix {

// A single-line text box of the window: its text and colours.
class TextBox final : public QObject
{
    Q_OBJECT

public:
    explicit TextBox(QString text = QString(), QObject *parent = nullptr);

    const QString &Text() const { return m_text; }
    void setText(const QString &text);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(QColor color);
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(QColor color);

signals:
    // The text or a colour changed (the widget follows it).
    void changed();
    // The user typed: the box's text is now `text`.
    void edited(const QString &text);

public slots:
    // What the widget calls when the user edits the text.
    void userEdited(const QString &text);

private:
    QString m_text;
    QColor m_backColor = Qt::white;
    QColor m_foreColor = Qt::black;
};

} // namespace dyadix
