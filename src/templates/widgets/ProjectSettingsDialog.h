#pragma once
// The "Project Settings" dialog: the heading, sub-topic and description fonts
// (each through the Font Setting dialog), Auto Play, Auto Loop and Auto Jump
// Slide, and "Default", over ProjectSettingsLogic.
//
// Entry point:
//   bool runProjectSettingsDialog(QWidget* parent, ProjectDocument& document,
//                                 const TemplateLibrary& library, bool& templateDefaultsPending);
// shows the dialog modally (EditProjectSettings). `templateDefaultsPending`
// is the style page's flag (StylePageLogic::templateDefaultsPending). True
// when the user pressed OK and the project took the dialog's values.
#include "project/ProjectDocument.h"
#include "templates/ProjectSettingsLogic.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;

namespace pavonia {

class TemplateLibrary;

// Edits a font as the Font Setting dialog does; true when confirmed.
using FontEditor = std::function<bool(QWidget* parent, FontSpec& font)>;

class ProjectSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `logic` has been opened.
    explicit ProjectSettingsDialog(ProjectSettingsLogic& logic, QWidget* parent = nullptr,
                                   FontEditor editFont = {});
    ~ProjectSettingsDialog() override;

    void accept() override;

private:
    void showFields();

    ProjectSettingsLogic& logic_;
    FontEditor editFont_;
    QLabel* fontLabels_[3] = {};
    QCheckBox* autoPlay_ = nullptr;
    QCheckBox* autoLoop_ = nullptr;
    QCheckBox* autoJump_ = nullptr;
};

bool runProjectSettingsDialog(QWidget* parent, ProjectDocument& document, const TemplateLibrary& library,
                              bool& templateDefaultsPending);

} // namespace pavonia
