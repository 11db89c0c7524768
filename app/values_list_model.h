// The values list: the readings of the selected record of an Average batch.
#pragma once

#include "app/report_list_model.h"
#include "model/ledgermill_item.h"

class CValuesListModel : public CReportListModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    // The item's readings; no rows for null.
    void Show(const STLedgermillItem* item);

protected:
    QString CellText(int row, int column) const override;

private:
    const STLedgermillItem* m_pItem = nullptr;
};
