#include "workprogressbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace dyadix {

WorkProgressBox::WorkProgressBox(QWidget *window)
    : QDialog(window)
    , m_text(new QLabel(this))
    , m_bar(new QProgressBar(this))
    , m_stop(new QPushButton(QStringLiteral("&Stop"), this))
{
    setWindowTitle(QStringLiteral("Dyadix"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setMinimumWidth(m_text->fontMetrics().horizontalAdvance(QString(60, QLatin1Char('x'))));
    m_bar->setRange(0, 1000);
    m_bar->setAccessibleName(QStringLiteral("Progress"));
    m_stop->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    connect(m_stop, &QPushButton::clicked, this, &WorkProgressBox::stopAsked);
}

void WorkProgressBox::showProgress(const WorkProgress &progress)
{
    const QString text = progressText(progress);
    if (text != m_text->text())
        m_text->setText(text);
    if (progress.files == 0) { // no end known: the bar only shows that work goes on
        m_bar->setRange(0, 0);
        return;
    }
    m_bar->setRange(0, 1000);
    const double part = progress.bytes > 0 ? double(progress.bytesDone) / double(progress.bytes)
                                           : double(progress.file - 1) / double(std::max(1, progress.files));
    m_bar->setValue(int(part * 1000.0));
}

QString WorkProgressBox::text() const
{
    return m_text->text();
}

void WorkProgressBox::reject()
{
    emit stopAsked();
}

} // namespace dyadix
