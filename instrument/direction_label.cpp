#include "instrument/direction_label.h"

#include <array>
#include <utility>

std::u16string DirectionLabel(std::u16string_view text) {
    static constexpr std::array<std::pair<std::u16string_view, char16_t>, 5> kArrows{{
        {u"270", u'\u2193'},      // downwards
        {u"225/315", u'\u2199'},  // south west
        {u"0/180", u'\u2190'},    // leftwards
        {u"45/135", u'\u2196'},   // north west
        {u"90", u'\u2191'},       // upwards
    }};
    for (const auto& [direction, arrow] : kArrows) {
        if (text == direction) {
            return std::u16string(1, arrow);
        }
    }
    return std::u16string(text);
}
