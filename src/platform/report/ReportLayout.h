// Lays a banded report out into pages: the page header (on the first page only with FirstPageHeader), the
// title once, the column header on every page, one detail band per record flowing over pages, the summary,
// and the page footer at the foot of every page (on the last only with LastPageFooter). A word-wrapped text
// grows its band; shapes that span a band's height grow with it.
#pragma once

#include "platform/report/PageModel.h"

class TQuickRep;

namespace report {

// Reads the report's data set from its first record; an empty data set gives no pages unless the report
// prints when empty. Raises what reading the data raises.
Document layoutReport(TQuickRep& rep);

}  // namespace report
