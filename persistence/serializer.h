// The serialization archive of the settings and batch files: a document
// whose root "SerializationObject" holds one element per record, one child
// element per field, each scalar field's type named by its class attribute.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/ledgermill_item.h"
#include "persistence/xml_node.h"

inline constexpr std::string_view kRootName = "SerializationObject";
inline constexpr std::string_view kClassAttribute = "class";

class CSerializer {
public:
    // Loads the file; true only when it could be read and its first element
    // is named exactly "SerializationObject". failure, when given, says why
    // a file could not be read.
    bool OpenForRead(const std::string& path, std::string* failure = nullptr);
    // Starts a new document holding an empty root.
    void OpenForWrite();
    // Writes the whole document; false when the file could not be replaced.
    bool SaveFile(const std::string& path) const;
    STXmlNode* GetRoot() const { return m_pRoot; }

    // Record element: a child of parent named name, class className.
    static STXmlNode* WriteRecord(STXmlNode* parent, std::string_view name,
                                  std::string_view className);

    // Scalar fields. Each writer appends a child of parent named name with
    // the value's text and class; each reader reads the first child of that
    // name and returns false, leaving value alone, when there is none. A text
    // that holds no value of the type leaves value alone too. The C++ type
    // decides the form: std::uint8_t is "unsigned char", std::uint32_t
    // "unsigned long", std::int64_t "time_t", std::u16string "std::wstring".
    static bool WriteField(STXmlNode* parent, std::string_view name, bool value);
    static bool WriteField(STXmlNode* parent, std::string_view name, std::uint8_t value);
    static bool WriteField(STXmlNode* parent, std::string_view name, std::int32_t value);
    static bool WriteField(STXmlNode* parent, std::string_view name, std::uint32_t value);
    static bool WriteField(STXmlNode* parent, std::string_view name, std::int64_t value);
    static bool WriteField(STXmlNode* parent, std::string_view name, double value);
    static bool WriteField(STXmlNode* parent, std::string_view name, std::u16string_view value);
    static bool ReadField(const STXmlNode* parent, std::string_view name, bool& value);
    static bool ReadField(const STXmlNode* parent, std::string_view name, std::uint8_t& value);
    static bool ReadField(const STXmlNode* parent, std::string_view name, std::int32_t& value);
    static bool ReadField(const STXmlNode* parent, std::string_view name, std::uint32_t& value);
    static bool ReadField(const STXmlNode* parent, std::string_view name, std::int64_t& value);
    static bool ReadField(const STXmlNode* parent, std::string_view name, double& value);
    static bool ReadField(const STXmlNode* parent, std::string_view name, std::u16string& value);

    // Containers: children named item0, item1, ... Readers append to the
    // target and read every child of the container, whatever its name, each
    // from the first child bearing its name.
    static bool WriteItemVector(STXmlNode* parent, std::string_view name,
                                const LedgermillItemList& items);
    static bool ReadItemVector(const STXmlNode* parent, std::string_view name,
                               LedgermillItemList& items);
    static bool WriteSubItemMap(STXmlNode* parent, std::string_view name, const SubItemMap& map);
    static bool ReadSubItemMap(const STXmlNode* parent, std::string_view name, SubItemMap& map);
    static bool WriteValueVector(STXmlNode* parent, std::string_view name,
                                 const std::vector<double>& values);
    static bool ReadValueVector(const STXmlNode* parent, std::string_view name,
                                std::vector<double>& values);

private:
    XmlDocument m_document;
    STXmlNode* m_pRoot = nullptr;
};

// Adapters that let one list of a record's fields serve writing and reading:
// field(name, member) for every field, in file order.
struct SerializerFieldWriter {
    STXmlNode* m_pRecord;

    template <class Value>
    void operator()(std::string_view name, const Value& value) const {
        CSerializer::WriteField(m_pRecord, name, value);
    }
    void operator()(std::string_view name, const std::u16string& value) const {
        CSerializer::WriteField(m_pRecord, name, std::u16string_view(value));
    }
    void operator()(std::string_view name, const LedgermillItemList& items) const {
        CSerializer::WriteItemVector(m_pRecord, name, items);
    }
    void operator()(std::string_view name, const SubItemMap& map) const {
        CSerializer::WriteSubItemMap(m_pRecord, name, map);
    }
    void operator()(std::string_view name, const std::vector<double>& values) const {
        CSerializer::WriteValueVector(m_pRecord, name, values);
    }
};

struct SerializerFieldReader {
    const STXmlNode* m_pRecord;

    template <class Value>
    void operator()(std::string_view name, Value& value) const {
        CSerializer::ReadField(m_pRecord, name, value);
    }
    void operator()(std::string_view name, LedgermillItemList& items) const {
        CSerializer::ReadItemVector(m_pRecord, name, items);
    }
    void operator()(std::string_view name, SubItemMap& map) const {
        CSerializer::ReadSubItemMap(m_pRecord, name, map);
    }
    void operator()(std::string_view name, std::vector<double>& values) const {
        CSerializer::ReadValueVector(m_pRecord, name, values);
    }
};

// The record writer and reader shared by every record type. Fields is a
// functor calling field(name, member) for every field of the record in file
// order; the record is const when written.
template <class Record, class Fields>
void WriteRecordElement(const Record& record, STXmlNode* parent, std::string_view name,
                        std::string_view className, Fields fields) {
    fields(record, SerializerFieldWriter{CSerializer::WriteRecord(parent, name, className)});
}

template <class Record, class Fields>
bool ReadRecordElement(const STXmlNode* parent, std::string_view name, Record& record,
                       Fields fields) {
    const STXmlNode* element = FindChild(parent, name);
    if (element == nullptr) {
        return false;
    }
    fields(record, SerializerFieldReader{element});
    return true;
}
