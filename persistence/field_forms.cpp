#include "persistence/field_forms.h"

#include "persistence/field_text.h"

std::string ItemName(std::size_t index) {
    return "item" + std::to_string(index);
}

std::string_view ScalarClass(bool) {
    return "bool";
}
std::string_view ScalarClass(std::uint8_t) {
    return "unsigned char";
}
std::string_view ScalarClass(std::int32_t) {
    return "int";
}
std::string_view ScalarClass(std::uint32_t) {
    return "unsigned long";
}
std::string_view ScalarClass(std::int64_t) {
    return "time_t";
}
std::string_view ScalarClass(double) {
    return "double";
}
std::string_view ScalarClass(std::u16string_view) {
    return "std::wstring";
}

void AppendScalarText(std::string& out, bool value) {
    out += BoolText(value);
}
void AppendScalarText(std::string& out, std::uint8_t value) {
    out += ByteText(value);
}
void AppendScalarText(std::string& out, std::int32_t value) {
    out += IntText(value);
}
void AppendScalarText(std::string& out, std::uint32_t value) {
    out += UIntText(value);
}
void AppendScalarText(std::string& out, std::int64_t value) {
    out += IntText(value);
}
void AppendScalarText(std::string& out, double value) {
    AppendDoubleText(out, value);
}
void AppendScalarText(std::string& out, std::u16string_view value) {
    AppendHexEncoded(out, value);
}

bool ReadScalarText(std::string_view text, bool& value) {
    return ReadBoolText(text, value);
}
bool ReadScalarText(std::string_view text, std::uint8_t& value) {
    return ReadByteText(text, value);
}
bool ReadScalarText(std::string_view text, std::int32_t& value) {
    return ReadIntText(text, value);
}
bool ReadScalarText(std::string_view text, std::uint32_t& value) {
    return ReadUIntText(text, value);
}
bool ReadScalarText(std::string_view text, std::int64_t& value) {
    return ReadInt64Text(text, value);
}
bool ReadScalarText(std::string_view text, double& value) {
    return ReadDoubleText(text, value);
}
bool ReadScalarText(std::string_view text, std::u16string& value) {
    return HexDecode(text, value);
}
