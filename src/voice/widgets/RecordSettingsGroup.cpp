#include "voice/widgets/RecordSettingsGroup.h"

#include "platform/StringTable.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace pavonia {

namespace {

QString tableString(int id)
{
    return QString::fromStdString(StringTable::text(id));
}

} // namespace

RecordSettingsGroup::RecordSettingsGroup(RecordingDeviceSetup& setup, QWidget* parent)
    : QGroupBox(tableString(str::PreferencesRecordSettings), parent), setup_(setup)
{
    inputLabel_ = new QLabel(tableString(str::PreferencesInputDevice), this);
    inputs_ = new QComboBox(this);
    inputs_->setObjectName("inputDevice");
    volumeLabel_ = new QLabel(tableString(str::PreferencesVolume), this);
    volume_ = new QSlider(Qt::Horizontal, this);
    volume_->setObjectName("volume");
    volume_->setSingleStep(setup_.lineSize());

    connect(inputs_, &QComboBox::activated, this, [this](int index) { setup_.selectInput(index); });
    // The slider's own moves are replaced by the setup's: it clamps, writes
    // the volume to the device and says where the thumb stands.
    connect(volume_, &QSlider::actionTriggered, this, [this](int action) {
        using Action = RecordingDeviceSetup::SliderAction;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: setup_.moveSlider(Action::LineDown); break;
        case QAbstractSlider::SliderSingleStepSub: setup_.moveSlider(Action::LineUp); break;
        case QAbstractSlider::SliderPageStepAdd: setup_.moveSlider(Action::PageDown); break;
        case QAbstractSlider::SliderPageStepSub: setup_.moveSlider(Action::PageUp); break;
        case QAbstractSlider::SliderToMinimum: setup_.moveSlider(Action::Home); break;
        case QAbstractSlider::SliderToMaximum: setup_.moveSlider(Action::End); break;
        case QAbstractSlider::SliderMove: setup_.moveSlider(Action::Drag, volume_->sliderPosition()); break;
        default: return;
        }
        // The thumb stands where the setup put it, even when that is where
        // it stood (a move past an end).
        volume_->setSliderPosition(setup_.sliderPosition());
    });

    auto* layout = new QFormLayout(this);
    layout->addRow(inputLabel_, inputs_);
    layout->addRow(volumeLabel_, volume_);
    showState();
    setup_.setViewChanged([this] { showState(); });
}

RecordSettingsGroup::~RecordSettingsGroup()
{
    setup_.setViewChanged({});
}

void RecordSettingsGroup::showState()
{
    const QSignalBlocker blockInputs(inputs_), blockVolume(volume_);
    inputs_->clear();
    for (const std::string& name : setup_.inputs())
        inputs_->addItem(QString::fromStdString(name));
    inputs_->setCurrentIndex(setup_.selectedInput());
    volume_->setRange(0, setup_.sliderMaximum());
    volume_->setPageStep(std::max(setup_.pageSize(), 1));
    volume_->setValue(setup_.sliderPosition());
    inputLabel_->setEnabled(setup_.inputListEnabled());
    inputs_->setEnabled(setup_.inputListEnabled());
    volumeLabel_->setEnabled(setup_.sliderEnabled());
    volume_->setEnabled(setup_.sliderEnabled());
}

} // namespace pavonia
