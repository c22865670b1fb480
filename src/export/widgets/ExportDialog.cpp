#include "export/widgets/ExportDialog.h"

#include "platform/StringTable.h"
#include "templates/widgets/DialogParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace pavonia {

ExportDialog::ExportDialog(Preferences& preferences, const ExportChoice& stored, QWidget* parent)
    : QDialog(parent), logic_(preferences, stored)
{
    setWindowTitle(tableText(str::ExportDlgCaption));
    setObjectName("exportDialog");

    auto* kindBox = new QGroupBox(this);
    auto* kindLayout = new QVBoxLayout(kindBox);
    auto* group = new QButtonGroup(this);
    for (std::size_t i = 0; i < exportKinds().size(); ++i) {
        auto* button = new QRadioButton(tableText(exportKinds()[i].textId), kindBox);
        button->setObjectName(QStringLiteral("kind%1").arg(i));
        group->addButton(button, int(i));
        kindLayout->addWidget(button);
        kinds_.push_back(button);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int index) { logic_.chooseKind(index); });
    autoRun_ = new QCheckBox(tableText(str::ExportIncludeAutoRun), kindBox);
    autoRun_->setObjectName("includeAutoRun");
    autoRun_->setContentsMargins(20, 0, 0, 0);
    kindLayout->addWidget(autoRun_);
    connect(autoRun_, &QCheckBox::toggled, this, [this](bool on) { logic_.setIncludeAutoRun(on); });

    soundLabel_ = new QLabel(tableText(str::ExportSoundQuality), this);
    sound_ = new QComboBox(this);
    sound_->setObjectName("soundQuality");
    for (int id : {str::ExportSoundHigh, str::ExportSoundMiddle, str::ExportSoundLow})
        sound_->addItem(tableText(id));
    connect(sound_, &QComboBox::currentIndexChanged, this, [this](int index) { logic_.setSoundIndex(index); });

    imageLabel_ = new QLabel(tableText(str::ExportImageQuality), this);
    image_ = new QSlider(Qt::Horizontal, this);
    image_->setObjectName("imageQuality");
    image_->setRange(0, 100);
    image_->setSingleStep(1);
    image_->setPageStep(ExportDlgLogic::kImagePageStep);
    imageValue_ = new QLabel(this);
    imageValue_->setObjectName("imageQualityValue");
    imageValue_->setMinimumWidth(imageValue_->fontMetrics().horizontalAdvance(QStringLiteral("100 %  ")));
    connect(image_, &QSlider::valueChanged, this, [this](int value) { logic_.setImageQuality(value); });

    auto* qualities = new QGridLayout;
    qualities->addWidget(soundLabel_, 0, 0);
    qualities->addWidget(sound_, 0, 1, 1, 2);
    qualities->addWidget(imageLabel_, 1, 0);
    qualities->addWidget(image_, 1, 1);
    qualities->addWidget(imageValue_, 1, 2);
    qualities->setColumnStretch(1, 1);

    dontShow_ = new QCheckBox(tableText(str::ExportDontShowAgain), this);
    dontShow_->setObjectName("dontShowNextTime");
    connect(dontShow_, &QCheckBox::toggled, this, [this](bool on) { logic_.setDontShowNextTime(on); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kindBox);
    layout->addLayout(qualities);
    layout->addWidget(dontShow_);
    addOkCancelButtons(*this, *layout);
    // Wide enough for every kind's name on one line.
    setMinimumWidth(360);

    showState();
    logic_.setViewChanged([this] { showState(); });
}

void ExportDialog::showState()
{
    // The controls show the logic without telling it again.
    const QSignalBlocker blockAutoRun(autoRun_);
    const QSignalBlocker blockSound(sound_);
    const QSignalBlocker blockImage(image_);
    const QSignalBlocker blockDontShow(dontShow_);
    for (std::size_t i = 0; i < kinds_.size(); ++i)
        kinds_[i]->setChecked(int(i) == logic_.kindIndex());
    autoRun_->setChecked(logic_.includeAutoRun());
    autoRun_->setEnabled(logic_.autoRunEnabled());
    sound_->setCurrentIndex(logic_.soundIndex());
    image_->setValue(logic_.imageQuality());
    imageValue_->setText(QString::fromStdString(logic_.imageQualityText()));
    dontShow_->setChecked(logic_.dontShowNextTime());
    const bool qualitiesOn = logic_.qualitiesEnabled();
    for (QWidget* widget : {static_cast<QWidget*>(soundLabel_), static_cast<QWidget*>(sound_),
                            static_cast<QWidget*>(imageLabel_), static_cast<QWidget*>(image_),
                            static_cast<QWidget*>(imageValue_)})
        widget->setEnabled(qualitiesOn);
}

std::optional<ExportChoice> runExportDialog(QWidget* parent, Preferences& preferences, const ExportChoice& stored)
{
    ExportDialog dialog(preferences, stored, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.acceptChoice();
}

} // namespace pavonia
