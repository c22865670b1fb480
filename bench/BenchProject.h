#pragma once
// One project of the core, as the program's window holds it, for the
// benchmarks: console prompts that echo, the system clock, no registry values.
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"

#include <string>

namespace pavonia::bench {

struct BenchProject {
    BenchProject(const std::string& install, const std::string& temp)
        : document(DocumentEnvironment{install, temp, ui, clock, registry}), operations(document)
    {
        operations.createView();
    }
    BenchProject(const BenchProject&) = delete;
    BenchProject& operator=(const BenchProject&) = delete;

    ConsoleUi ui{true};
    SystemClock clock;
    EmptyRegistry registry;
    ProjectDocument document;
    TreeOperations operations;
};

} // namespace pavonia::bench
