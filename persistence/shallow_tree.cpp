#include "persistence/shallow_tree.h"

#include "persistence/text_file.h"
#include "persistence/xml_escape.h"

std::string_view WithoutCrLf(std::string_view text, std::string& scratch) {
    if (text.find("\r\n") == text.npos) {
        return text;
    }
    scratch.assign(text);
    CollapseCrLf(scratch);
    return scratch;
}

void CShallowTree::Reset(std::string_view rootName) {
    m_nodes.clear();
    m_strChars.clear();
    Add(npos, rootName, {});
}

std::size_t CShallowTree::Add(std::size_t parent, std::string_view name, std::string_view text) {
    STNode node;
    node.m_nName = m_strChars.size();
    m_strChars.append(WithoutCrLf(name, m_strScratch));
    node.m_nNameSize = m_strChars.size() - node.m_nName;
    node.m_nText = m_strChars.size();
    AppendXmlUnescaped(m_strChars, WithoutCrLf(text, m_strScratch));
    node.m_nTextSize = m_strChars.size() - node.m_nText;
    const std::size_t index = m_nodes.size();
    m_nodes.push_back(node);
    if (parent != npos) {
        STNode& above = m_nodes[parent];
        if (above.m_nLastChild == npos) {
            above.m_nFirstChild = index;
        } else {
            m_nodes[above.m_nLastChild].m_nNextSibling = index;
        }
        above.m_nLastChild = index;
        ++above.m_nChildren;
    }
    return index;
}

std::size_t CShallowTree::FindChild(std::size_t node, std::string_view name) const {
    if (name.empty()) {
        return npos;
    }
    for (std::size_t child = FirstChild(node); child != npos; child = NextSibling(child)) {
        if (Name(child) == name) {
            return child;
        }
    }
    return npos;
}

std::string_view CShallowTree::Name(std::size_t node) const {
    return std::string_view(m_strChars).substr(m_nodes[node].m_nName, m_nodes[node].m_nNameSize);
}

std::string_view CShallowTree::Text(std::size_t node) const {
    return std::string_view(m_strChars).substr(m_nodes[node].m_nText, m_nodes[node].m_nTextSize);
}
