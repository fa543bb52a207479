// libFuzzer's entry: the gear pipeline on every input, in a scratch working folder of its own.
#include "fuzz/GearPipeline.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

std::filesystem::path ScratchFolder;

// At a normal end the scratch folder goes; after a finding it stays, to be looked at.
void RemoveScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(ScratchFolder.parent_path(), ignored);
    std::filesystem::remove_all(ScratchFolder, ignored);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string dir = (std::filesystem::temp_directory_path() / "linkwright-fuzz-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    ScratchFolder = dir;
    std::filesystem::current_path(dir);
    std::atexit(RemoveScratchFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    linkwright::fuzzing::RunGearPipeline(std::span<const std::uint8_t>(data, size));
    return 0;
}
