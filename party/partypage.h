// The guests' page: one HTML document with its style and script inside, so
// the phone fetches nothing else and nothing leaves the room.
#pragma once

#include <string>

namespace orba::party {

const std::string& partyPageHtml();
// The Content-Security-Policy the page is served with: its own inline style
// and script (by their hashes) and its own server, nothing else.
const std::string& partyPagePolicy();

}  // namespace orba::party
