#pragma once
// The project a test works on: scripted prompts, a fixed clock and registry
// values of the test's own, the document handed those and the tree
// operations over it. TestProject brings its own throw-away installation; a
// fixture derives from it and finds them all as inst, ui, clock, registry,
// document and operations.
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "project/ProjectHolder.h"

#include <string>

namespace pavonia::test {

using ScriptedProject = ProjectHolder<ScriptedUi, FixedClock, MapRegistry>;

// Built before the project, which lives in it.
struct InstallationHolder {
    explicit InstallationHolder(bool withData) : inst(withData) {}
    TestInstallation inst;
};

struct TestProject : InstallationHolder, ScriptedProject {
    // With `withData`, the installation data of the build is copied in.
    explicit TestProject(bool withData = true)
        : InstallationHolder(withData), ScriptedProject({inst.folder(), inst.tempFolder()})
    {
    }
};

} // namespace pavonia::test
