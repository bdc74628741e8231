// Zip files of the tests' own making, entries named as given (a name that
// climbs out included: the writer never looks at it).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orba::test {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// Deflated entries; false when the file could not be written.
bool writeZip(const std::string& path, const ZipEntries& entries);

}  // namespace orba::test
