#include "app/commandline.h"

namespace orba {

CommandLine parseCommandLine(int argc, char** argv) {
    CommandLine cl;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        cl.args.push_back(a);
        if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (a == "--version") {
            cl.version = true;
        } else if (a == "--time-edit") {
            cl.timeEdit = true;
        } else if (a == "--party") {
            cl.party = true;
        } else if (a.rfind("--", 0) != 0 && cl.musicFile.empty()) {
            cl.musicFile = a;
        }
    }
    return cl;
}

}  // namespace orba
