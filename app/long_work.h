// Long work (Load, Save, Report) on a worker thread, one piece at a time, so
// that the window's thread never blocks on a file. The work reports how far
// it got and may be asked to stop; what it leaves is taken up on the
// window's thread when it has ended.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "persistence/file_progress.h"

// How far the work got, as a file load or save counts it, and whether it
// was asked to stop.
struct STWorkProgress : STFileProgress {
    std::atomic<bool> m_bCancel{false};
};

class CLongWork : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(STWorkProgress& progress)>;
    using Finish = std::function<void()>;

    CLongWork();
    // Waits for work still running; its finish is not run.
    ~CLongWork() override;

    bool IsBusy() const { return m_bBusy; }
    // Runs work on a worker thread and then finish on this object's thread;
    // false, running nothing, while other work is busy.
    bool Start(const QString& title, bool cancellable, Work work, Finish finish);
    // Asks cancellable work to stop; it ends soon, and its finish still runs.
    void Cancel();
    // Blocks until the work has ended, then runs its finish at once.
    void Wait();
    QString Title() const { return m_strTitle; }
    bool IsCancellable() const { return m_bCancellable; }
    // Per mille of the work done, -1 while the work cannot tell.
    int PerMille() const;

signals:
    void started();
    void progressed();
    void ended();

private:
    // Ends the work of the given start, unless it has ended already.
    void End(std::uint64_t start);

    std::thread m_thread;
    STWorkProgress m_progress;
    Finish m_finish;
    QString m_strTitle;
    bool m_bCancellable = false;
    bool m_bBusy = false;
    // Counts the starts, so that a late end call finds its own work gone.
    std::uint64_t m_nStart = 0;
    QTimer m_tick;
};
