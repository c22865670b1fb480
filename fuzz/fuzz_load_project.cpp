// Loads arbitrary bytes as a project file: no input may crash, hang, write
// outside the working folder or allocate beyond what the file holds.
#include "FuzzInstallation.h"
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "project/ProjectFile.h"

#include <cstdint>

namespace {

struct World {
    pavonia::fuzz::FuzzInstallation installation;
    pavonia::ConsoleUi ui{false};
    pavonia::SystemClock clock;
    pavonia::EmptyRegistry registry;
    pavonia::ProjectDocument document{
        pavonia::DocumentEnvironment{installation.folder, installation.temp, ui, clock, registry}};
    pavonia::TreeOperations operations{document};
    World() { operations.createView(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World world;
    world.ui.clearMessages();
    const std::string input = world.installation.writeInput(data, size, "input.pvp");
    pavonia::LoadProject(world.document, world.operations, input);
    if (world.document.tree().slideCount() > pavonia::ProjectTree::kSlideLimit)
        __builtin_trap();
    return 0;
}
