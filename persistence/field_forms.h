// How a field stands in an archive. A scalar's C++ type decides its class
// attribute and its text: std::uint8_t is "unsigned char", std::uint32_t
// "unsigned long", std::int64_t "time_t", wide text "std::wstring". The tree
// serializer and the streaming batch file both go through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kItemVectorClass = "std::vector<STLedgermillItem*>";
inline constexpr std::string_view kSubItemMapClass = "std::map<STDWString, STDWString*>";
inline constexpr std::string_view kValueVectorClass = "std::vector<double>";
inline constexpr std::string_view kMapKey = "map_key";
inline constexpr std::string_view kMapValue = "map_value";

// The children of a container: "item0", "item1", ...
std::string ItemName(std::size_t index);

std::string_view ScalarClass(bool value);
std::string_view ScalarClass(std::uint8_t value);
std::string_view ScalarClass(std::int32_t value);
std::string_view ScalarClass(std::uint32_t value);
std::string_view ScalarClass(std::int64_t value);
std::string_view ScalarClass(double value);
std::string_view ScalarClass(std::u16string_view value);

// The text appended to out.
void AppendScalarText(std::string& out, bool value);
void AppendScalarText(std::string& out, std::uint8_t value);
void AppendScalarText(std::string& out, std::int32_t value);
void AppendScalarText(std::string& out, std::uint32_t value);
void AppendScalarText(std::string& out, std::int64_t value);
void AppendScalarText(std::string& out, double value);
void AppendScalarText(std::string& out, std::u16string_view value);

template <class Value>
std::string ScalarText(const Value& value) {
    std::string text;
    AppendScalarText(text, value);
    return text;
}

// The reader of field_text.h for the type: false, value left alone, when the
// text holds no value of that type.
bool ReadScalarText(std::string_view text, bool& value);
bool ReadScalarText(std::string_view text, std::uint8_t& value);
bool ReadScalarText(std::string_view text, std::int32_t& value);
bool ReadScalarText(std::string_view text, std::uint32_t& value);
bool ReadScalarText(std::string_view text, std::int64_t& value);
bool ReadScalarText(std::string_view text, double& value);
bool ReadScalarText(std::string_view text, std::u16string& value);
