#pragma once
// The start-up dialog (dialog 154): begin a new project from a standard
// ("Template") or custom ("Custom") style, or load a project file. Only
// shows StartupDialogState and gives back StartupDialogAnswer; the rules are
// StartupDialogFlow's.
#include "app/StartupDialogFlow.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace pavonia {

class StartupDialog : public QDialog {
public:
    StartupDialog(const StartupDialogState& state, QWidget* parent = nullptr);

    StartupDialogAnswer answer() const;

    // Shows the dialog modally; nothing when cancelled.
    static std::optional<StartupDialogAnswer> ask(const StartupDialogState& state, QWidget* parent);

private:
    QRadioButton* templateButton_;
    QRadioButton* customButton_;
    QRadioButton* loadButton_;
    QGroupBox* loadGroup_;
    QCheckBox* showAtStartup_;
};

} // namespace pavonia
