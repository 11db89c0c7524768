// Text forms of the scalar fields of the persistence files. They use the
// classic conventions in both directions, whatever the process locale is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::string BoolText(bool value);
// Exactly one byte: the value itself, not its digits.
std::string ByteText(std::uint8_t value);
std::string IntText(std::int64_t value);
std::string UIntText(std::uint32_t value);
// Fixed point with exactly six decimals.
std::string DoubleText(double value);
void AppendDoubleText(std::string& out, double value);

// Each reader converts the text into value and returns true, or returns
// false and leaves value as it was when the text holds no value of that type.

// The text must begin with "true" or "false".
bool ReadBoolText(std::string_view text, bool& value);
// The first byte after leading white space.
bool ReadByteText(std::string_view text, std::uint8_t& value);
// Leading white space, then the longest prefix that forms a number; a number
// that does not fit the type counts as none.
bool ReadIntText(std::string_view text, std::int32_t& value);
bool ReadInt64Text(std::string_view text, std::int64_t& value);
bool ReadUIntText(std::string_view text, std::uint32_t& value);
bool ReadDoubleText(std::string_view text, double& value);

// UTF-16 code units and a final 0x0000 unit, little-endian, each byte as two
// upper-case hexadecimal digits: "T1" gives 540031000000.
std::string HexEncode(std::u16string_view text);
void AppendHexEncoded(std::string& out, std::u16string_view text);

// The reverse: false for a text of odd length. Characters other than 0-9 and
// A-F count 0; the string ends at the first 0x0000 unit or with the data, a
// final odd byte forming a unit with a zero high byte.
bool HexDecode(std::string_view hex, std::u16string& text);
