#pragma once
// The "Import Media Settings" dialog (CImportMediaDlg): where the imported
// files go, "Import media to same session" or "Import media to each
// session", and "Don't show next time"; over ImportMediaDlgLogic.
//
// Entry point:
//   std::optional<int> runImportMediaDialog(QWidget* parent, Preferences& preferences, int importType);
// shows the dialog modally with `importType` chosen; on OK the preferences
// are written and the chosen ImportType returned, on Cancel nothing.
#include "import/ImportMediaDlgLogic.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QRadioButton;

namespace pavonia {

class ImportMediaDialog : public QDialog {
    Q_OBJECT
public:
    ImportMediaDialog(Preferences& preferences, int importType, QWidget* parent = nullptr);

    ImportMediaDlgLogic& logic() { return logic_; }

private:
    void showState();

    ImportMediaDlgLogic logic_;
    QRadioButton* same_ = nullptr;
    QRadioButton* each_ = nullptr;
    QCheckBox* dontShow_ = nullptr;
};

std::optional<int> runImportMediaDialog(QWidget* parent, Preferences& preferences, int importType);

} // namespace pavonia
