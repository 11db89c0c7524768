// Where the tester's records begin and end in the bytes of the serial line,
// and which of them may be filed. The one framing model of the program: the
// window, the capture import and marlo-tool all frame received text here.
//
// A record runs from its first key/value line to its DATE line. A DATE line
// is whole once its CR LF has come, or, as the last line, once the line has
// been quiet and its value is a whole date and time. The next key/value line
// after a DATE line begins the next record, whatever its key. Every record
// is decided once, as one of:
// - whole: every byte of it was received, with no noise on its lines;
// - damaged: noise (a zero byte, a control character other than TAB, CR and
//   LF, a CR or LF that is not part of a CR LF, a byte that begins no
//   well-formed UTF-8 sequence) touched one of its lines;
// - cut off: its beginning or its end was not received (the stream began or
//   broke off inside it, an empty line came before its DATE line, or its
//   first line is no whole key/value line).
// Lines holding nothing but white space and noise between records belong to
// no record and are counted nowhere.
//
// Where a stream may begin inside a record (a port opened during a
// transmission), the record begins at the first line whose key is the key
// the tester begins its records with: NAME, as the tester's format has it,
// until another is learned from the records that began after a DATE line or
// an empty line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ERecordFate { kWhole, kDamaged, kCutOff };

struct STFramedRecord {
    ERecordFate m_eFate = ERecordFate::kWhole;
    // Stream offsets of its first byte and just behind its last line.
    std::uint64_t m_nBegin = 0;
    std::uint64_t m_nEnd = 0;
    // Whole records: their lines, decoded and trimmed.
    std::u16string m_text;
};

// Records decided, as counts by fate and the texts of the whole ones.
struct STFramedRecords {
    std::vector<std::u16string> m_records;
    std::size_t m_nDamaged = 0;
    std::size_t m_nCutOff = 0;

    void Add(STFramedRecord record);
    // Every record decided: filed or refused.
    std::size_t Count() const { return m_records.size() + m_nDamaged + m_nCutOff; }
};

class CRecordFramer {
public:
    // Bytes in the order they arrived; each record is decided as soon as the
    // line that ends it is whole, and appended to decided.
    void Feed(std::string_view bytes, std::vector<STFramedRecord>& decided);
    // No byte for the quiet time: a last DATE line without line end ends its
    // record when its value is a whole date and time.
    void Quiet(std::vector<STFramedRecord>& decided);
    // The stream broke off (port closed, device gone, end of a file): the
    // record in progress is decided with what arrived of it.
    void BreakOff(std::vector<STFramedRecord>& decided);
    // A new stream begins, perhaps inside a record: its first line may be the
    // tail of one.
    void BeginUnknown();
    // The bytes received so far are thrown away (Clear); the rest of a
    // record they cut arrives as a record cut off.
    void Discard();

    // The stored key that begins the tester's records: NAME until a record
    // has begun after a DATE line or an empty line (Learned()), then that
    // record's. Empty: any whole key/value line may begin a record.
    const std::string& FirstKey() const { return m_strFirstKey; }
    bool Learned() const { return m_bLearned; }
    void ExpectFirstKey(std::string key) { m_strFirstKey = std::move(key); }

    // Bytes fed so far.
    std::uint64_t Offset() const { return m_nOffset; }
    // The bytes before this offset belong to decided records or to noise
    // between records; the rest to a record or a line still arriving.
    std::uint64_t SettledEnd() const;
    // A record has begun and is not decided yet.
    bool InRecord() const { return m_eState != EState::kBetween; }

private:
    enum class EState {
        // Between records: the next key/value line begins one.
        kBetween,
        // A record whose first line was a whole key/value line.
        kRecord,
        // A record cut off at its beginning: refused when it ends.
        kCutOff,
    };
    void TakeLine(std::size_t end, bool lineEnded, std::vector<STFramedRecord>& decided);
    // Whether the line in progress is a DATE line whose value is a whole
    // date and time.
    bool LastLineIsWholeDate() const;
    // Whether text, a line without its end, may be the beginning of a line
    // with the first key.
    bool BeginsFirstKey(std::string_view text) const;
    // holdsText: a cut-off record begins with text of its own, not only
    // with the stream's beginning.
    void Begin(EState state, bool holdsText = true);
    void ForgetPending();
    void Decide(ERecordFate fate, std::size_t end, std::vector<STFramedRecord>& decided);
    void EndCutOff(std::size_t end, std::vector<STFramedRecord>& decided);

    EState m_eState = EState::kBetween;
    // The bytes from the record in progress (or the line in progress between
    // records) on; m_nOffset - m_pending.size() is the offset of its front.
    std::string m_pending;
    std::uint64_t m_nOffset = 0;
    std::size_t m_nLineStart = 0;
    std::size_t m_nRecordStart = 0;
    bool m_bDamaged = false;
    bool m_bCutHoldsText = false;
    // The line in progress began where the stream began: it may be a tail.
    bool m_bTailLine = false;
    // The last record or line ended at a DATE line or an empty line, so the
    // next record's first key is the tester's first key.
    bool m_bAtBoundary = false;
    std::string m_strFirstKey = "NAME";
    bool m_bLearned = false;
};

// Frames a whole capture (a journal, a dump, a file of received text) as the
// window frames a spell: the capture may begin inside a record, and its end
// is where the stream broke off.
STFramedRecords FrameCapture(std::string_view bytes);

// Whether value reads as a whole date and time: a date of year, month and
// day (either order, with '-', '/' or '.') and a time with seconds.
bool IsWholeDateTime(std::string_view value);
