// Drop-down lists placed from their dialog-unit rectangle, whose height
// reaches down to the bottom of the opened list.
#pragma once

#include <QComboBox>

#include "dialogs/dialog_units.h"

// The closed box takes the rectangle's position and width and the height
// the style asks for; the opened list shows as many items as fit into the
// rest of the rectangle (at least one).
void PlaceDropDownList(const CDialogUnits& units, QComboBox& list, int x, int y, int width,
                       int height);

// Selects the first item whose value is value; the first item when none is.
void SelectItemByValue(QComboBox& list, qint64 value);
