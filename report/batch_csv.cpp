#include "report/batch_csv.h"

#include <algorithm>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "common/utf.h"
#include "instrument/direction_label.h"
#include "instrument/record_keys.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// An optional minus or plus, digits, and optionally the decimal mark with
// more digits: what a spreadsheet reads as a number, not a formula.
bool IsNumberText(std::string_view text, char decimalMark) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    const std::size_t mark = text.find(decimalMark);
    const std::string_view whole = text.substr(0, mark);
    const std::string_view fraction = mark == text.npos ? std::string_view() : text.substr(mark + 1);
    const auto allDigits = [](std::string_view digits) {
        return !digits.empty() && std::all_of(digits.begin(), digits.end(), IsDigit);
    };
    return allDigits(whole) && (mark == text.npos || allDigits(fraction));
}

bool LooksLikeFormula(std::string_view field, char decimalMark) {
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    return !field.empty() && kFormulaStarts.find(field.front()) != kFormulaStarts.npos &&
           !IsNumberText(field, decimalMark);
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A damaged file can hold lone surrogates, which Utf16ToUtf8 would pass on
// as raw bytes; each becomes U+FFFD, so the table is UTF-8 throughout.
std::string WellFormedUtf8(std::u16string_view text) {
    const auto lone = [&text](std::size_t at) {
        const char16_t c = text[at];
        if (IsHighSurrogate(c)) return at + 1 == text.size() || !IsLowSurrogate(text[at + 1]);
        return IsLowSurrogate(c) && (at == 0 || !IsHighSurrogate(text[at - 1]));
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (lone(at)) {
            std::u16string replaced(text);
            for (std::size_t fix = at; fix < replaced.size(); ++fix) {
                if (lone(fix)) replaced[fix] = 0xFFFD;
            }
            return Utf16ToUtf8(replaced);
        }
    }
    return Utf16ToUtf8(text);
}

class CCsvTable {
public:
    explicit CCsvTable(const STCsvOptions& options)
        : m_options(options), m_cDecimalMark(options.m_bDecimalComma ? ',' : '.') {}

    std::u16string Number(double value) const {
        std::u16string text = DoubleToText(value);
        if (m_options.m_bDecimalComma) {
            std::replace(text.begin(), text.end(), u'.', u',');
        }
        return text;
    }

    void AppendRow(const std::vector<std::u16string>& fields) {
        for (std::size_t at = 0; at < fields.size(); ++at) {
            if (at > 0) m_strCsv += m_options.m_strDelimiter;
            m_strCsv += Field(WellFormedUtf8(fields[at]));
        }
        m_strCsv += '\n';
    }

    std::string Text() const {
        return m_options.m_bByteOrderMark ? std::string(kByteOrderMark) + m_strCsv : m_strCsv;
    }

private:
    std::string Field(std::string field) const {
        if (LooksLikeFormula(field, m_cDecimalMark)) {
            field.insert(0, 1, '\'');
        }
        if (field.find_first_of("\"\r\n") != field.npos || field.find(m_options.m_strDelimiter) != field.npos) {
            StringReplaceAll(field, "\"", "\"\"");
            field = '"' + field + '"';
        }
        return field;
    }

    const STCsvOptions& m_options;
    char m_cDecimalMark;
    std::string m_strCsv;
};

std::u16string FieldText(const STLedgermillItem& item, std::u16string_view key) {
    const auto field = item.m_subItem.find(key);
    return field == item.m_subItem.end() ? std::u16string() : field->second;
}

// Any method but Leeb is labelled as UCI.
void AppendItemRows(CCsvTable& table, const STLedgermill& batch) {
    const bool leeb = batch.m_nTestMethod == kTestMethodLeeb;
    const std::u16string_view testKey = leeb ? kKeyImpact : kKeyForce;
    table.AppendRow({u"S/N", u"NAME", u"HD SCALE", leeb ? u"IMPACT" : u"FORCE", u"DIR", u"VALUE", u"AVERAGE",
                     u"DATE", u"RESULT"});
    std::int32_t row = 0;
    for (const auto& item : batch.m_itemVector) {
        // A missing DIR field stays empty: DirectionLabel keeps the empty text.
        table.AppendRow({IntToText(++row), FieldText(*item, kKeyName), FieldText(*item, kKeyHardnessScale),
                         FieldText(*item, testKey), DirectionLabel(FieldText(*item, kKeyDirection)),
                         FieldText(*item, kKeyValue), table.Number(item->m_dAverage), FieldText(*item, kKeyDate),
                         batch.IsPass(*item) ? u"Pass" : u"NG"});
    }
}

// An item without readings still gets its row, with the reading fields
// empty, so that no S/N goes missing from the table.
void AppendReadingRows(CCsvTable& table, const STLedgermill& batch) {
    table.AppendRow({u"S/N", u"READING", u"VALUE", u"HD SCALE", u"DATE"});
    std::int32_t row = 0;
    for (const auto& item : batch.m_itemVector) {
        const std::u16string number = IntToText(++row);
        const std::u16string scale = FieldText(*item, kKeyHardnessScale);
        const std::u16string date = FieldText(*item, kKeyDate);
        if (item->m_values.empty()) {
            table.AppendRow({number, u"", u"", scale, date});
        }
        std::int32_t reading = 0;
        for (const double value : item->m_values) {
            table.AppendRow({number, IntToText(++reading), table.Number(value), scale, date});
        }
    }
}

}  // namespace

STCsvOptions CsvOptionsForDecimalMark(char16_t decimalMark) {
    STCsvOptions options;
    if (decimalMark == u',') {
        // assign(1, c): GCC 12 warns of an overlap that cannot happen when a
        // short literal is copied over the default under sanitizers.
        options.m_strDelimiter.assign(1, ';');
        options.m_bDecimalComma = true;
    }
    return options;
}

bool IsCsvDelimiter(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16Replacing(text);
    const bool wellFormed = wide == Utf8ToUtf16(text);
    const bool surrogatePair = wide.size() == 2 && wide[0] >= 0xD800 && wide[0] <= 0xDBFF;
    const bool oneCharacter = wide.size() == 1 || surrogatePair;
    return wellFormed && oneCharacter && text != "\"" && text != "\r" && text != "\n";
}

std::string BatchCsv(const STLedgermill& batch, const STCsvOptions& options) {
    CCsvTable table(options);
    if (options.m_bPerReading) {
        AppendReadingRows(table, batch);
    } else {
        AppendItemRows(table, batch);
    }
    return table.Text();
}
