#pragma once
// The "Export" dialog (CExportDlg): one radio button per kind of export,
// "Include Autorun files", the sound and image qualities and "Don't show
// next time", over ExportDlgLogic, which also decides what is enabled.
//
// Entry point:
//   std::optional<ExportChoice> runExportDialog(QWidget* parent, Preferences& preferences,
//                                               const ExportChoice& stored);
// shows the dialog modally with the stored choice; on OK the preferences are
// written and the choice returned, on Cancel nothing.
#include "export/ExportDlgLogic.h"

#include <QDialog>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace pavonia {

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(Preferences& preferences, const ExportChoice& stored, QWidget* parent = nullptr);

    ExportDlgLogic& logic() { return logic_; }
    // The choice, with the preferences written, as OK does.
    ExportChoice acceptChoice() { return logic_.accept(); }

private:
    void showState();

    ExportDlgLogic logic_;
    std::vector<QRadioButton*> kinds_;
    QCheckBox* autoRun_ = nullptr;
    QLabel* soundLabel_ = nullptr;
    QComboBox* sound_ = nullptr;
    QLabel* imageLabel_ = nullptr;
    QSlider* image_ = nullptr;
    QLabel* imageValue_ = nullptr;
    QCheckBox* dontShow_ = nullptr;
};

std::optional<ExportChoice> runExportDialog(QWidget* parent, Preferences& preferences, const ExportChoice& stored);

} // namespace pavonia
