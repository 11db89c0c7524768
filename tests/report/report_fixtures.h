// Batches, bitmaps and a recording spreadsheet component for the report tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/ledgermill.h"
#include "report/automation.h"

// A 24-bit BMP of width × height in one colour, as the chart writes them.
inline void WriteTestBitmap(const std::string& path, std::int32_t width, std::int32_t height) {
    const std::int32_t stride = ((24 * width + 7) / 8 + 3) / 4 * 4;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
    std::string bytes(54 + imageSize, '\0');
    const auto put = [&bytes](std::size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, 54 + imageSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageSize, 4);
    for (std::int32_t row = 0; row < height; ++row)
        for (std::int32_t x = 0; x < width; ++x) put(54 + static_cast<std::size_t>(row * stride + 3 * x), 0x3080C0, 3);
    std::ofstream(path, std::ios::binary) << bytes;
}

struct STItemTexts {
    std::u16string m_strName;
    std::u16string m_strScale;
    std::u16string m_strImpactOrForce;
    std::u16string m_strDirection;
    std::u16string m_strDate;
    double m_dAverage;
};

// A batch of the method with the items, limits 440..460 in use, statistics
// updated; created 4 May 2016 10:20:30 UTC.
inline std::unique_ptr<STLedgermill> MakeBatch(std::int32_t method, const std::vector<STItemTexts>& items) {
    auto batch = std::make_unique<STLedgermill>();
    batch->m_nTestMethod = method;
    batch->m_time = 1462357230;
    batch->m_dLowerLimit = 440.0;
    batch->m_dUpperLimit = 460.0;
    for (const STItemTexts& texts : items) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem.emplace(u"NAME", texts.m_strName);
        item->m_subItem.emplace(u"HD", texts.m_strScale);
        item->m_subItem.emplace(method == kTestMethodLeeb ? u"IMPACT" : u"F", texts.m_strImpactOrForce);
        if (!texts.m_strDirection.empty()) item->m_subItem.emplace(u"DIR", texts.m_strDirection);
        item->m_subItem.emplace(u"DATE", texts.m_strDate);
        item->m_values = {texts.m_dAverage};
        item->UpdateStatistics();
        batch->AddItem(std::move(item));
    }
    batch->UpdateStatistics();
    return batch;
}

// Installs a component whose opener keeps what it was asked to open and
// answers as told; the setup before comes back when it goes.
class CRecordingComponent {
public:
    explicit CRecordingComponent(bool opens = true, ESheetKind newSheet = ESheetKind::kWorksheet) {
        STSpreadsheetSetup setup;
        setup.m_eNewWorkbookSheet = newSheet;
        setup.m_opener = [this, opens](const std::u16string& fileName, const STWorkbook& workbook) {
            m_opened.push_back(fileName);
            m_workbooks.push_back(workbook);
            return opens;
        };
        m_previous = InstallSpreadsheetSetup(std::move(setup));
    }
    ~CRecordingComponent() { InstallSpreadsheetSetup(std::move(m_previous)); }
    CRecordingComponent(const CRecordingComponent&) = delete;
    CRecordingComponent& operator=(const CRecordingComponent&) = delete;

    // The worksheet of the last workbook opened.
    const STWorksheet& Sheet() const { return *m_workbooks.back().m_sheets.front().m_pWorksheet; }

    std::vector<std::u16string> m_opened;
    std::vector<STWorkbook> m_workbooks;

private:
    STSpreadsheetSetup m_previous;
};
