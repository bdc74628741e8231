// The pictures of an image folder: every "*.jpg" in it, the extension
// matched without regard to case, sorted by name without regard to case.
#pragma once

#include <string>
#include <vector>

namespace orba {

// Full paths of the folder's pictures; empty when the folder is missing or
// unreadable. Only files count: a folder or a pipe named like a picture is
// none.
std::vector<std::string> loadImageList(const std::string& folder);

}  // namespace orba
