#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "platform/profilefile.h"

namespace orba::fuzz {

void profileText(std::string_view bytes) {
    ProfileText text(bytes);
    // Reading keeps every byte for the next write.
    ORBA_FUZZ_CHECK(text.bytes() == bytes);
    std::string value;
    if (text.lookup("Option", "Music", value)) parseProfileInteger(value, 0);
    ORBA_FUZZ_CHECK(value.size() <= kProfileStringMax);

    text.set("Option", "FuzzKey", "1234");
    text.set("Karaoke", "Music", "a\r\nb");
    const ProfileText again(text.bytes());
    ORBA_FUZZ_CHECK(again.lookup("Option", "FuzzKey", value) && value == "1234");
    ORBA_FUZZ_CHECK(again.lookup("karaoke", "music", value) && value == "a  b");
}

}  // namespace orba::fuzz
