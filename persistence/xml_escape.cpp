#include "persistence/xml_escape.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace {

struct Entity {
    char character;
    std::string_view reference;
};

constexpr std::array<Entity, 5> kEntities{{
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'\'', "&apos;"},
    {'"', "&quot;"},
}};

constexpr std::string_view kSpecialCharacters = "&<>'\"";

}  // namespace

// One pass gives what five replace-all passes in the order & < > ' " give:
// the references inserted after the first pass hold none of the later
// characters, and the ampersand pass comes first.
std::string& XmlEscape(std::string& text) {
    if (text.find_first_of(kSpecialCharacters) == std::string::npos) {
        return text;
    }
    std::string escaped;
    escaped.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        const auto* entity = std::find_if(kEntities.begin(), kEntities.end(),
                                          [c](const Entity& e) { return e.character == c; });
        if (entity == kEntities.end()) {
            escaped.push_back(c);
        } else {
            escaped.append(entity->reference);
        }
    }
    text = std::move(escaped);
    return text;
}

std::string& XmlUnescape(std::string& text) {
    std::size_t at = text.find('&');
    if (at == std::string::npos) {
        return text;
    }
    std::string plain(text, 0, at);
    plain.reserve(text.size());
    while (at != std::string::npos) {
        const std::string_view rest = std::string_view(text).substr(at);
        const auto* entity =
            std::find_if(kEntities.begin(), kEntities.end(),
                         [rest](const Entity& e) { return rest.starts_with(e.reference); });
        const bool known = entity != kEntities.end();
        plain.push_back(known ? entity->character : '&');
        at += known ? entity->reference.size() : 1;
        const std::size_t next = text.find('&', at);
        plain.append(text, at, next == std::string::npos ? std::string::npos : next - at);
        at = next;
    }
    text = std::move(plain);
    return text;
}
