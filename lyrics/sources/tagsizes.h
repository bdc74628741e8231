// The sizes and counts that a music file's tag containers declare, checked
// before anything believes them: the tag library and the media framework
// make room for a tag whole, and loop over the entries a header counts.
//
// - ID3v2 at the start: the size in its header;
// - Matroska and WebM: every Tags element, found by walking the elements'
//   declared sizes (a live recording's element of unknown size ends the walk:
//   what follows cannot be found without reading through it);
// - ASF (WMA): the entries that the content description, metadata and codec
//   list objects count, against the bytes those objects hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orba {

// Up to `n` bytes of the file from `at`; fewer at its end.
using ReadFileBytes = std::function<std::string(std::uint64_t at, std::size_t n)>;

enum class DeclaredTags {
    Fit,
    TooLarge,    // a tag larger than the limit
    Unmeasured,  // counts or sizes that cannot be true, or a walk that could not end
};

DeclaredTags measureDeclaredTags(const ReadFileBytes& read, std::uint64_t fileLength,
                                 std::uint64_t limit);

// True for a file that starts as Matroska and WebM do (an EBML header).
bool isMatroska(std::string_view fileStart);

}  // namespace orba
