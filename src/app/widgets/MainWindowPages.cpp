// The editing pages of the form and the handlers of the commands whose work
// lives in another subsystem's pages and dialogs. Each page mode starts with
// a placeholder page; a page replaces it with
//     pages_->setPage(SelectedKind::Project, new StylePage(...));
// and a command handler with
//     setCommandHandler(Command::ProjectSettings, [this] { ... });
// A command without a handler says that it arrives with a later version.
#include "app/widgets/MainWindow.h"
#include "app/widgets/PageHost.h"

namespace pavonia {

void MainWindow::installPages()
{
}

} // namespace pavonia
