// Writes the talking messages the installation carries into each folder
// named on the command line: "default_tps.tps", the empty message a new
// session starts with, and "MuteVoice.tps", the message put in place of a
// muted voice. Both are valid messages without voice, smaller than the
// 512 bytes below which a message counts as muted.
#include "voice/TpsFile.h"

#include <cstdio>
#include <string>

using namespace pavonia;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_voice_data FOLDER...\n");
        return 2;
    }
    const TalkingMessage empty;
    for (int i = 1; i < argc; ++i) {
        const std::string folder = std::string(argv[i]) + "/";
        for (const char* name : {"default_tps.tps", "MuteVoice.tps"}) {
            if (const Result<> written = writeTps(folder + name, empty); !written) {
                std::fprintf(stderr, "%s\n", written.failure().text().c_str());
                return 1;
            }
        }
    }
    return 0;
}
