#include "instrument/received_text.h"

#include <algorithm>

#include "common/text.h"
#include "common/utf.h"
#include "instrument/record_framing.h"

void CTransmissionScanner::Scan(std::string_view bytes) {
    for (std::size_t at = m_nScanned; at < bytes.size(); ++at) {
        const char byte = bytes[at];
        if (byte == '\n' && m_bAfterCr) {
            if (m_nLineFirst != kNone) {
                m_bLastLineIsDate =
                    BeginsWithDate(bytes.substr(m_nLineFirst, at - 1 - m_nLineFirst));
                m_bLastLineEnded = true;
                if (m_bLastLineIsDate) {
                    ++m_nCompleted;
                    m_nCompleteEnd = at + 1;
                }
            }
            m_nLineStart = at + 1;
            m_nLineFirst = kNone;
        } else if (!IsWhiteSpace(byte) && m_nLineFirst == kNone) {
            m_nLineFirst = at;
        }
        m_bAfterCr = byte == '\r';
    }
    m_nScanned = bytes.size();
    if (m_nLineFirst != kNone) {
        m_bLastLineIsDate = BeginsWithDate(bytes.substr(m_nLineFirst));
        m_bLastLineEnded = false;
    }
}

void CTransmissionScanner::BreakOff() {
    m_nLineStart = m_nScanned;
    m_nLineFirst = kNone;
    m_bAfterCr = false;
    m_bLastLineIsDate = false;
    m_bLastLineEnded = false;
}

void CTransmissionScanner::Drop(std::size_t count) {
    const auto down = [count](std::size_t offset) { return offset > count ? offset - count : 0; };
    m_nScanned = down(m_nScanned);
    m_nLineStart = down(m_nLineStart);
    if (m_nLineFirst != kNone) {
        m_nLineFirst = down(m_nLineFirst);
    }
    m_nCompleteEnd = down(m_nCompleteEnd);
}

namespace {

struct STLineContent {
    bool m_bText = false;
    bool m_bNoise = false;
};

STLineContent ReadLineContent(std::string_view line) {
    STLineContent content;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t length = line[at] == '\0' ? 0 : Utf8SequenceLength(line, at);
        if (length == 0) {
            content.m_bNoise = true;
            ++at;
            continue;
        }
        content.m_bText = content.m_bText || !IsWhiteSpace(line[at]);
        at += length;
    }
    return content;
}

// A record's lines run from its first to its last line that holds text.
struct STRecordLines {
    std::size_t m_nBegin = 0;
    std::size_t m_nEnd = 0;
    bool m_bText = false;
    bool m_bNoiseInside = false;
    bool m_bNoiseAnywhere = false;
};

STRecordLines FindRecordLines(std::string_view record) {
    STRecordLines found;
    bool noiseSinceBegin = false;
    std::size_t lineStart = 0;
    for (;;) {
        const std::size_t lineEnd = record.find(LineSeparator<char>(), lineStart);
        const std::size_t end = lineEnd == record.npos ? record.size() : lineEnd;
        const STLineContent content = ReadLineContent(record.substr(lineStart, end - lineStart));
        found.m_bNoiseAnywhere = found.m_bNoiseAnywhere || content.m_bNoise;
        if (content.m_bText && !found.m_bText) {
            found.m_bText = true;
            found.m_nBegin = lineStart;
        }
        if (found.m_bText) {
            noiseSinceBegin = noiseSinceBegin || content.m_bNoise;
            if (content.m_bText) {
                found.m_nEnd = end;
                found.m_bNoiseInside = noiseSinceBegin;
            }
        }
        if (lineEnd == record.npos) {
            return found;
        }
        lineStart = lineEnd + 2;
    }
}

bool HoldsText(std::string_view bytes) {
    return ReadLineContent(bytes).m_bText;
}

}  // namespace

void CutReceivedRecords(std::string_view bytes, bool brokenOff, STCutRecords& out) {
    if (!HoldsText(bytes)) {
        return;
    }
    // As the parser trims the whole text first: an empty line at either end
    // makes no empty record.
    ForEachRecord<char>(TrimView(bytes), [brokenOff, &out](std::string_view record) {
        const STRecordLines lines = FindRecordLines(record);
        if (!lines.m_bText && lines.m_bNoiseAnywhere) {
            return;  // noise between records
        }
        if (brokenOff) {
            out.m_nCutOff += lines.m_bText ? 1 : 0;
        } else if (lines.m_bNoiseInside) {
            ++out.m_nDamaged;
        } else {
            out.m_records.push_back(Utf8ToUtf16(
                TrimView(record.substr(lines.m_nBegin, lines.m_nEnd - lines.m_nBegin))));
        }
    });
}
