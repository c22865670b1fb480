#pragma once
// The logic of the "Import Media Settings" dialog: where the imported files
// go (ImportType 0: the selected session, 1: a session each) and whether the
// dialog is asked again. No widgets here; the view learns of changes
// through setViewChanged (see ViewNotifier).
#include "platform/ViewNotifier.h"
#include "project/Preferences.h"

#include <tuple>

namespace pavonia {

class ImportMediaDlgLogic : public ViewNotifier<ImportMediaDlgLogic> {
public:
    // Opens with the given ImportType chosen and "Don't show next time"
    // unticked.
    ImportMediaDlgLogic(Preferences& preferences, int importType);

    // Everything the view shows, as one value (before the calls that change
    // it, which need its type).
    auto visibleState() const { return std::tuple(importType_, dontShowNextTime_); }

    int importType() const { return importType_; }
    bool dontShowNextTime() const { return dontShowNextTime_; }
    void setImportType(int type)
    {
        ViewChange change(*this);
        importType_ = type == 1 ? 1 : 0;
    }
    void setDontShowNextTime(bool on)
    {
        ViewChange change(*this);
        dontShowNextTime_ = on;
    }

    // OK: writes "ShowImportDlg" (0 when not to be shown again, else 1) and
    // "ImportType". False when the preferences could not be written (the
    // choice still holds for this import).
    bool accept();

private:
    Preferences& preferences_;
    int importType_;
    bool dontShowNextTime_ = false;
};

} // namespace pavonia
