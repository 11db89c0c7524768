#include "fuzz/framer_fuzz_body.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/utf.h"
#include "instrument/record_framer.h"
#include "instrument/record_parser.h"

namespace {

// A whole record frames again as exactly itself, and parses into one item
// that holds a DATE field.
bool IsWholeRecord(const std::u16string& text) {
    const std::string bytes = Utf16ToUtf8(text);
    if (bytes.find("\r\n\r\n") != bytes.npos) {
        return false;
    }
    CRecordFramer framer;
    std::vector<STFramedRecord> decided;
    framer.Feed(bytes + "\r\n", decided);
    if (decided.size() != 1 || decided[0].m_eFate != ERecordFate::kWhole ||
        decided[0].m_text != text) {
        return false;
    }
    std::u16string parsed = text;
    LedgermillItemList items;
    ParseRecordText(parsed, items);
    return items.size() == 1;
}

}  // namespace

bool FuzzFramerInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return true;
    }
    const unsigned choice = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    CRecordFramer framer;
    std::vector<STFramedRecord> decided;
    const std::size_t chunk = 1 + choice % 17;
    for (std::size_t at = 0, n = 0; at < bytes.size(); at += chunk, ++n) {
        framer.Feed(bytes.substr(at, chunk), decided);
        if ((choice >> 5) & 1 && n % 3 == 0) {
            framer.Quiet(decided);
        }
        if ((choice >> 6) & 1 && n % 7 == 6) {
            framer.BreakOff(decided);
            framer.BeginUnknown();
        }
        if (choice >> 7 && n % 11 == 10) {
            framer.Discard();
        }
        if (framer.SettledEnd() > framer.Offset()) {
            return false;
        }
    }
    framer.BreakOff(decided);
    std::uint64_t end = 0;
    for (const STFramedRecord& record : decided) {
        if (record.m_nBegin < end || record.m_nEnd < record.m_nBegin ||
            record.m_nEnd > framer.Offset()) {
            return false;
        }
        end = record.m_nEnd;
        if (record.m_eFate == ERecordFate::kWhole && !IsWholeRecord(record.m_text)) {
            return false;
        }
    }
    return FrameCapture(bytes).Count() <= bytes.size();
}
