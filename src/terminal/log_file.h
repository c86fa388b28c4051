// Appending to a log file that is opened and closed for every write, so the user can read,
// move or clear it between writes.
#pragma once

#include <string>
#include <string_view>

namespace korvani::terminal {

// Appends `text` as it is (no line end added), creating the file when missing.
// Returns false when the file cannot be opened or written.
bool AppendToFile(const std::string& path, std::string_view text);

}  // namespace korvani::terminal
