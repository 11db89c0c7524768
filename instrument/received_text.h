// The tester's transmissions as the bytes the serial line delivered, before
// they are decoded: where complete records end, and which records the line
// has damaged. Noise is a zero byte or a byte that begins no well-formed
// UTF-8 sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Follows a receive buffer as bytes arrive, reading each byte once: how many
// records have been completed (a record is complete once its DATE line has
// ended with CR LF), where the last complete one ends, and whether the last
// line so far is a DATE line.
class CTransmissionScanner {
public:
    // Reads the bytes not read yet; bytes is the whole buffer, whose earlier
    // bytes are the ones read before.
    void Scan(std::string_view bytes);
    // The transmission broke off behind the bytes read so far (the port
    // closed or hung up): what follows begins a new line.
    void BreakOff();
    // The first count bytes have left the buffer.
    void Drop(std::size_t count);

    // Just behind the CR LF of the last complete DATE line; 0 for none.
    std::size_t CompleteEnd() const { return m_nCompleteEnd; }
    // DATE lines ended with CR LF so far.
    std::uint64_t CompletedRecords() const { return m_nCompleted; }
    // The last line holding more than white space begins with DATE (ASCII
    // case ignored), and whether a CR LF has followed it; both false after a
    // break until such a line comes.
    bool LastLineIsDate() const { return m_bLastLineIsDate; }
    bool LastLineEnded() const { return m_bLastLineEnded; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::size_t m_nScanned = 0;
    std::size_t m_nLineStart = 0;
    // First byte of the current line that is not white space.
    std::size_t m_nLineFirst = kNone;
    bool m_bAfterCr = false;
    bool m_bLastLineIsDate = false;
    bool m_bLastLineEnded = false;
    std::size_t m_nCompleteEnd = 0;
    std::uint64_t m_nCompleted = 0;
};

// Records cut out of received bytes.
struct STCutRecords {
    // The text of each whole, undamaged record, in order.
    std::vector<std::u16string> m_records;
    // Records with noise inside their lines: not to be filed.
    std::size_t m_nDamaged = 0;
    // Records the transmission broke off in.
    std::size_t m_nCutOff = 0;

    std::size_t Count() const { return m_records.size() + m_nDamaged + m_nCutOff; }
};

// Frames bytes into records exactly as the parser frames text, and adds each
// to out: decoded when whole, counted when damaged, or counted as cut off
// when brokenOff says the bytes are what was left of a transmission that
// broke off. Noise on lines of its own before or after a record's lines lies
// between records and damages nothing; bytes holding nothing but white
// space and noise give no record at all.
void CutReceivedRecords(std::string_view bytes, bool brokenOff, STCutRecords& out);
