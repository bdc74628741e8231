// Songs and measures for the end-to-end tests of the song formats, from the
// shell:
//
//   orba_song_fixture cdg OUT.cdg MS       graphics: blue screen, red border,
//                                          a yellow band from 1 s, MS long
//   orba_song_fixture zip OUT.zip NAME=FILE...
//   orba_song_fixture hz RECORDING FROM_MS TO_MS
//                                          the strongest frequency heard
//                                          (200..1000 Hz), to a tenth of a hertz
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/playback/soundcapture.h"
#include "tests/support/cdgwriter.h"
#include "tests/support/tempdir.h"
#include "tests/support/zipwriter.h"

using namespace orba::test;

int main(int argc, char** argv) {
    const std::string what = argc > 2 ? argv[1] : "";
    if (what == "cdg" && argc == 4) {
        CdgWriter w;
        w.colourTable(0, false, {0x000, 0xF00, 0x0F0, 0x00F, 0xFF0, 0x0FF, 0xF0F, 0xFFF});
        w.memoryPreset(1, 3).borderPreset(2, 1);
        for (int c = 1; c < 49; ++c) w.solidTile(CdgWriter::packetAt(1000) + c, 8, c, 4);
        return w.endAt(CdgWriter::packetAt(std::atoi(argv[3]))).write(argv[2]) ? 0 : 1;
    }
    if (what == "zip" && argc >= 4) {
        ZipEntries entries;
        for (int i = 3; i < argc; ++i) {
            const std::string arg = argv[i];
            const std::size_t eq = arg.find('=');
            if (eq == std::string::npos) return 2;
            entries.emplace_back(arg.substr(0, eq), readFile(arg.substr(eq + 1)));
        }
        return writeZip(argv[2], entries) ? 0 : 1;
    }
    if (what == "hz" && argc == 5) {
        const StereoSound heard = readWav(argv[2]);
        if (heard.left.empty()) return 1;
        std::printf("%.1f\n", strongestHz(heard.left, std::atoi(argv[3]), std::atoi(argv[4]), 200, 1000));
        return 0;
    }
    std::fprintf(stderr, "usage: orba_song_fixture cdg|zip|hz ...\n");
    return 2;
}
