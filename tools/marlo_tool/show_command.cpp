// show: a batch file as one JSON object.
#include <iostream>
#include <nlohmann/json.hpp>

#include "common/file_bytes.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "instrument/capability.h"
#include "persistence/batch_file_reader.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"

namespace {

// Keeps the keys in the order they are added. Doubles are dumped in their
// shortest round-trip form, NaN and infinities as null.
using Json = nlohmann::ordered_json;

Json ItemJson(const STLedgermill& batch, const STLedgermillItem& item) {
    Json fields = Json::object();
    for (const auto& [key, text] : item.m_subItem) {
        fields[Utf16ToUtf8(key)] = Utf16ToUtf8(text);
    }
    return {
        {"fields", std::move(fields)}, {"values", item.m_values},
        {"max", item.m_dMax},          {"min", item.m_dMin},
        {"average", item.m_dAverage},  {"standardDeviation", item.m_dStandardDeviation},
        {"pass", batch.IsPass(item)},
    };
}

Json OptionalJson(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

// Beside the statistics: null, or "mixed scales: HRC, HV" for a batch whose
// items were measured in more than one scale.
Json MixedScalesJson(const STCapability& capability) {
    return capability.HasMixedScales() ? Json(Utf16ToUtf8(MixedScalesText(capability))) : Json(nullptr);
}

Json CapabilityJson(const STCapability& capability) {
    return {{"cp", OptionalJson(capability.m_oCp)},
            {"cpk", OptionalJson(capability.m_oCpk)},
            {"passRate", OptionalJson(capability.m_oPassRate)},
            {"ng", capability.m_nNg}};
}

Json BatchJson(const STLedgermill& batch) {
    const STCapability capability = ComputeCapability(batch);
    Json items = Json::array();
    for (const auto& item : batch.m_itemVector) {
        items.push_back(ItemJson(batch, *item));
    }
    return {{"key", Utf16ToUtf8(FormatTime(0, batch.m_time))},
            {"time", batch.m_time},
            {"model", batch.m_nTestModel},
            {"method", batch.m_nTestMethod},
            {"upperLimit", batch.m_dUpperLimit},
            {"lowerLimit", batch.m_dLowerLimit},
            {"useLimit", batch.m_bUseLimit},
            {"max", batch.m_dMax},
            {"min", batch.m_dMin},
            {"average", batch.m_dAverage},
            {"standardDeviation", batch.m_dStandardDeviation},
            {"mixedScales", MixedScalesJson(capability)},
            {"capability", CapabilityJson(capability)},
            {"items", std::move(items)}};
}

}  // namespace

bool LoadBatch(const std::string& path, STLedgermill& batch) {
    // An archive without a batch shows as a new, empty batch.
    std::string failure;
    STBatchLoadOptions options;
    options.m_pFailure = &failure;
    const auto load = [&] {
        if (!IsStandardStream(path)) return LoadBatchFile(path, batch, options);
        std::string bytes;
        if (!ReadStandardInput(bytes, &failure)) return EBatchLoadResult::kNotArchive;
        return LoadBatchBytes(bytes, batch, options);
    };
    if (load() != EBatchLoadResult::kLoaded) {
        std::cerr << "Load Failed." << (failure.empty() ? "" : " " + failure) << '\n';
        return false;
    }
    return true;
}

int RunShow(Arguments arguments) {
    if (arguments.size() != 1 || IsOption(arguments[0])) {
        ReportUsageError("give one batch file", kShowUsage);
        return kExitUsage;
    }
    STLedgermill batch;
    if (!LoadBatch(std::string(arguments[0]), batch)) {
        return kExitFailure;
    }
    return ShowBatch(batch);
}

int ShowBatch(const STLedgermill& batch) {
    // Texts from a damaged file need not be UTF-8 after conversion; replacing
    // what is not keeps dump from throwing.
    const std::string text =
        BatchJson(batch).dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
    return WriteStandardOutput(text);
}
