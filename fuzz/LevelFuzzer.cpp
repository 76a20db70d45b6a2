// libFuzzer entry: arbitrary bytes as the three level files, through the real loader and rules.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "LevelInput.h"

namespace {

std::filesystem::path FuzzDirectory() {
    // Memory-backed when available: every input is written to disk and read back.
    const std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::filesystem::path directory = base / ("vornak-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    return directory;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path directory = FuzzDirectory();
    vornak::fuzzing::RunLevelInput(data, size, directory);
    return 0;
}
