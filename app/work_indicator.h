// Long work in the status line: what is being done, a progress bar, and a
// Cancel button for the work that can stop halfway. Hidden while idle.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "app/long_work.h"

class CWorkIndicator : public QWidget {
public:
    CWorkIndicator(CLongWork& work, QWidget* parent);

    QString TitleText() const { return m_title.text(); }
    int ProgressValue() const { return m_progress.value(); }
    QPushButton& CancelButton() { return m_cancel; }

private:
    void ShowProgress();

    CLongWork& m_work;
    QLabel m_title;
    QProgressBar m_progress;
    QPushButton m_cancel{QStringLiteral("Cancel")};
};
