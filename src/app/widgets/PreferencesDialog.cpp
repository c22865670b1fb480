#include "app/widgets/PreferencesDialog.h"

#include "templates/TransitionList.h"
#include "platform/StringTable.h"
#include "templates/widgets/DialogParts.h"
#include "voice/NoInputDevices.h"
#include "voice/RecordingDeviceSetup.h"
#include "voice/widgets/RecordSettingsGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <memory>

namespace pavonia {

PreferencesDialog::PreferencesDialog(PreferencesLogic& logic, QWidget* parent) : QDialog(parent), logic_(logic)
{
    setWindowTitle(tableText(str::PreferencesCaption));

    auto* layout = new QVBoxLayout(this);
    if (RecordingDeviceSetup* setup = logic_.recordingDeviceSetup()) {
        recording_ = new RecordSettingsGroup(*setup, this);
        layout->addWidget(recording_);
    }

    auto* dialogs = new QGroupBox(tableText(str::PreferencesDialogs), this);
    auto* dialogsLayout = new QVBoxLayout(dialogs);
    showAtStartup_ = new QCheckBox(tableText(str::PreferencesShowAtStartup), dialogs);
    showAtStartup_->setObjectName("showAtStartup");
    showWhenExporting_ = new QCheckBox(tableText(str::PreferencesShowWhenExporting), dialogs);
    showWhenExporting_->setObjectName("showWhenExporting");
    showWhenImporting_ = new QCheckBox(tableText(str::PreferencesShowWhenImporting), dialogs);
    showWhenImporting_->setObjectName("showWhenImporting");
    for (QCheckBox* box : {showAtStartup_, showWhenExporting_, showWhenImporting_})
        dialogsLayout->addWidget(box);
    showAtStartup_->setChecked(logic_.showAtStartup());
    showWhenExporting_->setChecked(logic_.showWhenExporting());
    showWhenImporting_->setChecked(logic_.showWhenImporting());
    connect(showAtStartup_, &QCheckBox::toggled, this, [this](bool on) { logic_.setShowAtStartup(on); });
    connect(showWhenExporting_, &QCheckBox::toggled, this, [this](bool on) { logic_.setShowWhenExporting(on); });
    connect(showWhenImporting_, &QCheckBox::toggled, this, [this](bool on) { logic_.setShowWhenImporting(on); });
    layout->addWidget(dialogs);

    auto* slides = new QGroupBox(tableText(str::PreferencesNewSlides), this);
    auto* slidesLayout = new QFormLayout(slides);
    transitions_ = new QComboBox(slides);
    transitions_->setObjectName("transition");
    for (const TransitionEntry& entry : logic_.transitions())
        transitions_->addItem(QString::fromStdString(entry.name));
    transitions_->setCurrentIndex(logic_.selectedTransition());
    connect(transitions_, &QComboBox::currentIndexChanged, this,
            [this](int position) { logic_.selectTransition(position); });
    delay_ = new QLineEdit(slides);
    delay_->setObjectName("delay");
    delay_->installEventFilter(this);
    connect(delay_, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_.editDelay(text.toStdString());
        // A refused edit restores the text the logic holds, which may not
        // count as a change of what the logic shows.
        showDelay();
    });
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(delay_);
    delayRow->addWidget(new QLabel(tableText(str::PreferencesSeconds), slides));
    delayRow->addStretch(1);
    slidesLayout->addRow(tableText(str::PreferencesTransition), transitions_);
    slidesLayout->addRow(tableText(str::PreferencesDelay), delayRow);
    layout->addWidget(slides);
    showDelay();

    addOkCancelButtons(*this, *layout);
    setMinimumWidth(380);
    logic_.setViewChanged([this] { showFields(); });
}

PreferencesDialog::~PreferencesDialog()
{
    logic_.setViewChanged({});
}

void PreferencesDialog::showFields()
{
    const QSignalBlocker blockStartup(showAtStartup_), blockExport(showWhenExporting_),
        blockImport(showWhenImporting_), blockTransitions(transitions_);
    showAtStartup_->setChecked(logic_.showAtStartup());
    showWhenExporting_->setChecked(logic_.showWhenExporting());
    showWhenImporting_->setChecked(logic_.showWhenImporting());
    transitions_->setCurrentIndex(logic_.selectedTransition());
    showDelay();
}

void PreferencesDialog::showDelay()
{
    const QString text = QString::fromStdString(logic_.delayText());
    if (delay_->text() != text)
        delay_->setText(text);
}

bool PreferencesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == delay_ && event->type() == QEvent::FocusOut)
        logic_.leaveDelay();
    return QDialog::eventFilter(watched, event);
}

void PreferencesDialog::accept()
{
    logic_.accept();
    QDialog::accept();
}

bool runPreferencesDialog(QWidget* parent, ProjectDocument& document, InputDevicePlatform* inputs)
{
    TransitionList transitions(document.installationFolder());
    PreferencesLogic logic(document.preferences(), transitions, document.ui());
    NoInputDevices none;
    RecordingDeviceSetup recording(inputs ? *inputs : static_cast<InputDevicePlatform&>(none), document.ui());
    logic.setRecordingDeviceSetup(&recording);
    logic.open();
    PreferencesDialog dialog(logic, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    logic.close();
    return accepted;
}

} // namespace pavonia
