#include "report/fill_workbook.h"

#include <algorithm>
#include <new>
#include <string>

#include "common/number_text.h"
#include "common/time_text.h"
#include "instrument/capability.h"
#include "instrument/direction_label.h"
#include "instrument/record_keys.h"
#include "persistence/setting.h"
#include "report/automation.h"
#include "report/capability_sheet.h"
#include "report/cell_ops.h"

namespace {

constexpr std::u16string_view kFace = u"Times New Roman";
constexpr std::int32_t kDefaultColor = 0;
constexpr std::int32_t kRed = 255;
constexpr int kDateSelector = 1;
constexpr std::u16string_view kLimitNotUsed = u"not used";
// What a report stopped on request ends with.
constexpr AutomationCode kEAbort = 0x80004004;

// Rows of the sheet, from the number of items n.
constexpr std::int32_t kTableHeaderRow = 8;
constexpr std::int32_t kFirstItemRow = 9;
constexpr std::int32_t kPictureRows = 16;

std::u16string SubText(const STLedgermillItem& item, std::u16string_view key) {
    const auto found = item.m_subItem.find(key);
    return found == item.m_subItem.end() ? std::u16string() : found->second;
}

// Writes one batch's sheet; every step names the rows it fills.
class CReportSheet {
public:
    CReportSheet(CWorksheetPtr sheet, const STLedgermill& batch, const STFillControl& control)
        : m_sheet(std::move(sheet)),
          m_batch(batch),
          m_control(control),
          m_nItems(static_cast<std::int32_t>(std::min<std::size_t>(batch.m_itemVector.size(), kSheetRows))) {}

    void WriteHeaderBlock();
    void WriteTableHeader();
    void WriteItemRows();
    void WriteSummary();
    void FitColumns();
    void InsertPicture(const std::u16string& bitmap);
    void DrawBorders();

private:
    std::int32_t PictureTop() const { return kFirstItemRow + m_nItems; }
    std::int32_t PictureBottom() const { return PictureTop() + kPictureRows - 1; }
    std::int32_t SummaryRow() const { return PictureBottom() + 2; }
    std::int32_t LastRow() const { return SummaryRow() + 2; }

    void Put(std::int32_t row, std::string_view letters, std::u16string_view text, std::int32_t alignment,
             std::int32_t color = kDefaultColor) {
        WriteCell(m_sheet, row, letters, text, alignment, color, kFace);
    }
    void Merge(std::int32_t row, std::string_view first, std::string_view last) {
        MergeRange(m_sheet, row, first, row, last);
    }
    void WriteItemRow(std::int32_t row, std::int32_t number, const STLedgermillItem& item);
    std::u16string LimitText(double limit) const {
        return m_batch.m_bUseLimit ? DoubleToText(limit) : std::u16string(kLimitNotUsed);
    }

    CWorksheetPtr m_sheet;
    const STLedgermill& m_batch;
    const STFillControl& m_control;
    std::int32_t m_nItems;
};

void CReportSheet::WriteHeaderBlock() {
    Merge(1, "A", "I");
    Put(1, "A", g_stSetting.m_strTitleOne, kXlCenter);
    Merge(2, "A", "I");
    Put(2, "A", g_stSetting.m_strTitleTwo, kXlCenter);

    Put(3, "A", u"Department:", kXlRight);
    Merge(3, "B", "E");
    Put(3, "B", g_stSetting.m_strDepartment, kXlLeft);
    Put(3, "F", u"Date:", kXlRight);
    Merge(3, "G", "I");
    Put(3, "G", FormatTime(kDateSelector, m_batch.m_time), kXlLeft);

    Put(4, "A", u"Specimen:", kXlRight);
    Merge(4, "B", "E");
    Put(4, "B", g_stSetting.m_strSpecimen, kXlLeft);
    Put(4, "F", u"Operator:", kXlRight);
    Merge(4, "G", "I");
    Put(4, "G", g_stSetting.m_strOperator, kXlLeft);

    MergeRange(m_sheet, 5, "A", 6, "A");
    Put(5, "A", u"Parameters:", kXlRight);
    Put(5, "B", u"Lower Limit", kXlCenter);
    Put(5, "C", u"Upper Limit", kXlCenter);
    Put(5, "D", u"Sampling Rate", kXlCenter);
    Put(5, "E", u"Quantity", kXlCenter);
    Put(5, "F", u"Test Model", kXlCenter);
    Put(5, "G", u"Test Method", kXlCenter);

    // The limits the NG/Pass column judges by, not the settings' defaults.
    Put(6, "B", LimitText(m_batch.m_dLowerLimit), kXlCenter);
    Put(6, "C", LimitText(m_batch.m_dUpperLimit), kXlCenter);
    Put(6, "D", DoubleToText(g_stSetting.m_dSamplingRate) + u"%", kXlCenter);
    Put(6, "E", IntToText(m_nItems), kXlCenter);
    Put(6, "F", m_batch.m_nTestModel == kTestModelBatch ? u"Batch" : u"Average", kXlCenter);
    Put(6, "G", m_batch.m_nTestMethod == kTestMethodUci ? u"UCI" : u"Leeb", kXlCenter);

    Merge(7, "A", "I");
}

void CReportSheet::WriteTableHeader() {
    const std::int32_t row = kTableHeaderRow;
    const bool leeb = m_batch.m_nTestMethod == kTestMethodLeeb;
    Put(row, "A", u"S/N", kXlCenter);
    Put(row, "B", u"NAME", kXlCenter);
    Put(row, "C", u"HD SCALE", kXlCenter);
    if (leeb) {
        Put(row, "D", u"IMPACT", kXlCenter);
        Put(row, "E", u"DIR", kXlCenter);
        Put(row, "F", u"VALUE", kXlCenter);
    } else {
        Put(row, "D", u"FORCE", kXlCenter);
        Merge(row, "E", "F");
        Put(row, "E", u"VALUE", kXlCenter);
    }
    Merge(row, "G", "H");
    Put(row, "G", u"DATE", kXlCenter);
    Put(row, "I", u"NG/Pass", kXlCenter, kRed);
}

void CReportSheet::WriteItemRows() {
    for (std::int32_t index = 0; index < m_nItems; ++index) {
        if (m_control.m_pCancel != nullptr && *m_control.m_pCancel) throw CAutomationError(kEAbort);
        WriteItemRow(kFirstItemRow + index, index + 1, *m_batch.m_itemVector[static_cast<std::size_t>(index)]);
        if (m_control.m_pRowsDone != nullptr) ++*m_control.m_pRowsDone;
    }
}

void CReportSheet::WriteItemRow(std::int32_t row, std::int32_t number, const STLedgermillItem& item) {
    const bool pass = m_batch.IsPass(item);
    const std::int32_t color = pass ? kDefaultColor : kRed;
    Put(row, "A", IntToText(number), kXlCenter, color);
    Put(row, "B", SubText(item, kKeyName), kXlCenter, color);
    Put(row, "C", SubText(item, kKeyHardnessScale), kXlCenter, color);
    if (m_batch.m_nTestMethod == kTestMethodLeeb) {
        Put(row, "D", SubText(item, kKeyImpact), kXlCenter, color);
        const auto direction = item.m_subItem.find(kKeyDirection);
        Put(row, "E", direction == item.m_subItem.end() ? u"" : DirectionLabel(direction->second), kXlCenter,
            color);
        Put(row, "F", DoubleToText(item.m_dAverage), kXlCenter, color);
    } else if (m_batch.m_nTestMethod == kTestMethodUci) {
        Put(row, "D", SubText(item, kKeyForce), kXlCenter, color);
        Merge(row, "E", "F");
        Put(row, "E", DoubleToText(item.m_dAverage), kXlCenter, color);
    }
    Merge(row, "G", "H");
    Put(row, "G", SubText(item, kKeyDate), kXlCenter, color);
    Put(row, "I", pass ? u"Pass" : u"NG", kXlCenter, color);
}

void CReportSheet::WriteSummary() {
    Merge(PictureBottom() + 1, "A", "I");
    const std::int32_t labels = SummaryRow();
    Put(labels, "A", u"Total", kXlCenter);
    Put(labels, "B", u"Average", kXlCenter);
    Put(labels, "C", u"Min", kXlCenter);
    Put(labels, "D", u"Max", kXlCenter);
    Put(labels, "E", u"Deviation", kXlCenter);
    const std::int32_t values = labels + 1;
    Put(values, "A", IntToText(m_nItems), kXlCenter);
    Put(values, "B", DoubleToText(m_batch.m_dAverage), kXlCenter);
    Put(values, "C", DoubleToText(m_batch.m_dMin), kXlCenter);
    Put(values, "D", DoubleToText(m_batch.m_dMax), kXlCenter);
    Put(values, "E", DoubleToText(m_batch.m_dStandardDeviation), kXlCenter);
    // Statistics over items of several scales mix units; only such a batch
    // says so, every other report keeps these cells empty.
    const std::u16string mixed = MixedScalesText(ComputeCapability(m_batch));
    if (!mixed.empty()) {
        Merge(values, "F", "I");
        Put(values, "F", mixed, kXlCenter);
    }
    Merge(LastRow(), "A", "I");
}

void CReportSheet::FitColumns() {
    m_sheet->GetCells()->GetEntireColumn()->AutoFit();
}

// The picture block is merged and measured after the columns are fitted, so
// the picture covers it exactly; it is stretched, not kept in proportion.
void CReportSheet::InsertPicture(const std::u16string& bitmap) {
    CRangePtr block = m_sheet->GetRange(CellAddressOf("A", PictureTop()), CellAddressOf("I", PictureBottom()));
    block->Merge();
    const auto left = static_cast<float>(block->GetLeft());
    const auto top = static_cast<float>(block->GetTop());
    const auto width = static_cast<float>(block->GetWidth());
    const auto height = static_cast<float>(block->GetHeight());
    m_sheet->GetShapes()->AddPicture(bitmap, kMsoFalse, kMsoTrue, left, top, width, height);
}

void CReportSheet::DrawBorders() {
    for (std::int32_t row = 1; row <= LastRow(); ++row) {
        for (char letter = 'A'; letter <= 'I'; ++letter) {
            const std::string cell = CellAddressOf(std::string_view(&letter, 1), row);
            m_sheet->GetRange(cell)->BorderAround(kXlContinuous, kXlThin, kXlColorIndexAutomatic);
        }
    }
}

EFillResult ResultOf(AutomationCode code) {
    if (code == kStgECantSave || code == kStgEFileAlreadyExists)
        return EFillResult::kNotSaved;
    if (code == kCoEAppNotFound) return EFillResult::kNotOpened;
    if (code == kEAbort) return EFillResult::kCancelled;
    return EFillResult::kStopped;
}

}  // namespace

EFillResult FillWorkbook(const STLedgermill& batch, const STReportFiles& files, const STFillControl& control) {
    CApplicationPtr application;
    try {
        CreateApplication(application, kSpreadsheetProgId);
        application->PutVisible(false);
        CWorkbookPtr workbook = application->GetWorkbooks()->Add(kXlWBATWorksheet);
        CWorksheetPtr worksheet;
        QueryWorksheet(application->GetActiveSheet(), worksheet);

        CReportSheet sheet(worksheet, batch, control);
        sheet.WriteHeaderBlock();
        sheet.WriteTableHeader();
        sheet.WriteItemRows();
        sheet.WriteSummary();
        sheet.FitColumns();
        sheet.InsertPicture(files.m_strBitmap);
        sheet.DrawBorders();

        // The capability sheet follows; the report opens on the first one.
        CWorksheetsPtr worksheets = workbook->GetWorksheets();
        WriteCapabilitySheet(worksheets->Add(), batch);
        worksheets->GetItem(1)->Activate();

        workbook->SaveAs(files.m_strWorkbook, ESaveConflict::kRefuse);
        application->PutVisible(true);
        return EFillResult::kFilled;
    } catch (const CAutomationError& error) {
        application.Release();
        return ResultOf(error.Code());
    } catch (const std::bad_alloc&) {
        application.Release();
        return EFillResult::kStopped;
    }
}
