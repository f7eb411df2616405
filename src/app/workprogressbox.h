#pragma once

// The box that shows how far a copy, move, delete or listing has come, with its Stop button.

#include "core/workmonitor.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace dyadix {

// Shows a copy, move or delete that takes a while: the file and bytes done, the rate and
// time left, and a Stop button. The window takes no input meanwhile (see InputGuard), but its
// close box does; Escape, closing the box and Stop all ask to stop.
class WorkProgressBox final : public QDialog
{
    Q_OBJECT
public:
    explicit WorkProgressBox(QWidget *window);

    void showProgress(const WorkProgress &progress);
    QString text() const;
    QPushButton *stopButton() const { return m_stop; }

signals:
    void stopAsked();

public slots:
    void reject() override;

private:
    QLabel *m_text = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_stop = nullptr;
};

} // namespace dyadix
