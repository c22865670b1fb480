#include "project/ProjectDocument.h"

#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"

namespace pavonia {

ProjectDocument::ProjectDocument(const DocumentEnvironment& environment)
    : installationFolder_(environment.installationFolder),
      settingsFolder_(environment.settingsFolder.empty() ? environment.installationFolder
                                                         : environment.settingsFolder),
      systemTempFolder_(environment.systemTempFolder),
      packTempPath_(environment.systemTempFolder + "files.xxx"),
      ui_(environment.ui),
      clock_(environment.clock),
      random_(environment.clock.tickCount()),
      preferences_(settingsFolder_),
      folderMemory_(environment.installationFolder, environment.registry, [] { return userDocumentsFolder(); }),
      workingFolder_(environment.installationFolder, environment.systemTempFolder, settings_.fileRefs,
                     environment.clock, random_, environment.ownFolder, environment.workingArea),
      svMngr_(environment.systemTempFolder, environment.ui)
{
    windowTitle = StringTable::text(str::AppTitle);
}

Answer ProjectDocument::message(const std::string& text, Buttons buttons)
{
    return showMessage(ui_, text, buttons);
}

void ProjectDocument::updateTitle(const std::string& path)
{
    windowTitle = StringTable::text(str::AppTitle);
    if (!path.empty())
        windowTitle += " - " + finalComponent(path);
}

} // namespace pavonia
