#include "app/work_indicator.h"

#include <QHBoxLayout>

namespace {
constexpr int kBarWidth = 120;
}  // namespace

CWorkIndicator::CWorkIndicator(CLongWork& work, QWidget* parent) : QWidget(parent), m_work(work) {
    auto* row = new QHBoxLayout(this);  // owned by this widget
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(&m_title);
    row->addWidget(&m_progress);
    row->addWidget(&m_cancel);
    m_progress.setFixedWidth(kBarWidth);
    m_progress.setRange(0, 1000);
    m_progress.setTextVisible(false);
    m_cancel.setAutoDefault(false);
    hide();
    connect(&m_work, &CLongWork::started, this, [this] {
        m_title.setText(m_work.Title());
        m_progress.setAccessibleName(m_work.Title());
        m_cancel.setVisible(m_work.IsCancellable());
        m_cancel.setEnabled(true);
        ShowProgress();
        show();
    });
    connect(&m_work, &CLongWork::progressed, this, [this] { ShowProgress(); });
    connect(&m_work, &CLongWork::ended, this, [this] { hide(); });
    connect(&m_cancel, &QPushButton::clicked, this, [this] {
        m_cancel.setEnabled(false);
        m_work.Cancel();
    });
}

// A work that cannot tell how far it got shows a busy bar.
void CWorkIndicator::ShowProgress() {
    const int perMille = m_work.PerMille();
    if (perMille < 0) {
        m_progress.setRange(0, 0);
        return;
    }
    m_progress.setRange(0, 1000);
    m_progress.setValue(perMille);
}
