// Reads arbitrary bytes as the pack stream at the end of a project file.
#include "FuzzInstallation.h"
#include "platform/ConsoleUi.h"
#include "project/SvMngr.h"

#include <cstdint>

namespace {

struct World {
    pavonia::fuzz::FuzzInstallation installation;
    pavonia::ConsoleUi ui{false};
    pavonia::SvMngr store{installation.temp, ui};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World world;
    world.ui.clearMessages();
    const std::string input = world.installation.writeInput(data, size, "input.pack");
    world.store.readStream(input, -1);
    for (int i = 0; i < world.store.count(); ++i)
        if (world.store.entry(i).privateCopy.rfind(world.store.folder(), 0) != 0)
            __builtin_trap(); // a private copy outside the store's folder
    return 0;
}
