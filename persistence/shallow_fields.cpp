#include "persistence/shallow_fields.h"

#include <unordered_map>

#include "persistence/batch_fields.h"
#include "persistence/field_forms.h"

namespace {

// The first child of a container bearing each child's name. A few children
// are compared directly; a long list is indexed once.
class CFirstOfName {
public:
    CFirstOfName(const CShallowTree& tree, std::size_t container)
        : m_tree(tree), m_nContainer(container) {
        if (tree.ChildCount(container) <= kDirectLimit) {
            return;
        }
        m_first.reserve(tree.ChildCount(container));
        for (std::size_t child = tree.FirstChild(container); child != CShallowTree::npos;
             child = tree.NextSibling(child)) {
            m_first.try_emplace(tree.Name(child), child);
        }
    }

    // npos for the empty name, as FindChild gives.
    std::size_t Of(std::size_t child) const {
        const std::string_view name = m_tree.Name(child);
        if (m_first.empty() || name.empty()) {
            return m_tree.FindChild(m_nContainer, name);
        }
        return m_first.find(name)->second;
    }

private:
    static constexpr std::size_t kDirectLimit = 16;
    const CShallowTree& m_tree;
    std::size_t m_nContainer;
    std::unordered_map<std::string_view, std::size_t> m_first;
};

struct STShallowFieldReader {
    const CShallowTree& m_tree;
    std::size_t m_nRecord;

    template <class Value>
    void operator()(std::string_view name, Value& value) const {
        const std::size_t field = m_tree.FindChild(m_nRecord, name);
        if (field != CShallowTree::npos) {
            ReadScalarText(m_tree.Text(field), value);
        }
    }

    void operator()(std::string_view, LedgermillItemList&) const {}

    void operator()(std::string_view name, SubItemMap& map) const {
        const std::size_t container = m_tree.FindChild(m_nRecord, name);
        if (container == CShallowTree::npos) {
            return;
        }
        for (std::size_t entry = m_tree.FirstChild(container); entry != CShallowTree::npos;
             entry = m_tree.NextSibling(entry)) {
            std::u16string key;
            std::u16string value;
            const STShallowFieldReader entryReader{m_tree, entry};
            entryReader(kMapKey, key);
            entryReader(kMapValue, value);
            map.insert_or_assign(std::move(key), std::move(value));
        }
    }

    void operator()(std::string_view name, std::vector<double>& values) const {
        const std::size_t container = m_tree.FindChild(m_nRecord, name);
        if (container == CShallowTree::npos) {
            return;
        }
        const CFirstOfName first(m_tree, container);
        values.reserve(values.size() + m_tree.ChildCount(container));
        for (std::size_t child = m_tree.FirstChild(container); child != CShallowTree::npos;
             child = m_tree.NextSibling(child)) {
            // A child that holds no number still counts: it adds 0.0.
            double value = 0.0;
            if (const std::size_t element = first.Of(child); element != CShallowTree::npos) {
                ReadScalarText(m_tree.Text(element), value);
            }
            values.push_back(value);
        }
    }
};

}  // namespace

void ReadItemFromTree(const CShallowTree& tree, STLedgermillItem& item) {
    ItemFields{}(item, STShallowFieldReader{tree, CShallowTree::kRoot});
}

void ReadBatchFieldsFromTree(const CShallowTree& tree, STLedgermill& batch) {
    BatchFields{}(batch, STShallowFieldReader{tree, CShallowTree::kRoot});
}
