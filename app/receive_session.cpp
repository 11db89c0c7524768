#include "app/receive_session.h"

#include <QMetaObject>
#include <algorithm>
#include <deque>
#include <mutex>

#include "common/utf.h"
#include "serial/port_names.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string_view View(const ReceiveBuffer& buffer) {
    return {reinterpret_cast<const char*>(buffer.m_pData.get()),
            static_cast<std::size_t>(buffer.m_nLength)};
}

// Bytes at the end that begin a UTF-8 character not yet complete.
std::size_t IncompleteTail(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back
        }
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// What the raw text leaves out: zero bytes (line noise) would cut the text
// short, and a CR shown on its own would turn a CR LF split between two
// chunks into two line breaks.
void AppendShownBytes(std::string_view bytes, std::string& shown) {
    for (const char byte : bytes) {
        if (byte != '\0' && byte != '\r') {
            shown.push_back(byte);
        }
    }
}

// Decodes all of shown but a character not yet whole, which stays in it.
std::u16string DecodeShown(std::string& shown) {
    const std::size_t whole = shown.size() - IncompleteTail(shown);
    std::u16string text = Utf8ToUtf16Replacing(std::string_view(shown).substr(0, whole));
    shown.erase(0, whole);
    return text;
}

}  // namespace

// Between the reader thread and the session: each chunk goes to the journal
// at once, on the reader thread, and then waits here for the session's
// thread, which is asked to take the chunks with one posted call at a time.
// The reader never waits for the session, so stopping the reader can never
// deadlock; the session takes a bounded share per call, so a fast line
// cannot starve painting and timers.
class CChunkQueue : public CReceiveTarget {
public:
    CChunkQueue(CReceiveSession& session, CCaptureJournal& journal)
        : m_session(session), m_journal(journal) {}

    void OnChunk(const std::uint8_t* bytes, std::size_t count) override {
        m_journal.Append(bytes, count);
        const std::lock_guard lock(m_mutex);
        m_chunks.emplace_back(reinterpret_cast<const char*>(bytes), count);
        if (!m_bPosted) {
            m_bPosted = true;
            Post([session = &m_session] { session->TakeQueuedChunks(); });
        }
    }

    void OnHangUp() override {
        Post([session = &m_session] { session->OnHangUp(); });
    }

    // Up to maxBytes of the queued chunks, in order; asks for another call
    // while chunks remain.
    std::deque<std::string> Take(std::size_t maxBytes) {
        const std::lock_guard lock(m_mutex);
        std::deque<std::string> taken;
        std::size_t bytes = 0;
        while (!m_chunks.empty() && bytes < maxBytes) {
            bytes += m_chunks.front().size();
            taken.push_back(std::move(m_chunks.front()));
            m_chunks.pop_front();
        }
        m_bPosted = !m_chunks.empty();
        if (m_bPosted) {
            Post([session = &m_session] { session->TakeQueuedChunks(); });
        }
        return taken;
    }

private:
    template <class Call>
    void Post(Call call) {
        QMetaObject::invokeMethod(&m_session, std::move(call), Qt::QueuedConnection);
    }

    CReceiveSession& m_session;
    CCaptureJournal& m_journal;
    std::mutex m_mutex;
    std::deque<std::string> m_chunks;
    bool m_bPosted = false;
};

namespace {
constexpr std::size_t kTakeBytes = 16 * 1024;
}

CReceiveSession::CReceiveSession(std::string linkFolder, std::string lockFolder,
                                 std::string journalFolder)
    : m_strLinkFolder(std::move(linkFolder)),
      m_port(m_strLinkFolder, std::move(lockFolder)),
      m_pQueue(std::make_unique<CChunkQueue>(*this, m_journal)),
      m_strJournalFolder(std::move(journalFolder)) {
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_quietTimer, &QTimer::timeout, this, [this] { OnQuietTimer(); });
    m_reopenTimer.setInterval(kReopenInterval);
    connect(&m_reopenTimer, &QTimer::timeout, this, [this] { TryReopen(); });
}

CReceiveSession::~CReceiveSession() {
    m_reopenTimer.stop();
    m_receiver.Stop();
    m_port.ClosePort();
    m_journal.Close();
}

bool CReceiveSession::Open(const STPortParameters& parameters) {
    m_reopenTimer.stop();
    if (IsOpen()) {
        return true;
    }
    m_parameters = parameters;
    m_bReopened = false;
    m_strPortPath = ResolvePortPath(parameters.m_nCom, m_strLinkFolder);
    const STLineSettings& line = parameters.m_line;
    if (m_port.OpenPort(parameters.m_nCom, line.m_ulBaudRate, line.m_ucSize, line.m_ucParity,
                        line.m_ucStopBits) != 1) {
        m_port.ClosePort();
        m_strDevicePath = m_port.LastOpenFailure().m_strDevice;
        m_eState = EPortState::kFailed;
        emit statusChanged();
        return false;
    }
    BeginSpell();
    emit spellBegan();
    emit statusChanged();
    return true;
}

void CReceiveSession::Close() {
    if (m_reopenTimer.isActive()) {
        m_reopenTimer.stop();
        m_eState = EPortState::kClosed;
        emit statusChanged();
        return;
    }
    if (!IsOpen()) {
        return;
    }
    EndSpell();
    m_eState = EPortState::kClosed;
    emit spellEnded();
    emit statusChanged();
}

void CReceiveSession::BeginSpell() {
    // Bytes that came without a spell of their own never join this one.
    MarkSpellEnd();
    m_strDevicePath = m_port.DevicePath();
    if (!m_strJournalFolder.empty()) {
        m_journal.Open(m_strJournalFolder, "COM" + std::to_string(m_parameters.m_nCom),
                       std::time(nullptr));
    }
    m_strJournalPath = m_strCurrentJournal = m_journal.Path();
    m_nSpellBytes = 0;
    m_nSpellRecords = 0;
    m_lastRecordTime.reset();
    // The port may open while the tester is sending.
    m_framer.BeginUnknown();
    m_nSpellStart = m_framer.Offset();
    m_receiver.Start(m_pQueue.get(), &m_port);
    m_eState = EPortState::kOpen;
}

void CReceiveSession::EndSpell() {
    m_receiver.Stop();
    // What the reader handed over before it stopped still belongs here.
    while (true) {
        std::deque<std::string> chunks = m_pQueue->Take(static_cast<std::size_t>(-1));
        if (chunks.empty()) {
            break;
        }
        for (const std::string& chunk : chunks) {
            ApplyChunk(chunk);
        }
    }
    m_port.ClosePort();
    m_journal.Close();
    MarkSpellEnd();
}

// The bytes since the last spell ended become a spell that has ended: the
// record they broke off in is decided with what arrived of it.
void CReceiveSession::MarkSpellEnd() {
    std::vector<STFramedRecord> decided;
    m_framer.BreakOff(decided);
    Accept(decided);
    const std::uint64_t end = m_framer.Offset();
    if (end > m_nBufferFront && (m_spellEnds.empty() || m_spellEnds.back() < end)) {
        m_spellEnds.push_back(end);
        BreakShownLine();
    }
    m_strCurrentJournal.clear();
}

void CReceiveSession::Accept(std::vector<STFramedRecord>& decided) {
    if (decided.empty()) {
        return;
    }
    for (STFramedRecord& record : decided) {
        m_ready.Add(std::move(record));
    }
    m_nSpellRecords += decided.size();
    m_lastRecordTime = std::time(nullptr);
    if (!m_strCurrentJournal.empty() &&
        std::find(m_ready.m_journals.begin(), m_ready.m_journals.end(), m_strCurrentJournal) ==
            m_ready.m_journals.end()) {
        m_ready.m_journals.push_back(m_strCurrentJournal);
    }
    decided.clear();
}

// A spell's unfinished last line is not continued by the next spell's first
// one on screen either.
void CReceiveSession::BreakShownLine() {
    const std::string_view bytes = View(m_buffer);
    if (bytes.empty() || bytes.back() == '\n') {
        return;
    }
    std::u16string text = Utf8ToUtf16Replacing(m_strDisplayPending);
    m_strDisplayPending.clear();
    text += u'\n';
    emit textArrived(QString::fromStdU16String(text));
}

void CReceiveSession::TakeQueuedChunks() {
    for (const std::string& chunk : m_pQueue->Take(kTakeBytes)) {
        ApplyChunk(chunk);
    }
}

void CReceiveSession::OnHangUp() {
    if (!IsOpen()) {
        return;  // closed by the operator in the meantime
    }
    EndSpell();
    m_eState = EPortState::kWaitingForDevice;
    m_reopenDeadline = Clock::now() + kReopenWindow;
    m_reopenTimer.start();
    emit spellEnded();
    emit statusChanged();
}

void CReceiveSession::TryReopen() {
    if (Clock::now() >= m_reopenDeadline) {
        m_reopenTimer.stop();
        m_eState = EPortState::kDisconnected;
        emit statusChanged();
        return;
    }
    // Only the device that went: a port number whose link has gone names
    // /dev/ttyS<n-1> instead, which is another device.
    if (ResolvePortPath(m_parameters.m_nCom, m_strLinkFolder) != m_strPortPath) {
        return;
    }
    const STLineSettings& line = m_parameters.m_line;
    if (m_port.OpenPort(m_parameters.m_nCom, line.m_ulBaudRate, line.m_ucSize, line.m_ucParity,
                        line.m_ucStopBits) != 1) {
        m_port.ClosePort();
        return;
    }
    m_reopenTimer.stop();
    BeginSpell();
    m_bReopened = true;
    emit spellBegan();
    emit statusChanged();
}

void CReceiveSession::ApplyChunk(std::string_view bytes) {
    if (bytes.empty() || !m_buffer.AppendBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                               static_cast<std::int32_t>(bytes.size()))) {
        return;
    }
    m_lastByte = Clock::now();
    m_quietTimer.start(kQuiet);
    m_nSpellBytes += bytes.size();
    std::vector<STFramedRecord> decided;
    m_framer.Feed(bytes, decided);
    Accept(decided);
    AppendShownBytes(bytes, m_strDisplayPending);
    if (const std::u16string text = DecodeShown(m_strDisplayPending); !text.empty()) {
        emit textArrived(QString::fromStdU16String(text));
    }
    emit chunkApplied();
}

bool CReceiveSession::IsQuiet() const {
    return Clock::now() - m_lastByte >= kQuiet;
}

void CReceiveSession::OnQuietTimer() {
    // A timer may wake a little early; the test is the clock's.
    if (!IsQuiet()) {
        m_quietTimer.start(
            std::chrono::ceil<std::chrono::milliseconds>(kQuiet - (Clock::now() - m_lastByte)));
        return;
    }
    std::vector<STFramedRecord> decided;
    m_framer.Quiet(decided);
    Accept(decided);
    emit lineQuiet();
}

STTakenRecords CReceiveSession::TakeRecords() {
    STTakenRecords taken = std::exchange(m_ready, {});
    DropFront(static_cast<std::size_t>(m_framer.SettledEnd() - m_nBufferFront));
    return taken;
}

void CReceiveSession::Clear() {
    m_ready = {};
    m_framer.Discard();
    DropFront(static_cast<std::size_t>(m_buffer.m_nLength));
}

void CReceiveSession::DropFront(std::size_t count) {
    if (count == 0) {
        return;
    }
    m_buffer.DropFront(static_cast<std::int32_t>(count));
    m_nBufferFront += count;
    std::erase_if(m_spellEnds, [this](std::uint64_t end) { return end <= m_nBufferFront; });
    m_strDisplayPending.clear();
    AppendShownBytes(View(m_buffer).substr(View(m_buffer).size() - IncompleteTail(View(m_buffer))),
                     m_strDisplayPending);
    emit textReplaced();
}

std::u16string CReceiveSession::DisplayText(std::size_t maxBytes, bool& older) const {
    const std::string_view bytes = View(m_buffer);
    std::size_t from = 0;
    older = bytes.size() > maxBytes;
    if (older) {
        from = bytes.size() - maxBytes;
        // Begin at a character, not inside one.
        while (from < bytes.size() && (static_cast<unsigned char>(bytes[from]) & 0xC0) == 0x80) {
            ++from;
        }
    }
    std::u16string text;
    std::string shown;
    for (const std::uint64_t spellEnd : m_spellEnds) {
        const auto end = static_cast<std::size_t>(spellEnd - m_nBufferFront);
        if (end <= from) {
            continue;
        }
        AppendShownBytes(bytes.substr(from, end - from), shown);
        text += Utf8ToUtf16Replacing(shown);
        shown.clear();
        if (bytes[end - 1] != '\n') {
            text += u'\n';
        }
        from = end;
    }
    AppendShownBytes(bytes.substr(from), shown);
    return text + DecodeShown(shown);
}

std::string CReceiveSession::JournalError() const {
    return m_journal.Failed() ? m_journal.Error() : std::string();
}
