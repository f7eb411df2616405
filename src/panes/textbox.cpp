#include "textbox.h"

namespace dyadix {

TextBox::TextBox(QString text, QObject *parent)
    : QObject(parent)
    , m_text(std::move(text))
{
}

void TextBox::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit changed();
}

void TextBox::setBackColor(QColor color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    emit changed();
}

void TextBox::setForeColor(QColor color)
{
    if (color == m_foreColor)
        return;
    m_foreColor = color;
    emit changed();
}

void TextBox::userEdited(const QString &text)
{
    m_text = text;
    emit edited(text);
}

} // namespace dyadix
