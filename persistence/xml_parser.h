// Reads and writes the element tree as the indented text of the persistence
// files. It reads exactly what its writer produces and tolerates damage
// without ever reporting a syntax error: the caller judges the tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "persistence/xml_node.h"

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
