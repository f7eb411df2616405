// The splitter bar between the folder lists and the file lists, dragged by its outline.
#pragma once

#include <QFrame>

class QRubberBand;

namespace dyadix {

// The splitter bar: pressing it starts a drag at once; an outline of the bar follows the
// pointer, and releasing the button drops the bar where the pointer is.
class DragBar final : public QFrame
{
    Q_OBJECT
public:
    explicit DragBar(QWidget *parent);

signals:
    // The bar was dropped at a point of the screen.
    void dropped(QPoint globalPosition);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void moveOutline(QPoint globalPosition);
    QRubberBand *m_outline = nullptr;
};

} // namespace dyadix
