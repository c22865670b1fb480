#pragma once
// The "Custom Settings" dialog of a custom style: its background (the style's
// own "Original", a colour, or a picture with a tile switch) and the colours
// of the heading, sub-topic and description text, over CustomSettingsLogic.
//
// Entry point:
//   bool runCustomSettingsDialog(QWidget* parent, ProjectDocument& document,
//                                const TemplateLibrary& library);
// shows the dialog modally and, on OK, applies it to the project
// (EditCustomSettings). True when applied; the caller then rebuilds the style
// preview (StylePage::editCustomSettings does both).
#include "project/ProjectDocument.h"
#include "templates/CustomSettingsLogic.h"
#include "templates/widgets/BackgroundPictureDialog.h"
#include "templates/widgets/DialogParts.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pavonia {

class TemplateLibrary;

// Opens the background picture dialog; nothing when cancelled.
using PictureBrowser =
    std::function<std::optional<PictureChoice>(QWidget* parent, const FileDialogOptions& options, bool tile)>;

class CustomSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `logic` has been opened.
    explicit CustomSettingsDialog(CustomSettingsLogic& logic, QWidget* parent = nullptr,
                                  ColourChooser chooseColour = chooseColourWithDialog,
                                  PictureBrowser browse = runBackgroundPictureDialog);
    ~CustomSettingsDialog() override;

    // OK: closes only when the logic allows it.
    void accept() override;

private:
    void showFields();

    CustomSettingsLogic& logic_;
    ColourChooser chooseColour_;
    PictureBrowser browse_;
    QRadioButton* kinds_[3] = {};
    ColourSwatch* background_ = nullptr;
    QLineEdit* pictureName_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    ColourSwatch* textSwatches_[3] = {};
};

bool runCustomSettingsDialog(QWidget* parent, ProjectDocument& document, const TemplateLibrary& library);

} // namespace pavonia
