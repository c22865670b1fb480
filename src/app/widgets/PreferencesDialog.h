#pragma once
// The "Preferences" dialog: the "Record Settings" group, the start-up,
// export and import dialog switches, and the default transition and delay of
// new slides, over PreferencesLogic (and RecordingDeviceSetup for the group).
//
// Entry point:
//   bool runPreferencesDialog(QWidget* parent, ProjectDocument& document,
//                             InputDevicePlatform* inputs);
// shows the dialog modally; OK writes the preference keys, Cancel writes
// nothing. `inputs` are the recording inputs (QtInputDevices over the
// program's QtAudioDevice); without them the group is shown disabled. True
// when the user pressed OK.
#include "app/PreferencesLogic.h"
#include "project/ProjectDocument.h"
#include "voice/InputDevicePlatform.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace pavonia {

class RecordSettingsGroup;

class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    // `logic` has been opened.
    explicit PreferencesDialog(PreferencesLogic& logic, QWidget* parent = nullptr);
    ~PreferencesDialog() override;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFields();
    void showDelay();

    PreferencesLogic& logic_;
    RecordSettingsGroup* recording_ = nullptr;
    QCheckBox* showAtStartup_ = nullptr;
    QCheckBox* showWhenExporting_ = nullptr;
    QCheckBox* showWhenImporting_ = nullptr;
    QComboBox* transitions_ = nullptr;
    QLineEdit* delay_ = nullptr;
};

bool runPreferencesDialog(QWidget* parent, ProjectDocument& document, InputDevicePlatform* inputs);

} // namespace pavonia
