// Whether a file lies in a folder or below it, for hosts that run templates written by
// others: symbolic links and ".." are resolved before the check, so neither leads out.
#pragma once

#include <string>

namespace quillet::files {

// The file `path` reaches, as a path with every link and ".." resolved, in `resolved`, when
// it lies inside `folder` (itself resolved) or below. False with `error` otherwise: "it is
// outside the folder 'F'", or the system's reason when the file or folder is not there.
// Reading `resolved` afterwards reads the file that was checked.
bool resolve_inside(const std::string& path, const std::string& folder, std::string& resolved, std::string& error);

}  // namespace quillet::files
