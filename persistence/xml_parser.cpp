#include "persistence/xml_parser.h"

#include <algorithm>
#include <utility>

#include "common/text.h"
#include "persistence/xml_escape.h"

namespace {

void Tokenize(std::string_view text, std::vector<std::string_view>& tokens) {
    tokens.clear();
    std::size_t at = text.find('<');
    while (at != text.npos) {
        const std::size_t start = at + 1;
        at = text.find('<', start);
        tokens.push_back(text.substr(start, at == text.npos ? text.npos : at - start));
    }
}

std::string Escaped(std::string_view text) {
    std::string copy(text);
    return XmlEscape(copy);
}

std::string Unescaped(std::string_view text) {
    std::string copy(text);
    return XmlUnescape(copy);
}

void AppendOpeningLine(const STXmlNode& node, std::size_t depth, std::string& out) {
    out.append(depth, '\t').append("<").append(node.m_strName);
    for (const auto& [name, value] : node.m_attributes) {
        out.append(" ").append(name).append(" = \"").append(Escaped(value)).append("\"");
    }
    out.append(">\n");
    if (!node.m_strText.empty()) {
        out.append(depth + 1, '\t').append(Escaped(node.m_strText)).append("\n");
    }
}

void AppendClosingLine(const STXmlNode& node, std::size_t depth, std::string& out) {
    out.append(depth, '\t').append("</").append(node.m_strName).append(">\n");
}

}  // namespace

std::unique_ptr<STXmlNode> CXmlParser::ParseTag(std::string_view tag) {
    if (tag.empty()) {
        return nullptr;
    }
    auto node = std::make_unique<STXmlNode>();
    node->m_strName = TagName(tag);
    const std::size_t space = tag.find(' ');
    if (space == tag.npos) {
        return node;
    }
    std::size_t scan = space + 1;
    for (;;) {
        const std::size_t equals = tag.find('=', scan);
        if (equals == tag.npos) {
            break;
        }
        const std::size_t open = tag.find('"', equals + 1);
        const std::size_t close = open == tag.npos ? open : tag.find('"', open + 1);
        if (close == tag.npos) {
            break;
        }
        const std::string_view name = TrimView(tag.substr(scan, equals - scan));
        node->m_attributes.insert_or_assign(std::string(name),
                                            Unescaped(tag.substr(open + 1, close - open - 1)));
        scan = close + 1;
    }
    return node;
}

bool SplitOpeningToken(std::string_view token, std::string_view& tag, std::string_view& text) {
    const std::size_t close = token.find('>');
    if (close == token.npos || token.find('>', close + 1) != token.npos) {
        return false;
    }
    tag = TrimView(token.substr(0, close));
    if (tag.empty() || tag.front() == '/') {
        return false;
    }
    text = TrimView(token.substr(close + 1));
    return true;
}

std::unique_ptr<STXmlNode> CXmlParser::ParseOpeningToken(STXmlNode* parent) {
    std::string_view tag;
    std::string_view text;
    if (!SplitOpeningToken(m_tokens[m_nextToken++], tag, text)) {
        return nullptr;
    }
    std::unique_ptr<STXmlNode> node = ParseTag(tag);
    node->m_pParent = parent;
    node->m_strText = Unescaped(text);
    return node;
}

// Each token either opens a child of the innermost open element or, when it
// opens nothing, closes that element; elements still open when the tokens
// run out simply end. Tokens after the first top-level element are ignored.
void CXmlParser::ParseDocument(std::string_view text, XmlDocument& document) {
    Tokenize(text, m_tokens);
    m_nextToken = 0;
    if (m_tokens.empty()) {
        return;
    }
    std::unique_ptr<STXmlNode> root = ParseOpeningToken(nullptr);
    if (!root) {
        return;
    }
    std::vector<STXmlNode*> open{document.emplace_back(std::move(root)).get()};
    while (!open.empty() && m_nextToken < m_tokens.size()) {
        std::unique_ptr<STXmlNode> child = ParseOpeningToken(open.back());
        if (!child) {
            open.pop_back();
            continue;
        }
        open.push_back(open.back()->m_children.emplace_back(std::move(child)).get());
    }
    m_tokens.clear();
}

std::string CXmlParser::WriteDocument(const XmlDocument& document) const {
    std::string out;
    struct Frame {
        const STXmlNode* node;
        std::size_t nextChild;
    };
    std::vector<Frame> path;
    for (const auto& top : document) {
        AppendOpeningLine(*top, 0, out);
        path.push_back({top.get(), 0});
        while (!path.empty()) {
            Frame& frame = path.back();
            if (frame.nextChild < frame.node->m_children.size()) {
                const STXmlNode* child = frame.node->m_children[frame.nextChild++].get();
                AppendOpeningLine(*child, path.size(), out);
                path.push_back({child, 0});
            } else {
                AppendClosingLine(*frame.node, path.size() - 1, out);
                path.pop_back();
            }
        }
    }
    return out;
}
