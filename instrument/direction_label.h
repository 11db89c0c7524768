#pragma once

#include <string>
#include <string_view>

// The arrow shown for an impact-direction text ("90" is an upwards arrow);
// any other text is returned as it is.
std::u16string DirectionLabel(std::u16string_view text);
