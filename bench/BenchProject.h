#pragma once
// One project of the core, as the program's window holds it, for the
// benchmarks: console prompts that echo, the system clock, no registry values.
#include "project/ProjectHolder.h"

#include <string>

namespace pavonia::bench {

struct BenchProject : ConsoleProject {
    BenchProject(const std::string& install, const std::string& temp)
        : ConsoleProject({install, temp}, ConsoleUi(true))
    {
        operations.createView();
    }
};

} // namespace pavonia::bench
