// What every gear kind shares: the backlash of the valve drive, the valving words of the event record
// and the data file (the kind's record followed by the stored part of the main state).
#include "gears/GearModel.h"

#include "common/ReplacementFile.h"
#include "gears/GearKinds.h"
#include "plot/Glib1.h"
#include "windows/Dialogs.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkwright {

std::string FileNameWithoutFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::int32_t GearModel::FileVersion() const {
    return KindRow(Kind()).fileVersion;
}

const char* GearModel::ListingFileName() const {
    return KindRow(Kind()).listingFileName;
}

void DrawPinLabels(Glib1& plot, std::span<const NamedPin> pins) {
    for (const NamedPin& pin : pins) {
        plot.MoveW(pin.at.x, pin.at.y);
        plot.PlotText(pin.name);
    }
}

bool GearModel::HasAutoSetting() const {
    return KindRow(Kind()).autoSetting;
}

void GearModel::ApplyBacklash(float raw) {
    const float prev = ValvePos_;
    float out = 0;
    if (prev >= raw) {
        out = static_cast<float>(static_cast<double>(raw) + Slack);
        if (prev < out) out = prev;
    } else {
        out = static_cast<float>(static_cast<double>(raw) - Slack);
        if (prev > out) out = prev;
    }
    LinkValvePos_ = raw;
    ValvePos_ = out;
}

const RevolutionPositions& GearModel::Revolution(int Nsteps) {
    RevolutionPositions& memo = revolution_;
    // The angles and directions follow from the number of steps alone.
    const int n = std::clamp(Nsteps, 1, MaxSteps);
    if (memo.n == n) return memo;
    memo.n = n;
    memo.angles.resize(static_cast<std::size_t>(n) + 1);
    memo.cranks.resize(memo.angles.size());
    for (int k = 0; k <= n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        memo.angles[i] = static_cast<float>(static_cast<double>(k) / n * 2.0 * std::numbers::pi);
        memo.cranks[i] = CrankDirection(memo.angles[i]);
    }
    return memo;
}

void GearModel::FillValvingWords(EventRecord& events) const {
    const Valving valving = CurrentValving();
    events.PortSpacing = valving.PortSpacing;
    events.PortWidth = valving.PortWidth;
    events.BobbinSpacing = valving.BobbinSpacing;
    events.BobbinWidth = valving.BobbinWidth;
    events.PressureLimit = valving.PressureLimit;
    events.SteamChestPressure = valving.SteamChestPressure;
    events.Gamma = valving.Gamma;
    events.Clearance = valving.Clearance;
    events.ExhaustPressure = valving.ExhaustPressure;
    events.Inside = valving.Inside;
}

namespace {

// The byte ranges of the six run-time references inside the stored state: never taken from a file,
// written as zero.
struct HandleSlot {
    std::size_t offset;
    std::size_t size;
};
constexpr HandleSlot HandleSlots[] = {
    {offsetof(SimulationState, StepCrankAngleHandle), 4},
    {offsetof(SimulationState, StepPistonPctHandle), 4},
    {offsetof(SimulationState, StepValvePosHandle), 4},
    {offsetof(SimulationState, FamilyFrontPressureHandle), 4},
    {offsetof(SimulationState, FamilyRearPressureHandle), 4},
    {offsetof(SimulationState, FamilyEventsHandle), 4},
};

// A loaded state's values that index arrays are brought into their ranges; everything else is kept
// as the file has it (the settings are reset right after every load anyway).
void SanitiseLoadedState(SimulationState& state) {
    state.FamilyCount = std::clamp(state.FamilyCount, 0, FamilySize);
    state.FamilyMode = state.FamilyMode != 0 ? 1 : 0;
    // The eight event steps (words 4..11) are -1 or an entry of the step arrays.
    auto* const bytes = reinterpret_cast<std::uint8_t*>(&state);
    const std::size_t first = offsetof(SimulationState, Events) + offsetof(EventRecord, tson);
    for (std::size_t word = 0; word < 8; ++word) {
        std::int32_t step = 0;
        std::memcpy(&step, bytes + first + 4 * word, sizeof step);
        if (step < -1 || step > MaxSteps) step = -1;
        std::memcpy(bytes + first + 4 * word, &step, sizeof step);
    }
}

} // namespace

SaveResult GearModel::SaveGearFile(const std::string& fileName) {
    const std::filesystem::path target(fileName);
    std::error_code error;
    if (std::filesystem::exists(target, error) &&
        !env_.dialogs.WarningOkCancel("Do you really want to overwrite " + FileNameWithoutFolder(fileName) +
                                      "?"))
        return SaveResult::Abandoned;

    const std::span<std::uint8_t> record = RecordBytes();
    std::vector<std::uint8_t> bytes(record.size() + StoredStateSize);
    std::memcpy(bytes.data(), record.data(), record.size());
    const std::int32_t version = FileVersion();
    std::memcpy(bytes.data(), &version, sizeof version);
    std::uint8_t* const state = bytes.data() + record.size();
    std::memcpy(state, &env_.state, StoredStateSize);
    for (const HandleSlot& slot : HandleSlots)
        std::memset(state + slot.offset, 0, slot.size);

    // The old file stays whole until the new one is complete and on the disk.
    ReplaceFileContents(target, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                        Durability::Synced);
    return SaveResult::Saved;
}

LoadResult GearModel::LoadGearFile(const std::string& fileName) {
    const std::span<std::uint8_t> record = RecordBytes();
    std::vector<std::uint8_t> bytes(record.size() + StoredStateSize);
    // Only a plain file is read: a pipe or a device would block or never end, and a folder is no
    // data file. Opening does not wait for a pipe's writer.
    std::size_t got = 0;
    const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    if (descriptor >= 0 && ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        const auto size = static_cast<std::size_t>(status.st_size);
        // A kind whose files another kind's longer file could pass for takes only its own size.
        const bool sizeFits = KindRow(Kind()).exactFileSize ? size == bytes.size() : size >= bytes.size();
        while (sizeFits && got < bytes.size()) {
            const ssize_t read = ::read(descriptor, bytes.data() + got, bytes.size() - got);
            if (read < 0 && errno == EINTR) continue;
            if (read <= 0) break;
            got += static_cast<std::size_t>(read);
        }
    }
    if (descriptor >= 0) ::close(descriptor);
    std::int32_t version = 0;
    if (got == bytes.size()) std::memcpy(&version, bytes.data(), sizeof version);
    if (got != bytes.size() || version != FileVersion()) {
        env_.dialogs.Information("Sorry, old version or corrupted data file");
        return LoadResult::Refused;
    }

    // A record whose dimensions are not all numbers would carry NaN into every output: the file is
    // refused and the record left as it was.
    const std::vector<std::uint8_t> previous(record.begin(), record.end());
    std::memcpy(record.data(), bytes.data(), record.size());
    if (!RecordHoldsNumbers()) {
        std::memcpy(record.data(), previous.data(), record.size());
        env_.dialogs.Information("Sorry, old version or corrupted data file");
        return LoadResult::Refused;
    }
    // The run-time references keep their current values: the stored ones are copied back over.
    std::uint8_t* const loaded = bytes.data() + record.size();
    const auto* const current = reinterpret_cast<const std::uint8_t*>(&env_.state);
    for (const HandleSlot& slot : HandleSlots)
        std::memcpy(loaded + slot.offset, current + slot.offset, slot.size);
    std::memcpy(&env_.state, loaded, StoredStateSize);
    SanitiseLoadedState(env_.state);
    return LoadResult::Loaded;
}

} // namespace linkwright
