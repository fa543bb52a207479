// The events table of designs side by side, and its CSV text.
#include "tuning/EventsTable.h"

#include "common/NumberFormat.h"

#include <cmath>
#include <functional>

namespace linkwright {

namespace {

// A figure of a revolution that could not be solved may be no number: its cell stays empty, and
// the design's events column says why.
std::string Number(double x, int decimals) {
    return std::isfinite(x) ? F(x, 1, decimals) : std::string();
}

struct Quantity {
    const char* heading;
    bool percent;
    std::function<double(const PointEvents&, const EndEvents&)> value;
};

} // namespace

EventsTable CompareEvents(const std::vector<std::string>& names,
                          const std::vector<std::vector<PointEvents>>& designs, int decimals) {
    const std::vector<Quantity> quantities = {
        {"Cut-off %", true, [](const PointEvents&, const EndEvents& e) { return e.cutoffPct; }},
        {"Cut-off % interpolated", true,
         [](const PointEvents&, const EndEvents& e) { return e.cutoffExactPct; }},
        {"Lead", false, [](const PointEvents&, const EndEvents& e) { return e.lead; }},
        {"Release %", true, [](const PointEvents&, const EndEvents& e) { return e.releasePct; }},
        {"Compression %", true, [](const PointEvents&, const EndEvents& e) { return e.compressionPct; }},
        {"Travel", false, [](const PointEvents& p, const EndEvents&) { return p.valveTravel; }},
    };
    EventsTable table;
    table.columns = {"Setting", "Direction", "End"};
    for (const Quantity& quantity : quantities)
        for (const std::string& name : names)
            table.columns.push_back(std::string(quantity.heading) + " " + name);
    for (const std::string& name : names)
        table.columns.push_back("Events " + name);

    const std::size_t points = designs.empty() ? 0 : designs.front().size();
    for (std::size_t p = 0; p < points; ++p) {
        for (const bool front : {true, false}) {
            const PointEvents& first = designs.front()[p];
            std::vector<std::string> row = {F(first.point.setting, 1, 2),
                                            first.point.forward ? "forward" : "backward",
                                            front ? "front" : "rear"};
            for (const Quantity& quantity : quantities)
                for (const std::vector<PointEvents>& design : designs) {
                    const PointEvents& events = design[p];
                    row.push_back(Number(quantity.value(events, front ? events.front : events.rear),
                                         quantity.percent ? 1 : decimals));
                }
            for (const std::vector<PointEvents>& design : designs)
                row.push_back(design[p].proper ? "proper" : design[p].problem);
            table.rows.push_back(std::move(row));
        }
    }
    return table;
}

namespace {

void AppendCsvField(std::string& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        AppendCsvField(out, fields[i]);
    }
    out += '\n';
}

} // namespace

std::string EventsTableCsv(const EventsTable& table) {
    std::string out;
    AppendCsvLine(out, table.columns);
    for (const std::vector<std::string>& row : table.rows)
        AppendCsvLine(out, row);
    return out;
}

} // namespace linkwright
