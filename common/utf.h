// UTF-8 <-> UTF-16 conversion for file names and locale text.
//
// Bytes that are not valid UTF-8 travel as the lone code units
// U+DC80..U+DCFF and turn back into the same bytes on the way out, so a file
// name that is not UTF-8 still names the same file after a round trip.
#pragma once

#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view bytes);
// For received data such as the tester's transmissions, where the bytes need
// not survive a round trip: each byte that begins no well-formed sequence
// becomes U+FFFD instead.
std::u16string Utf8ToUtf16Replacing(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view text);
// Length of the well-formed UTF-8 sequence at bytes[at]; 0 where the bytes
// there begin none (stray continuation bytes, overlong forms, encoded
// surrogates, values above U+10FFFF, a sequence cut off by the end).
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at);
