#include "import/ImportMediaDlgLogic.h"

namespace pavonia {

ImportMediaDlgLogic::ImportMediaDlgLogic(Preferences& preferences, int importType)
    : preferences_(preferences), importType_(importType == 1 ? 1 : 0)
{
}

bool ImportMediaDlgLogic::accept()
{
    const bool shown = preferences_.setShowImportDlg(dontShowNextTime_ ? 0 : 1);
    const bool type = preferences_.setImportType(importType_);
    return shown && type;
}

} // namespace pavonia
