#pragma once
// One project of the core as the program's window holds it, for the places
// that hold a project on their own (the command line, the benchmarks, the
// tests): the prompts, clock and registry of the holder's kinds, the
// document handed those, and the tree operations over the document.
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"

#include <string>
#include <utility>

namespace pavonia {

// Where the document lives (see DocumentEnvironment); each with a trailing "/".
struct ProjectFolders {
    std::string installation;
    std::string systemTemp;
    std::string own = {};
    std::string workingArea = {};
    std::string settings = {};
};

template <typename UiType, typename ClockType, typename RegistryType>
struct ProjectHolder {
    explicit ProjectHolder(const ProjectFolders& folders, UiType uiValue = UiType(),
                           RegistryType registryValue = RegistryType())
        : ui(std::move(uiValue)),
          registry(std::move(registryValue)),
          document(DocumentEnvironment{folders.installation, folders.systemTemp, ui, clock, registry, folders.own,
                                       folders.workingArea, folders.settings}),
          operations(document)
    {
    }
    ProjectHolder(const ProjectHolder&) = delete;
    ProjectHolder& operator=(const ProjectHolder&) = delete;

    UiType ui;
    ClockType clock;
    RegistryType registry;
    ProjectDocument document;
    TreeOperations operations;
};

// A project held by a tool: console prompts, the system clock, no registry
// values.
using ConsoleProject = ProjectHolder<ConsoleUi, SystemClock, EmptyRegistry>;

} // namespace pavonia
