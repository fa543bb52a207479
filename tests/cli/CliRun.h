// Running linkwright-cli as a user would, for the tests of the commands: in a folder, with the
// arguments as a shell would take them, its status and both output streams kept.
#pragma once

#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace linkwright::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliResult RunCliIn(const std::filesystem::path& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.string() + "' && timeout 120 '" LINKWRIGHT_CLI_PATH "' " +
                                arguments + " > cli-stdout.txt 2> cli-stderr.txt";
    CliResult run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadTextFile(dir / "cli-stdout.txt");
    run.err = ReadTextFile(dir / "cli-stderr.txt");
    return run;
}

} // namespace linkwright::testing
