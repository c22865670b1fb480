#pragma once
// The "Font Setting" dialog: face and size lists, Bold, Italic and Underline
// toggles, the Color button and a preview of the sample text, over
// FontSettingLogic.
//
// Entry point:
//   bool runFontSettingDialog(QWidget* parent, FontSpec& font);
// shows the dialog modally; on OK the font takes the face, size, bold,
// italic, underline and colour chosen and true is returned (EditFont).
#include "project/FontSpec.h"
#include "templates/FontSettingLogic.h"
#include "templates/widgets/DialogParts.h"

#include <QDialog>

class QAction;
class QComboBox;

namespace pavonia {

class FontPreviewArea;

class FontSettingDialog : public QDialog {
    Q_OBJECT
public:
    // The face list holds the families the display offers.
    explicit FontSettingDialog(const FontSpec& font, QWidget* parent = nullptr,
                               ColourChooser chooseColour = chooseColourWithDialog);

    const FontSettingLogic& logic() const { return logic_; }
    // Writes the choice into `font`, as OK does.
    void acceptInto(FontSpec& font) const { logic_.accept(font); }

private:
    void showPreview();

    FontSettingLogic logic_;
    ColourChooser chooseColour_;
    QComboBox* faces_ = nullptr;
    QComboBox* sizes_ = nullptr;
    QAction* bold_ = nullptr;
    QAction* italic_ = nullptr;
    QAction* underline_ = nullptr;
    FontPreviewArea* preview_ = nullptr;
};

bool runFontSettingDialog(QWidget* parent, FontSpec& font);

} // namespace pavonia
