#pragma once
// The program's one project, as the window holds it: the document over the
// process's workplace, the tree operations on it, the template library and
// the current layout's layers. The prompts go to the Ui handed in (message
// boxes in the program, a script in tests).
#include "app/Workplace.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"
#include "templates/LayoutLayers.h"
#include "templates/TemplateLibrary.h"

namespace pavonia {

class ProjectSession {
public:
    // Builds the document and its first tree (root, Session 1, one slide).
    ProjectSession(const Workplace& place, Ui& ui);
    ProjectSession(const ProjectSession&) = delete;
    ProjectSession& operator=(const ProjectSession&) = delete;

    ProjectDocument& document() { return document_; }
    TreeOperations& operations() { return operations_; }
    TemplateLibrary& library() { return library_; }
    LayoutLayers& layers() { return layers_; }
    const LayoutLayers& layers() const { return layers_; }
    Ui& ui() { return ui_; }
    const Registry& registry() const { return registry_; }
    const Clock& clock() const { return clock_; }

private:
    Ui& ui_;
    SystemClock clock_;
    IniRegistry registry_;
    ProjectDocument document_;
    TreeOperations operations_;
    TemplateLibrary library_;
    LayoutLayers layers_;
};

} // namespace pavonia
