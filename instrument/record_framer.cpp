#include "instrument/record_framer.h"

#include <optional>

#include "common/text.h"
#include "common/utf.h"
#include "instrument/record_framing.h"

namespace {

// A line as framing reads it: its text with the noise taken out, trimmed.
struct STLine {
    std::string m_strText;
    bool m_bNoise = false;

    bool Blank() const { return m_strText.empty(); }
};

bool IsControl(unsigned char byte) {
    return (byte < 0x20 && byte != '\t') || byte == 0x7F;
}

// bytes is the line without its LF; lineEnded says whether one followed.
// The CR of a CR LF, or a last CR whose LF may still come, is part of the
// line end; any other CR, and an LF without its CR, is noise.
STLine ReadLine(std::string_view bytes, bool lineEnded) {
    STLine line;
    std::size_t end = bytes.size();
    if (end > 0 && bytes[end - 1] == '\r') {
        --end;
    } else if (lineEnded) {
        line.m_bNoise = true;
    }
    for (std::size_t at = 0; at < end;) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        std::size_t length = 1;
        bool noise = IsControl(byte);
        if (byte >= 0x80) {
            length = Utf8SequenceLength(bytes, at);
            // C1 control characters, U+0080 to U+009F, are noise as well.
            noise =
                length == 0 || (byte == 0xC2 && static_cast<unsigned char>(bytes[at + 1]) < 0xA0);
            length = length == 0 ? 1 : length;
        }
        if (noise) {
            line.m_bNoise = true;
        } else {
            line.m_strText.append(bytes.substr(at, length));
        }
        at += length;
    }
    const std::size_t last = line.m_strText.find_last_not_of(" \t\r\n");
    line.m_strText.erase(last == std::string::npos ? 0 : last + 1);
    line.m_strText.erase(0, line.m_strText.find_first_not_of(" \t\r\n"));
    return line;
}

bool IsKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '_' || c == '-' || c == '.' || c == '/';
}

// The key of a whole key/value line: one the parser reads, whose key begins
// with a letter and holds nothing a tester's key does not (a noise byte
// such as "?" before a key makes it none).
std::optional<std::string_view> WholeKey(std::string_view text) {
    const std::optional<std::string_view> key = LineKey(text);
    if (!key || key->empty() ||
        !((key->front() >= 'A' && key->front() <= 'Z') ||
          (key->front() >= 'a' && key->front() <= 'z'))) {
        return std::nullopt;
    }
    for (const char c : *key) {
        if (!IsKeyCharacter(c)) {
            return std::nullopt;
        }
    }
    return key;
}

bool IsDateKey(std::string_view key) {
    return record_framing::EqualIgnoringAsciiCase(key, std::string_view("DATE"));
}

std::string_view ValueOf(std::string_view text) {
    return TrimView(text.substr(text.find(':') + 1));
}

// Reads between fewest and most digits at text[at]; false if fewer.
bool ReadDigits(std::string_view text, std::size_t& at, std::size_t fewest, std::size_t most) {
    std::size_t count = 0;
    while (at < text.size() && count < most && text[at] >= '0' && text[at] <= '9') {
        ++at;
        ++count;
    }
    return count >= fewest && (at == text.size() || text[at] < '0' || text[at] > '9');
}

bool ReadOneOf(std::string_view text, std::size_t& at, std::string_view characters) {
    if (at < text.size() && characters.find(text[at]) != characters.npos) {
        ++at;
        return true;
    }
    return false;
}

bool ReadDate(std::string_view text, std::size_t& at) {
    constexpr std::string_view separators = "-/.";
    const std::size_t start = at;
    if (ReadDigits(text, at, 4, 4) && ReadOneOf(text, at, separators) &&
        ReadDigits(text, at, 1, 2) && ReadOneOf(text, at, separators) &&
        ReadDigits(text, at, 1, 2)) {
        return true;
    }
    at = start;
    return ReadDigits(text, at, 1, 2) && ReadOneOf(text, at, separators) &&
           ReadDigits(text, at, 1, 2) && ReadOneOf(text, at, separators) &&
           ReadDigits(text, at, 4, 4);
}

}  // namespace

bool IsWholeDateTime(std::string_view value) {
    std::size_t at = 0;
    if (!ReadDate(value, at) || !ReadOneOf(value, at, " T")) {
        return false;
    }
    while (ReadOneOf(value, at, " ")) {
    }
    return ReadDigits(value, at, 1, 2) && ReadOneOf(value, at, ":") &&
           ReadDigits(value, at, 2, 2) && ReadOneOf(value, at, ":") &&
           ReadDigits(value, at, 2, 2) && at == value.size();
}

void STFramedRecords::Add(STFramedRecord record) {
    switch (record.m_eFate) {
        case ERecordFate::kWhole:
            m_records.push_back(std::move(record.m_text));
            break;
        case ERecordFate::kDamaged:
            ++m_nDamaged;
            break;
        case ERecordFate::kCutOff:
            ++m_nCutOff;
            break;
    }
}

void CRecordFramer::Feed(std::string_view bytes, std::vector<STFramedRecord>& decided) {
    std::size_t at = m_pending.size();
    m_pending.append(bytes);
    m_nOffset += bytes.size();
    for (std::size_t lineFeed; (lineFeed = m_pending.find('\n', at)) != m_pending.npos;) {
        TakeLine(lineFeed, true, decided);
        at = m_nLineStart;
    }
}

bool CRecordFramer::LastLineIsWholeDate() const {
    const STLine line = ReadLine(std::string_view(m_pending).substr(m_nLineStart), false);
    const std::optional<std::string_view> key = WholeKey(line.m_strText);
    return key && IsDateKey(*key) && IsWholeDateTime(ValueOf(line.m_strText));
}

void CRecordFramer::Quiet(std::vector<STFramedRecord>& decided) {
    if (m_nLineStart < m_pending.size() && LastLineIsWholeDate()) {
        TakeLine(m_pending.size(), false, decided);
    }
}

void CRecordFramer::BreakOff(std::vector<STFramedRecord>& decided) {
    if (m_nLineStart < m_pending.size()) {
        TakeLine(m_pending.size(), false, decided);
    }
    if (m_eState == EState::kRecord) {
        Decide(ERecordFate::kCutOff, m_pending.size(), decided);
    } else if (m_eState == EState::kCutOff) {
        EndCutOff(m_pending.size(), decided);
    }
    ForgetPending();
    m_bTailLine = false;
    m_bAtBoundary = false;
}

void CRecordFramer::BeginUnknown() {
    m_bTailLine = true;
    m_bAtBoundary = false;
    if (!m_strFirstKey.empty() && m_eState == EState::kBetween) {
        Begin(EState::kCutOff, false);
    }
}

void CRecordFramer::Discard() {
    const bool inProgress = m_eState != EState::kBetween || m_nLineStart < m_pending.size();
    ForgetPending();
    if (inProgress) {
        m_bTailLine = true;
        Begin(EState::kCutOff, false);
    }
}

void CRecordFramer::ForgetPending() {
    m_pending.clear();
    m_nLineStart = m_nRecordStart = 0;
}

bool CRecordFramer::BeginsFirstKey(std::string_view text) const {
    return !text.empty() && text.size() <= m_strFirstKey.size() &&
           record_framing::EqualIgnoringAsciiCase(
               text, std::string_view(m_strFirstKey).substr(0, text.size()));
}

std::uint64_t CRecordFramer::SettledEnd() const {
    return m_nOffset - m_pending.size();
}

void CRecordFramer::Begin(EState state, bool holdsText) {
    m_eState = state;
    m_nRecordStart = m_nLineStart;
    m_bDamaged = false;
    m_bCutHoldsText = holdsText;
    m_bAtBoundary = false;
}

void CRecordFramer::TakeLine(std::size_t end, bool lineEnded,
                             std::vector<STFramedRecord>& decided) {
    const STLine line =
        ReadLine(std::string_view(m_pending).substr(m_nLineStart, end - m_nLineStart), lineEnded);
    const std::optional<std::string_view> key = WholeKey(line.m_strText);
    // A DATE line without its line end ends the record only with a whole
    // date and time.
    const bool date =
        key && IsDateKey(*key) && (lineEnded || IsWholeDateTime(ValueOf(line.m_strText)));
    // A blank line that is an empty line of the tester's, not the tail of a
    // line or noise.
    const bool emptyLine = line.Blank() && !line.m_bNoise && !m_bTailLine;
    const std::size_t lineEnd = lineEnded ? end + 1 : end;
    m_bTailLine = false;

    const auto beginRecord = [&] {
        if (m_bAtBoundary) {
            m_strFirstKey = StoredKey(*key);
            m_bLearned = true;
        }
        Begin(EState::kRecord);
        m_bDamaged = line.m_bNoise;
    };
    switch (m_eState) {
        case EState::kBetween:
            if (key) {
                beginRecord();
            } else if (!line.Blank()) {
                Begin(EState::kCutOff);
            }
            m_bAtBoundary = m_bAtBoundary || emptyLine;
            break;
        case EState::kRecord:
            if (emptyLine) {
                Decide(ERecordFate::kCutOff, m_nLineStart, decided);
                m_bAtBoundary = true;
            } else {
                m_bDamaged = m_bDamaged || line.m_bNoise;
            }
            break;
        case EState::kCutOff:
            if (key && !date && StoredKey(*key) == m_strFirstKey) {
                EndCutOff(m_nLineStart, decided);
                beginRecord();
            } else if (!lineEnded && BeginsFirstKey(line.m_strText)) {
                // The stream broke off in the first line of the next record.
                EndCutOff(m_nLineStart, decided);
                Begin(EState::kCutOff);
            } else if (emptyLine) {
                EndCutOff(m_nLineStart, decided);
                m_bAtBoundary = true;
            } else if (!line.Blank()) {
                m_bCutHoldsText = true;
            } else if (!m_bCutHoldsText) {
                m_nRecordStart = lineEnd;  // nothing of a record yet
            }
            break;
    }
    if (date && m_eState != EState::kBetween) {
        if (m_eState == EState::kRecord) {
            Decide(m_bDamaged ? ERecordFate::kDamaged : ERecordFate::kWhole, lineEnd, decided);
        } else {
            EndCutOff(lineEnd, decided);
        }
        m_bAtBoundary = true;
    }
    m_nLineStart = lineEnd;
    // Only the record in progress, or the line in progress between records,
    // is kept.
    const std::size_t keepFrom = m_eState == EState::kBetween ? m_nLineStart : m_nRecordStart;
    m_pending.erase(0, keepFrom);
    m_nLineStart -= keepFrom;
    m_nRecordStart -= std::min(m_nRecordStart, keepFrom);
}

void CRecordFramer::Decide(ERecordFate fate, std::size_t end,
                           std::vector<STFramedRecord>& decided) {
    const std::uint64_t front = m_nOffset - m_pending.size();
    STFramedRecord record{fate, front + m_nRecordStart, front + end, {}};
    if (fate == ERecordFate::kWhole) {
        record.m_text = Utf8ToUtf16(
            TrimView(std::string_view(m_pending).substr(m_nRecordStart, end - m_nRecordStart)));
    }
    decided.push_back(std::move(record));
    m_eState = EState::kBetween;
}

void CRecordFramer::EndCutOff(std::size_t end, std::vector<STFramedRecord>& decided) {
    if (m_bCutHoldsText) {
        Decide(ERecordFate::kCutOff, end, decided);
    }
    m_eState = EState::kBetween;
    m_bCutHoldsText = false;
}

STFramedRecords FrameCapture(std::string_view bytes) {
    std::vector<STFramedRecord> decided;
    // A first reading learns the key the capture's records begin with, so
    // that a capture which begins inside a record is told from one that
    // begins at a record.
    CRecordFramer learner;
    learner.Feed(bytes, decided);
    learner.BreakOff(decided);
    decided.clear();

    CRecordFramer framer;
    // Without a second record to learn from, a capture's whole first line
    // begins its first record.
    framer.ExpectFirstKey(learner.Learned() ? learner.FirstKey() : std::string());
    framer.BeginUnknown();
    framer.Feed(bytes, decided);
    framer.BreakOff(decided);
    STFramedRecords records;
    for (STFramedRecord& record : decided) {
        records.Add(std::move(record));
    }
    return records;
}
