#include "persistence/serializer.h"

#include <unordered_map>

#include "persistence/batch_file.h"
#include "persistence/field_forms.h"
#include "persistence/field_text.h"
#include "persistence/text_file.h"

namespace {

STXmlNode* AddElement(STXmlNode& parent, std::string_view name, std::string_view text,
                      std::string_view className) {
    XmlDocument unused;  // only top-level elements go there
    STXmlNode* element = CreateChild(&parent, name, text, unused);
    if (!className.empty()) {
        element->m_attributes.emplace(kClassAttribute, className);
    }
    return element;
}

template <class Value>
bool WriteScalar(STXmlNode* parent, std::string_view name, Value value) {
    if (parent == nullptr) {
        return false;
    }
    AddElement(*parent, name, ScalarText(value), ScalarClass(value));
    return true;
}

STXmlNode* AddContainer(STXmlNode* parent, std::string_view name, std::string_view className) {
    return parent == nullptr ? nullptr : AddElement(*parent, name, "", className);
}

template <class Value>
bool ReadScalar(const STXmlNode* parent, std::string_view name, Value& value) {
    const STXmlNode* field = FindChild(parent, name);
    if (field == nullptr) {
        return false;
    }
    ReadScalarText(field->m_strText, value);
    return true;
}

// The first child of each name, found in one pass over the children, so
// that reading every child of a large container stays linear.
class FirstChildIndex {
public:
    explicit FirstChildIndex(const STXmlNode& container) {
        m_first.reserve(container.m_children.size());
        for (const auto& child : container.m_children) {
            m_first.try_emplace(child->m_strName, child.get());
        }
    }
    // Null for the empty name, as FindChild gives.
    const STXmlNode* Find(std::string_view name) const {
        const auto match = m_first.find(name);
        return name.empty() || match == m_first.end() ? nullptr : match->second;
    }

private:
    std::unordered_map<std::string_view, const STXmlNode*> m_first;
};

}  // namespace

bool CSerializer::OpenForRead(const std::string& path, std::string* failure) {
    m_document.clear();
    m_pRoot = nullptr;
    if (!LoadDocument(path, m_document, failure)) {
        return false;
    }
    m_pRoot = m_document.empty() ? nullptr : m_document.front().get();
    return m_pRoot != nullptr && m_pRoot->m_strName == kRootName;
}

void CSerializer::OpenForWrite() {
    m_document.clear();
    m_pRoot = CreateChild(nullptr, kRootName, "", m_document);
}

bool CSerializer::SaveFile(const std::string& path) const {
    return SaveDocument(path, m_document);
}

STXmlNode* CSerializer::WriteRecord(STXmlNode* parent, std::string_view name,
                                    std::string_view className) {
    return AddContainer(parent, name, className);
}

bool CSerializer::WriteField(STXmlNode* parent, std::string_view name, bool value) {
    return WriteScalar(parent, name, value);
}
bool CSerializer::WriteField(STXmlNode* parent, std::string_view name, std::uint8_t value) {
    return WriteScalar(parent, name, value);
}
bool CSerializer::WriteField(STXmlNode* parent, std::string_view name, std::int32_t value) {
    return WriteScalar(parent, name, value);
}
bool CSerializer::WriteField(STXmlNode* parent, std::string_view name, std::uint32_t value) {
    return WriteScalar(parent, name, value);
}
bool CSerializer::WriteField(STXmlNode* parent, std::string_view name, std::int64_t value) {
    return WriteScalar(parent, name, value);
}
bool CSerializer::WriteField(STXmlNode* parent, std::string_view name, double value) {
    return WriteScalar(parent, name, value);
}
bool CSerializer::WriteField(STXmlNode* parent, std::string_view name, std::u16string_view value) {
    return WriteScalar(parent, name, value);
}

bool CSerializer::ReadField(const STXmlNode* parent, std::string_view name, bool& value) {
    return ReadScalar(parent, name, value);
}
bool CSerializer::ReadField(const STXmlNode* parent, std::string_view name, std::uint8_t& value) {
    return ReadScalar(parent, name, value);
}
bool CSerializer::ReadField(const STXmlNode* parent, std::string_view name, std::int32_t& value) {
    return ReadScalar(parent, name, value);
}
bool CSerializer::ReadField(const STXmlNode* parent, std::string_view name, std::uint32_t& value) {
    return ReadScalar(parent, name, value);
}
bool CSerializer::ReadField(const STXmlNode* parent, std::string_view name, std::int64_t& value) {
    return ReadScalar(parent, name, value);
}
bool CSerializer::ReadField(const STXmlNode* parent, std::string_view name, double& value) {
    return ReadScalar(parent, name, value);
}
bool CSerializer::ReadField(const STXmlNode* parent, std::string_view name, std::u16string& value) {
    return ReadScalar(parent, name, value);
}

bool CSerializer::WriteItemVector(STXmlNode* parent, std::string_view name,
                                  const LedgermillItemList& items) {
    STXmlNode* container = AddContainer(parent, name, kItemVectorClass);
    if (container == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        WriteItem(*items[i], container, ItemName(i));
    }
    return true;
}

bool CSerializer::ReadItemVector(const STXmlNode* parent, std::string_view name,
                                 LedgermillItemList& items) {
    const STXmlNode* container = FindChild(parent, name);
    if (container == nullptr) {
        return false;
    }
    const FirstChildIndex first(*container);
    for (const auto& child : container->m_children) {
        auto item = std::make_unique<STLedgermillItem>();
        if (const STXmlNode* element = first.Find(child->m_strName)) {
            ReadItemElement(*element, *item);
        }
        items.push_back(std::move(item));
    }
    return true;
}

bool CSerializer::WriteSubItemMap(STXmlNode* parent, std::string_view name, const SubItemMap& map) {
    STXmlNode* container = AddContainer(parent, name, kSubItemMapClass);
    if (container == nullptr) {
        return false;
    }
    std::size_t i = 0;
    for (const auto& [key, value] : map) {
        STXmlNode* entry = AddElement(*container, ItemName(i++), "", "");
        WriteField(entry, kMapKey, std::u16string_view(key));
        WriteField(entry, kMapValue, std::u16string_view(value));
    }
    return true;
}

bool CSerializer::ReadSubItemMap(const STXmlNode* parent, std::string_view name, SubItemMap& map) {
    const STXmlNode* container = FindChild(parent, name);
    if (container == nullptr) {
        return false;
    }
    for (const auto& entry : container->m_children) {
        std::u16string key;
        std::u16string value;
        ReadField(entry.get(), kMapKey, key);
        ReadField(entry.get(), kMapValue, value);
        map.insert_or_assign(std::move(key), std::move(value));
    }
    return true;
}

bool CSerializer::WriteValueVector(STXmlNode* parent, std::string_view name,
                                   const std::vector<double>& values) {
    STXmlNode* container = AddContainer(parent, name, kValueVectorClass);
    if (container == nullptr) {
        return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        WriteField(container, ItemName(i), values[i]);
    }
    return true;
}

bool CSerializer::ReadValueVector(const STXmlNode* parent, std::string_view name,
                                  std::vector<double>& values) {
    const STXmlNode* container = FindChild(parent, name);
    if (container == nullptr) {
        return false;
    }
    const FirstChildIndex first(*container);
    values.reserve(values.size() + container->m_children.size());
    for (const auto& child : container->m_children) {
        // A child that holds no number still counts: it adds 0.0.
        double value = 0.0;
        if (const STXmlNode* element = first.Find(child->m_strName)) {
            ReadDoubleText(element->m_strText, value);
        }
        values.push_back(value);
    }
    return true;
}
