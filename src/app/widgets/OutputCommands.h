#pragma once
// The window's commands that take the project out of the program and bring
// files in: Export (with the export dialog), Slide Preview, Html Code Copy
// and Import Media (with the import settings dialog). The long part of each
// (publishing, copying, packing, converting a slide deck) runs off the
// interface thread under the window's progress dialog; the dialogs and
// every change to the project tree stay on the interface thread.
#include "publish/Publisher.h"

#include <functional>

#include <string>

namespace pavonia {

class MainWindow;
class WorkProgress;

class OutputCommands {
public:
    explicit OutputCommands(MainWindow& window) : window_(window) {}

    // "&Export Html...": saves a modified project, asks with the export
    // dialog and the save-file dialog, then exports with cancellable
    // progress; the size message follows a finished export.
    bool exportPresentation();
    // "Slide Preview": publishes onto the shelf of previews and opens the
    // page in the browser.
    bool preview();
    // "&Html Code Copy": the HTML code dialog.
    void htmlCodeCopy();
    // "&Import Media File...": the file dialog, the import settings dialog,
    // and the import, a slide deck's conversion with cancellable progress.
    bool importMedia();

    // The export qualities while the program runs: sound 2 ("Middle") and
    // image 80 at first; the export dialog changes them.
    const ExportQualities& qualities() const { return qualities_; }

private:
    PublishContext publishContext(MessageExporter& exporter);
    // Runs publishing work under a cancellable progress dialog.
    bool publishInBackground(const std::string& stage, const std::function<bool()>& work);

    MainWindow& window_;
    ExportQualities qualities_;
    // The progress dialog's state while publishing runs under it.
    WorkProgress* publishing_ = nullptr;
};

} // namespace pavonia
