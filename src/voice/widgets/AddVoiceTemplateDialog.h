#pragma once
// Dialog 170 "Add Voice Template": the name to save the voice filter
// settings as, over AddVoiceTemplateLogic. "OK" closes it only when the
// logic takes the name.
#include "voice/VoiceFilterDialogLogic.h"

#include <QDialog>

class QLineEdit;

namespace pavonia {

class AddVoiceTemplateDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddVoiceTemplateDialog(AddVoiceTemplateLogic& logic, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return name_; }
    void accept() override;

private:
    AddVoiceTemplateLogic& logic_;
    QLineEdit* name_ = nullptr;
};

} // namespace pavonia
