#pragma once

#include <string>

// The file a path names, with links and "." / ".." resolved as far as they exist; the path as
// given when that fails.
std::string CanonicalPath(const std::string& path);

// Sixteen hex digits that stand for a path's canonical form in the names of files kept
// elsewhere (journals, restore points): the same file gets the same name in every run.
std::string PathKey(const std::string& path);
