// The rows of the kinds table. Adding a kind is its folder plus its row here.
#include "gears/GearKinds.h"

#include "gears/GearModel.h"
#include "gears/bak1/Bak1.h"
#include "gears/ste1/Ste1.h"
#include "gears/ste2/Ste2.h"
#include "gears/wal1/Wal1.h"
#include "gears/wal2/Wal2.h"

#include <algorithm>

namespace linkwright {

namespace {

template <typename Model> std::unique_ptr<GearModel> Make(const GearEnvironment& environment) {
    return std::make_unique<Model>(environment);
}

const std::array<GearKindRow, GearKindCount> Rows = {{
    {GearKind::Walschaerts1, "Walschaerts1", "L1", 2, sizeof(Wal1Record), false, true, "Wal1Output.txt",
     "Edit Walschaert 1", "EdWal1", &Make<Wal1>},
    {GearKind::Stephensons1, "Stephensons1", "L2", 1, sizeof(Ste1Record), true, false, nullptr,
     "Edit Stephenson1", "EdSte1", &Make<Ste1>},
    {GearKind::Bakers1, "Bakers1", "L3", 1, sizeof(Bak1Record), false, false, nullptr, "Edit Baker 1",
     "EdBak1", &Make<Bak1>},
    {GearKind::Walschaerts2, "Walschaerts2", "L4", 1, sizeof(Wal2Record), false, true, "Wal2Output.txt",
     "Edit Walschaert 2", "EdWal2", &Make<Wal2>},
    {GearKind::Stephensons2, "Stephensons2", "L5", 1, sizeof(Ste2Record), true, false, nullptr,
     "Edit Stephenson2", "EdSte2", &Make<Ste2>},
}};

} // namespace

std::span<const GearKindRow, GearKindCount> GearKinds() {
    return std::span<const GearKindRow, GearKindCount>(Rows);
}

const GearKindRow& KindRow(GearKind kind) {
    return Rows.at(static_cast<std::size_t>(kind));
}

std::optional<GearKind> FindGearKind(std::string_view name) {
    for (const GearKindRow& row : Rows)
        if (name == row.name) return row.kind;
    return std::nullopt;
}

std::optional<GearKind> FindGearKindByExtension(std::string_view extension) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const GearKindRow& row : Rows) {
        const std::string_view own = row.extension;
        if (own.size() == extension.size() &&
            std::equal(own.begin(), own.end(), extension.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return row.kind;
    }
    return std::nullopt;
}

} // namespace linkwright
