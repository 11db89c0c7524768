// The receive path without widgets: the port and its reader, the receive
// buffer, the capture journal, which records are complete, where the open
// spells of the port begin and end, and what this spell has received. The
// window shows what it says and files the records it hands out.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "instrument/received_text.h"
#include "serial/capture_journal.h"
#include "serial/line_settings.h"
#include "serial/receive_buffer.h"
#include "serial/receiver.h"
#include "serial/serial_port.h"

struct STPortParameters {
    int m_nCom = 1;
    STLineSettings m_line;
};

enum class EPortState {
    kClosed,
    kOpen,
    // The device hung up; it is opened again when it returns.
    kWaitingForDevice,
    // Waited the whole reopen window in vain.
    kDisconnected,
    // The last Open failed; Failure() says why.
    kFailed,
};

// Records taken for filing, and the journals that keep their bytes.
struct STTakenRecords : STCutRecords {
    std::vector<std::string> m_journals;
};

class CChunkQueue;

class CReceiveSession : public QObject {
    Q_OBJECT

public:
    // A record still arriving has had a byte within this time.
    static constexpr std::chrono::milliseconds kQuiet{300};
    // How long and how often a device that hung up is looked for.
    static constexpr std::chrono::minutes kReopenWindow{10};
    static constexpr std::chrono::milliseconds kReopenInterval{250};

    // linkFolder holds the COMn links; lockFolder the UUCP lock files;
    // journalFolder the capture journals (none kept when empty).
    CReceiveSession(std::string linkFolder, std::string lockFolder, std::string journalFolder);
    ~CReceiveSession() override;

    // Opens the port and begins a spell; false, with Failure() set, when it
    // cannot. Any wait for a device that hung up ends here.
    bool Open(const STPortParameters& parameters);
    // Ends the spell and closes the port, or stops waiting for the device.
    void Close();
    bool IsOpen() const { return m_port.IsOpen(); }
    EPortState State() const { return m_eState; }
    const STPortParameters& Parameters() const { return m_parameters; }
    const STOpenFailure& Failure() const { return m_port.LastOpenFailure(); }
    // The device of the open port, or of the one waited for.
    const std::string& DevicePath() const { return m_strDevicePath; }
    // The spell was begun by a reopen after a hang-up.
    bool Reopened() const { return m_bReopened; }

    // Takes a chunk of bytes, in the order they arrived.
    void ApplyChunk(std::string_view bytes);
    // The real-time test: the last line is a complete DATE line (followed by
    // CR LF, or no byte for kQuiet).
    bool LastRecordComplete() const;
    // The records ready for filing: those of spells that have ended (what
    // each left unfinished counted as cut off) and the complete ones of this
    // spell; a record still arriving stays in the buffer. Everything taken
    // leaves the buffer.
    STTakenRecords TakeRecords();
    // Empties the buffer.
    void Clear();

    const ReceiveBuffer& Buffer() const { return m_buffer; }
    // The buffer as the raw text shows it, at most its last maxBytes; older
    // says whether earlier bytes were left out.
    std::u16string DisplayText(std::size_t maxBytes, bool& older) const;

    std::uint64_t SpellBytes() const { return m_nSpellBytes; }
    std::uint64_t SpellRecords() const { return m_nSpellRecords; }
    // When the last complete record of this spell arrived.
    std::optional<std::time_t> LastRecordTime() const { return m_lastRecordTime; }
    // The journal of this spell, or of the last one.
    const std::string& JournalPath() const { return m_strJournalPath; }
    // Why the journal cannot be written; empty while it can.
    std::string JournalError() const;

signals:
    // Newly received text for the raw text.
    void textArrived(const QString& text);
    // The buffer lost bytes (filed or cleared): show it anew.
    void textReplaced();
    void chunkApplied();
    // No byte for kQuiet after the last one.
    void lineQuiet();
    // The spell ended (Close, hang-up); what it left unfinished is cut off.
    void spellEnded();
    void statusChanged();

private:
    struct STEndedSpell {
        std::size_t m_nEnd = 0;
        std::size_t m_nCompleteEnd = 0;
        std::string m_strJournal;
    };

    friend class CChunkQueue;

    void BeginSpell();
    std::size_t SpellStart() const;
    void EndSpell();
    void MarkSpellEnd();
    void TakeQueuedChunks();
    void OnHangUp();
    void TryReopen();
    bool IsQuiet() const;
    void OnQuietTimer();
    void DropFront(std::size_t count);
    void BreakShownLine();

    std::string m_strLinkFolder;
    SerialPort m_port;
    CQZSPReceive m_receiver;
    CCaptureJournal m_journal;
    std::unique_ptr<CChunkQueue> m_pQueue;
    std::string m_strJournalFolder;

    EPortState m_eState = EPortState::kClosed;
    STPortParameters m_parameters;
    std::string m_strDevicePath;
    // The path the port number named when it was opened: a device that hung
    // up is opened again only under this path.
    std::string m_strPortPath;
    bool m_bReopened = false;
    QTimer m_reopenTimer;
    std::chrono::steady_clock::time_point m_reopenDeadline;

    ReceiveBuffer m_buffer;
    CTransmissionScanner m_scanner;
    std::vector<STEndedSpell> m_endedSpells;
    // The journal of the bytes since the last spell ended.
    std::string m_strCurrentJournal;
    std::chrono::steady_clock::time_point m_lastByte;
    QTimer m_quietTimer;
    // A UTF-8 character not yet whole, held back from the raw text.
    std::string m_strDisplayPending;

    std::uint64_t m_nSpellBytes = 0;
    std::uint64_t m_nSpellRecords = 0;
    std::optional<std::time_t> m_lastRecordTime;
    std::string m_strJournalPath;
};
