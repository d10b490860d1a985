// The consumer's checks, shared by its parts.
#pragma once

#include <string>

// Counts a failure and says what was expected when `ok` is false.
void Expect(bool ok, const std::string& what);

// Runs one export against the local reference host, when the package has
// it; says so otherwise. Returns what it ran, for the closing line.
std::string CheckWithLocalHost();
