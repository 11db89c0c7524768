// SIGTERM and SIGHUP (a shutdown, a closed terminal, `kill`) turned into a
// Qt signal on the window's thread, where the program can keep what is not
// saved before it ends. While an object lives, those signals no longer end
// the process by themselves; the handlers before it come back with its end.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <memory>

class CEndingSignals : public QObject {
    Q_OBJECT
public:
    // At most one object at a time.
    CEndingSignals();
    ~CEndingSignals() override;
    CEndingSignals(const CEndingSignals&) = delete;
    CEndingSignals& operator=(const CEndingSignals&) = delete;

signals:
    // Once per signal received, with its number.
    void received(int signalNumber);

private:
    void Drain();

    int m_nReadEnd = -1;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    struct sigaction m_oldTerm {};
    struct sigaction m_oldHangUp {};
};
