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

std::string ScalarText(bool value) {
    return BoolText(value);
}
std::string ScalarText(std::uint8_t value) {
    return ByteText(value);
}
std::string ScalarText(std::int32_t value) {
    return IntText(value);
}
std::string ScalarText(std::uint32_t value) {
    return UIntText(value);
}
std::string ScalarText(std::int64_t value) {
    return IntText(value);
}
std::string ScalarText(double value) {
    return DoubleText(value);
}
std::string ScalarText(std::u16string_view value) {
    return HexEncode(value);
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
