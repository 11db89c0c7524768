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
void AppendXmlEscaped(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t at = text.find_first_of(kSpecialCharacters); at != text.npos;
         at = text.find_first_of(kSpecialCharacters, start)) {
        out.append(text.substr(start, at - start));
        const auto* entity = std::find_if(kEntities.begin(), kEntities.end(),
                                          [c = text[at]](const Entity& e) { return e.character == c; });
        out.append(entity->reference);
        start = at + 1;
    }
    out.append(text.substr(start));
}

void AppendXmlUnescaped(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t at = text.find('&'); at != text.npos; at = text.find('&', start)) {
        out.append(text.substr(start, at - start));
        const std::string_view rest = text.substr(at);
        const auto* entity =
            std::find_if(kEntities.begin(), kEntities.end(),
                         [rest](const Entity& e) { return rest.starts_with(e.reference); });
        const bool known = entity != kEntities.end();
        out.push_back(known ? entity->character : '&');
        start = at + (known ? entity->reference.size() : 1);
    }
    out.append(text.substr(start));
}

std::string& XmlEscape(std::string& text) {
    if (text.find_first_of(kSpecialCharacters) == std::string::npos) {
        return text;
    }
    std::string escaped;
    escaped.reserve(text.size() + text.size() / 4);
    AppendXmlEscaped(escaped, text);
    text = std::move(escaped);
    return text;
}

std::string& XmlUnescape(std::string& text) {
    if (text.find('&') == std::string::npos) {
        return text;
    }
    std::string plain;
    plain.reserve(text.size());
    AppendXmlUnescaped(plain, text);
    text = std::move(plain);
    return text;
}
