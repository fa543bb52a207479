// The kinds table: everything the program asks about a gear kind, one row per kind in GearKind
// order. The list, the captions, the file dialogs, the data files, the editor and the command line
// all read it; a kind whose mechanism is not part of the program yet has no model factory.
#pragma once

#include "state/SimulationState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace linkwright {

class GearModel;
struct GearEnvironment;

using GearModelFactory = std::unique_ptr<GearModel> (*)(const GearEnvironment& environment);

struct GearKindRow {
    GearKind kind;
    const char* name;            // list entry, caption and file-dialog filter: "Walschaerts1"
    const char* extension;       // of its data files: "L1"
    std::int32_t fileVersion;    // the Version a data file of the kind carries
    std::size_t recordSize;      // bytes of the kind's record, the first part of its data file
    bool exactFileSize;          // a file of any other size is refused, not only a shorter one
    bool autoSetting;            // has the return-crank auto-setting
    const char* listingFileName; // the per-revolution listing in the working folder, or nullptr
    const char* editorCaption;   // "Edit Walschaert 1"
    const char* editorFormName;  // the editor form's object name: "EdWal1"
    GearModelFactory makeModel;  // nullptr while the kind is not built

    bool Built() const { return makeModel != nullptr; }
    // A data file: the record, then the stored part of the main state.
    std::size_t FileSize() const { return recordSize + StoredStateSize; }
};

// All rows, in GearKind order.
std::span<const GearKindRow, GearKindCount> GearKinds();
const GearKindRow& KindRow(GearKind kind);

// A kind by its name ("Bakers1").
std::optional<GearKind> FindGearKind(std::string_view name);
// The kind whose data files have this extension ("L3" or "l3", without the dot), as the file
// manager matches the names regardless of case.
std::optional<GearKind> FindGearKindByExtension(std::string_view extension);

} // namespace linkwright
