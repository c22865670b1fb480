#pragma once
// The "Record Settings" group of the Preferences dialog: the recording input
// ("Input Device:") and its recording volume ("Volume: "), over
// RecordingDeviceSetup. The group shows the setup's state and forwards the
// user's choices; the setup is opened and closed by the dialog's logic
// (PreferencesLogic::open and close). The group follows the setup through
// setViewChanged.
#include "voice/RecordingDeviceSetup.h"

#include <QGroupBox>

class QComboBox;
class QLabel;
class QSlider;

namespace pavonia {

class RecordSettingsGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RecordSettingsGroup(RecordingDeviceSetup& setup, QWidget* parent = nullptr);
    ~RecordSettingsGroup() override;

    // Shows the inputs, the selected one, the slider and what is enabled.
    void showState();

    QComboBox* inputList() const { return inputs_; }
    QSlider* volumeSlider() const { return volume_; }

private:
    RecordingDeviceSetup& setup_;
    QLabel* inputLabel_ = nullptr;
    QComboBox* inputs_ = nullptr;
    QLabel* volumeLabel_ = nullptr;
    QSlider* volume_ = nullptr;
};

} // namespace pavonia
