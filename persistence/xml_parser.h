// Reads and writes the element tree as the indented text of the persistence
// files. It reads exactly what its writer produces and tolerates damage
// without ever reporting a syntax error: the caller judges the tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "persistence/xml_node.h"

// A token is the stretch between one '<' and the next. It opens an element
// when it holds exactly one '>' and the trimmed text before it is neither
// empty nor begins with '/'; then tag is that text and text the trimmed,
// still escaped text after the '>'. Any other token closes the innermost
// open element.
bool SplitOpeningToken(std::string_view token, std::string_view& tag, std::string_view& text);

// An element's name: its tag up to the first space.
inline std::string_view TagName(std::string_view tag) {
    return tag.substr(0, tag.find(' '));
}

class CXmlParser {
public:
    // Appends at most one element, the first top-level one, to document.
    // Elements are nested without recursion, so any depth is safe.
    void ParseDocument(std::string_view text, XmlDocument& document);

    // The text of every top-level node in order; lines end with LF, depth is
    // shown by TABs.
    std::string WriteDocument(const XmlDocument& document) const;

    // The element of one tag's text (name, then attributes name = "value");
    // null for an empty tag.
    static std::unique_ptr<STXmlNode> ParseTag(std::string_view tag);

private:
    // Consumes the next token; the element it opens, or null when it opens
    // none (a closing tag, or a token without exactly one '>').
    std::unique_ptr<STXmlNode> ParseOpeningToken(STXmlNode* parent);

    // Stretches between one '<' and the next; text before the first '<' is
    // dropped.
    std::vector<std::string_view> m_tokens;
    std::size_t m_nextToken = 0;
};
