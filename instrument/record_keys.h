// The keys of the instrument's records that the system reads. Every other key
// is kept with the record but never read.
#pragma once

#include <string_view>

inline constexpr std::u16string_view kKeyName = u"NAME";
inline constexpr std::u16string_view kKeyHardnessScale = u"HD";
// Present in Leeb records only.
inline constexpr std::u16string_view kKeyImpact = u"IMPACT";
// Test force; present in UCI records only.
inline constexpr std::u16string_view kKeyForce = u"F";
inline constexpr std::u16string_view kKeyDirection = u"DIR";
inline constexpr std::u16string_view kKeyValue = u"VALUE";
// Synonym of VALUE, stored as VALUE.
inline constexpr std::u16string_view kKeyList = u"LIST";
// Present in records of the "Average" test model only.
inline constexpr std::u16string_view kKeyAverage = u"AVE";
// The last line of every transmission.
inline constexpr std::u16string_view kKeyDate = u"DATE";
