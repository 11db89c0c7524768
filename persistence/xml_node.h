// The element tree of the persistence files: named elements with text,
// attributes and owned children, in document order.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct STXmlNode {
    std::string m_strName;
    // Character content, unescaped.
    std::string m_strText;
    // The enclosing element; null at the top level.
    STXmlNode* m_pParent = nullptr;
    std::vector<std::unique_ptr<STXmlNode>> m_children;
    // Iterated in ascending byte order of the names.
    std::map<std::string, std::string> m_attributes;

    STXmlNode() = default;
    STXmlNode(const STXmlNode&) = delete;
    STXmlNode& operator=(const STXmlNode&) = delete;
    // Destroys the subtree without recursion, so that a tree of any depth
    // read from a damaged file can be released.
    ~STXmlNode();
};

// Top-level elements, owned, in order.
using XmlDocument = std::vector<std::unique_ptr<STXmlNode>>;

// Appends a new element to parent's children, or to document when parent is
// null, and returns it.
STXmlNode* CreateChild(STXmlNode* parent, std::string_view name, std::string_view text,
                       XmlDocument& document);

// The first child named exactly name; null when there is none or name is
// empty.
STXmlNode* FindChild(const STXmlNode* node, std::string_view name);

// Empties name and text, detaches the node and destroys its children and
// attributes.
void ClearNode(STXmlNode& node);
