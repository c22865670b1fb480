#pragma once
// Dialog 215 "VoiceFilter Dialog" over VoiceFilterDialogLogic: the voice
// templates ("none" and the saved ones) with "ADD" and "DEL", a check box,
// a slider (0 to 100) and a number for pitch scale, head size, robot and
// echo, and "OK", "Cancel" and "Test". The dialog shows the logic's state
// and forwards every action; "ADD" opens AddVoiceTemplateDialog.
//
// Entry point: runVoiceFilterDialog(parent, logic) runs it modally over an
// opened logic; the caller then reads logic.accepted().
#include "voice/VoiceFilterDialogLogic.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace pavonia {

class VoiceFilterDialog : public QDialog {
    Q_OBJECT
public:
    explicit VoiceFilterDialog(VoiceFilterDialogLogic& logic, QWidget* parent = nullptr);
    ~VoiceFilterDialog() override;

    // How "ADD" runs dialog 170; tests answer without a modal dialog.
    void setAddDialogRunner(VoiceFilterDialogLogic::AddDialogRunner runner) { runAdd_ = std::move(runner); }

    QComboBox* templateList() const { return list_; }
    QCheckBox* checkBox(int filter) const { return checks_[std::size_t(filter)]; }
    QSlider* slider(int filter) const { return sliders_[std::size_t(filter)]; }
    QLabel* number(int filter) const { return numbers_[std::size_t(filter)]; }
    QPushButton* testButton() const { return test_; }

    void accept() override;
    void reject() override;

private:
    void showState();

    VoiceFilterDialogLogic& logic_;
    VoiceFilterDialogLogic::AddDialogRunner runAdd_;
    QComboBox* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* del_ = nullptr;
    std::array<QCheckBox*, VoiceFilterDialogLogic::kFilters> checks_{};
    std::array<QSlider*, VoiceFilterDialogLogic::kFilters> sliders_{};
    std::array<QLabel*, VoiceFilterDialogLogic::kFilters> numbers_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* test_ = nullptr;
    bool showing_ = false;
};

// Runs dialog 215 modally over `logic` (opened by the caller).
void runVoiceFilterDialog(QWidget* parent, VoiceFilterDialogLogic& logic);

} // namespace pavonia
