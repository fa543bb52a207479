// The events table of one or more designs side by side: for each operating point and cylinder end
// the cut-off, lead, release, compression and valve travel, as the tuner's dialog, the comparison
// window and linkwright-cli compare show and write it.
#pragma once

#include "tuning/GearDesign.h"

#include <string>
#include <vector>

namespace linkwright {

struct EventsTable {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

// `designs[d]` holds design d's events at the same points in the same order; `names[d]` heads its
// columns. Percentages have one decimal as the summary listing prints them, lengths `decimals`.
EventsTable CompareEvents(const std::vector<std::string>& names,
                          const std::vector<std::vector<PointEvents>>& designs, int decimals = 4);

// The table as CSV: a header line of the columns, then a line per row; a field holding a comma, a
// quote or a line end is quoted.
std::string EventsTableCsv(const EventsTable& table);

} // namespace linkwright
