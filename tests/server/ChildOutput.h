#pragma once
// Runs a short-lived program (searched in PATH), feeding it text on stdin.
#include <optional>
#include <string>
#include <vector>

namespace zorv::server::test {

// What the program wrote to stdout when it exited with code 0; nothing when it
// could not be started or failed.
std::optional<std::string> RunWithInput(const std::vector<std::string>& argv, const std::string& input);

// Whether a program of that name is found in PATH.
bool ProgramExists(const std::string& name);

}  // namespace zorv::server::test
