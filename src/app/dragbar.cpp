// The splitter bar's drag: its outline follows the pointer until the button is released.
#include "dragbar.h"

#include <QMouseEvent>
#include <QRubberBand>

#include <algorithm>

namespace dyadix {

DragBar::DragBar(QWidget *parent)
    : QFrame(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setCursor(Qt::SizeVerCursor);
}

void DragBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_outline == nullptr)
        m_outline = new QRubberBand(QRubberBand::Rectangle, parentWidget());
    moveOutline(event->globalPosition().toPoint());
    m_outline->show();
}

void DragBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_outline != nullptr && m_outline->isVisible())
        moveOutline(event->globalPosition().toPoint());
}

void DragBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_outline == nullptr || !m_outline->isVisible())
        return;
    m_outline->hide();
    emit dropped(event->globalPosition().toPoint());
}

void DragBar::moveOutline(QPoint globalPosition)
{
    const QPoint inParent = parentWidget()->mapFromGlobal(globalPosition);
    m_outline->setGeometry(x(), inParent.y() - height() / 2, width(), std::max(height(), 3));
}

} // namespace dyadix
