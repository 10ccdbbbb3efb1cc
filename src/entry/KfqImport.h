// The imports of the enterprise window: "数据追加" of its three tables and "数据入库" of a submitted enterprise
// disk after the report-number check of TF_bhcl. The window's tool-button handlers call these.
#pragma once

#include <vector>

#include "entry/Import.h"

class TF_kfq;

// The enterprise window's tables as import targets: 0 kfq_1.db, 1 kfq_2.db, 2 kfq_5.db.
std::vector<ImportPosition> KfqImportPositions();

// "数据追加" (ToolButton9Click).
void KfqAppendData(TF_kfq& window);

// "数据入库" (ToolButton11Click): the submitted kfq_1.db is chosen in F_main->OpenDialog1, TF_bhcl copies the
// three tables to "tmp\" and checks the report numbers, and only a passed check imports the copies. The copies
// are deleted and the dialog and the cover page restored whatever happened.
void KfqImportDisk(TF_kfq& window);
