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

#include "instrument/record_framer.h"
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
struct STTakenRecords : STFramedRecords {
    std::vector<std::string> m_journals;
};

class CChunkQueue;

class CReceiveSession : public QObject {
    Q_OBJECT

public:
    // A last DATE line without line end is whole after this quiet.
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
    // Records received and decided (whole, damaged or cut off), waiting to
    // be taken; WholeRecordsReady() of them can be filed.
    bool RecordsReady() const { return m_ready.Count() > 0; }
    std::size_t WholeRecordsReady() const { return m_ready.m_records.size(); }
    // The records ready, each decided by the framing model: what a spell
    // left unfinished is cut off, and a record still arriving stays in the
    // buffer, whatever the pause. Everything taken leaves the buffer.
    STTakenRecords TakeRecords();
    // Empties the buffer, records ready included; the rest of a record it
    // cut arrives as a record cut off.
    void Clear();

    const ReceiveBuffer& Buffer() const { return m_buffer; }
    // The buffer as the raw text shows it, at most its last maxBytes; older
    // says whether earlier bytes were left out.
    std::u16string DisplayText(std::size_t maxBytes, bool& older) const;

    std::uint64_t SpellBytes() const { return m_nSpellBytes; }
    // Records this spell received, filed or refused as a filing counts them.
    std::uint64_t SpellRecords() const { return m_nSpellRecords; }
    // When the last record of this spell was decided.
    std::optional<std::time_t> LastRecordTime() const { return m_lastRecordTime; }
    // Stream offsets, counting every byte received since the session began:
    // where the buffer's first byte and this spell's journal begin.
    std::uint64_t BufferFront() const { return m_nBufferFront; }
    std::uint64_t SpellStart() const { return m_nSpellStart; }
    // Where the capture journals are kept; empty when none are.
    const std::string& JournalFolder() const { return m_strJournalFolder; }
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
    // No byte for kQuiet after the last one; a record may have become ready.
    void lineQuiet();
    // The spell ended (Close, hang-up); what it left unfinished is cut off.
    void spellEnded();
    // A spell began, with its journal.
    void spellBegan();
    void statusChanged();

private:
    friend class CChunkQueue;

    void BeginSpell();
    void EndSpell();
    void MarkSpellEnd();
    void TakeQueuedChunks();
    void OnHangUp();
    void TryReopen();
    bool IsQuiet() const;
    void OnQuietTimer();
    void Accept(std::vector<STFramedRecord>& decided);
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
    // The stream offset, as the framer counts, of the buffer's first byte.
    std::uint64_t m_nBufferFront = 0;
    std::uint64_t m_nSpellStart = 0;
    CRecordFramer m_framer;
    STTakenRecords m_ready;
    // Stream offsets where spells ended, for the raw text's line breaks.
    std::vector<std::uint64_t> m_spellEnds;
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
