#include "persistence/xml_node.h"

#include <algorithm>
#include <utility>

namespace {

// Moves every descendant into one flat list before letting it go, so that no
// destructor ever runs on a node that still has children.
void ReleaseChildren(std::vector<std::unique_ptr<STXmlNode>>& children) {
    std::vector<std::unique_ptr<STXmlNode>> pending = std::move(children);
    children.clear();
    while (!pending.empty()) {
        std::unique_ptr<STXmlNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->m_children) {
            pending.push_back(std::move(child));
        }
        node->m_children.clear();
    }
}

}  // namespace

STXmlNode::~STXmlNode() {
    ReleaseChildren(m_children);
}

STXmlNode* CreateChild(STXmlNode* parent, std::string_view name, std::string_view text,
                       XmlDocument& document) {
    auto node = std::make_unique<STXmlNode>();
    node->m_strName = name;
    node->m_strText = text;
    node->m_pParent = parent;
    auto& siblings = parent ? parent->m_children : document;
    return siblings.emplace_back(std::move(node)).get();
}

STXmlNode* FindChild(const STXmlNode* node, std::string_view name) {
    if (node == nullptr || name.empty()) {
        return nullptr;
    }
    const auto match = std::find_if(node->m_children.begin(), node->m_children.end(),
                                    [name](const auto& child) { return child->m_strName == name; });
    return match == node->m_children.end() ? nullptr : match->get();
}

void ClearNode(STXmlNode& node) {
    node.m_strName.clear();
    node.m_strText.clear();
    node.m_pParent = nullptr;
    ReleaseChildren(node.m_children);
    node.m_attributes.clear();
}
