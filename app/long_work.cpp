#include "app/long_work.h"

#include <algorithm>

namespace {
// How often the progress shown is brought up to date.
constexpr int kTickMs = 100;
}  // namespace

CLongWork::CLongWork() {
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, [this] { emit progressed(); });
}

CLongWork::~CLongWork() {
    m_progress.m_bCancel = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CLongWork::Start(const QString& title, bool cancellable, Work work, Finish finish) {
    if (m_bBusy) {
        return false;
    }
    m_bBusy = true;
    m_strTitle = title;
    m_bCancellable = cancellable;
    m_finish = std::move(finish);
    m_progress.m_nDone = 0;
    m_progress.m_nTotal = 0;
    m_progress.m_bCancel = false;
    const std::uint64_t start = ++m_nStart;
    m_thread = std::thread([this, start, work = std::move(work)] {
        work(m_progress);
        // Queued: runs on this object's thread once it returns to its loop,
        // unless Wait has taken the work up first.
        QMetaObject::invokeMethod(this, [this, start] { End(start); }, Qt::QueuedConnection);
    });
    m_tick.start();
    emit started();
    return true;
}

void CLongWork::Cancel() {
    if (m_bBusy && m_bCancellable) {
        m_progress.m_bCancel = true;
    }
}

void CLongWork::Wait() {
    End(m_nStart);
}

void CLongWork::End(std::uint64_t start) {
    if (!m_bBusy || start != m_nStart) {
        return;  // taken up by Wait already
    }
    m_thread.join();
    m_tick.stop();
    m_bBusy = false;
    const Finish finish = std::move(m_finish);
    m_finish = nullptr;
    emit ended();
    if (finish) {
        finish();
    }
}

int CLongWork::PerMille() const {
    const std::uint64_t total = m_progress.m_nTotal;
    if (total == 0) {
        return -1;
    }
    return static_cast<int>(std::min<std::uint64_t>(m_progress.m_nDone, total) * 1000 / total);
}
