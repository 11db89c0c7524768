// Which batches accept a record: decided by the presence of its keys alone.
#include "instrument/record_keys.h"
#include "model/ledgermill.h"

bool STLedgermillItem::IsValidFor(int testModel, int testMethod) const {
    const auto has = [this](std::u16string_view key) { return m_subItem.contains(key); };
    switch (testMethod) {
        case kTestMethodLeeb:
            if (!has(kKeyImpact)) {
                return false;
            }
            break;
        case kTestMethodUci:
            if (!has(kKeyForce)) {
                return false;
            }
            break;
        default:
            return false;
    }
    switch (testModel) {
        case kTestModelBatch:
            return !has(kKeyAverage);
        case kTestModelAverage:
            return has(kKeyAverage);
        default:
            return false;
    }
}
