// A record's fields read from a shallow tree by the rules of CSerializer's
// readers: a field is the first child of its name, a container reads every
// child, each value "from the first child bearing its name", and a text that
// holds no value leaves the field as it was.
#pragma once

#include "model/ledgermill.h"
#include "persistence/shallow_tree.h"

// The fields of the item element at the tree's root.
void ReadItemFromTree(const CShallowTree& tree, STLedgermillItem& item);

// The scalar fields of the batch element at the tree's root; its items are
// left alone (the streaming reader reads them one at a time).
void ReadBatchFieldsFromTree(const CShallowTree& tree, STLedgermill& batch);
