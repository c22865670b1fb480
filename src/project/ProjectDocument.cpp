#include "project/ProjectDocument.h"

#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"

#include <algorithm>

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
    windowTitle_ = StringTable::text(str::AppTitle);
}

Answer ProjectDocument::message(const std::string& text, Buttons buttons)
{
    return showMessage(ui_, text, buttons);
}

void ProjectDocument::updateTitle(const std::string& path)
{
    std::string title = StringTable::text(str::AppTitle);
    if (!path.empty())
        title += " - " + finalComponent(path);
    if (title == windowTitle_)
        return;
    windowTitle_ = title;
    for (DocumentObserver* observer : observers_)
        observer->titleChanged(windowTitle_);
}

void ProjectDocument::setDirty(bool dirty)
{
    if (dirty == dirty_)
        return;
    dirty_ = dirty;
    for (DocumentObserver* observer : observers_)
        observer->dirtyChanged(dirty_);
}

void ProjectDocument::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    for (DocumentObserver* observer : observers_)
        observer->busyChanged(busy_);
}

void ProjectDocument::setCommandFlag(bool& flag, bool value)
{
    if (flag == value)
        return;
    flag = value;
    for (DocumentObserver* observer : observers_)
        observer->commandFlagsChanged();
}

void ProjectDocument::setEditingAllowed(bool allowed)
{
    setCommandFlag(editingAllowed_, allowed);
}

void ProjectDocument::setVoiceImportAllowed(bool allowed)
{
    setCommandFlag(voiceImportAllowed_, allowed);
}

void ProjectDocument::setImageImportAllowed(bool allowed)
{
    setCommandFlag(imageImportAllowed_, allowed);
}

void ProjectDocument::addObserver(DocumentObserver* observer)
{
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void ProjectDocument::removeObserver(DocumentObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

} // namespace pavonia
