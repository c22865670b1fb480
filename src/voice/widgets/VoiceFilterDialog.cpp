#include "voice/widgets/VoiceFilterDialog.h"

#include "platform/StringTable.h"
#include "voice/widgets/AddVoiceTemplateDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

constexpr int kFilterNames[VoiceFilterDialogLogic::kFilters] = {str::VoiceFilterPitch, str::VoiceFilterHeadSize,
                                                                str::VoiceFilterRobot, str::VoiceFilterEcho};
constexpr const char* kObjectNames[VoiceFilterDialogLogic::kFilters] = {"pitch", "headSize", "robot", "echo"};

} // namespace

VoiceFilterDialog::VoiceFilterDialog(VoiceFilterDialogLogic& logic, QWidget* parent)
    : QDialog(parent), logic_(logic)
{
    setObjectName("voiceFilterDialog");
    setWindowTitle(text(str::VoiceFilterCaption));
    runAdd_ = [this](AddVoiceTemplateLogic& add) {
        AddVoiceTemplateDialog dialog(add, this);
        return dialog.exec() == QDialog::Accepted;
    };

    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(text(str::VoiceFilterTemplateGroup));
    auto* groupLayout = new QHBoxLayout(group);
    list_ = new QComboBox;
    list_->setObjectName("templateList");
    list_->setMinimumWidth(180);
    add_ = new QPushButton(text(str::VoiceFilterAdd));
    add_->setObjectName("add");
    del_ = new QPushButton(text(str::VoiceFilterDel));
    del_->setObjectName("del");
    groupLayout->addWidget(list_, 1);
    groupLayout->addWidget(add_);
    groupLayout->addWidget(del_);
    layout->addWidget(group);

    auto* filters = new QGridLayout;
    for (int f = 0; f < VoiceFilterDialogLogic::kFilters; ++f) {
        const auto filter = VoiceFilterDialogLogic::Filter(f);
        auto* check = new QCheckBox(text(kFilterNames[f]));
        check->setObjectName(QString(kObjectNames[f]) + "Check");
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(QString(kObjectNames[f]) + "Slider");
        slider->setRange(0, 100);
        slider->setPageStep(10);
        slider->setMinimumWidth(200);
        auto* number = new QLabel;
        number->setObjectName(QString(kObjectNames[f]) + "Number");
        number->setMinimumWidth(number->fontMetrics().horizontalAdvance("1000"));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        filters->addWidget(check, f, 0);
        filters->addWidget(slider, f, 1);
        filters->addWidget(number, f, 2);
        checks_[std::size_t(f)] = check;
        sliders_[std::size_t(f)] = slider;
        numbers_[std::size_t(f)] = number;
        connect(check, &QCheckBox::toggled, this, [this, filter](bool on) {
            if (!showing_)
                logic_.setChecked(filter, on);
        });
        connect(slider, &QSlider::valueChanged, this, [this, filter](int value) {
            if (!showing_)
                logic_.setSlider(filter, value);
        });
    }
    layout->addLayout(filters);

    auto* buttons = new QHBoxLayout;
    test_ = new QPushButton;
    test_->setObjectName("test");
    ok_ = new QPushButton(text(str::ButtonOk));
    ok_->setObjectName("ok");
    ok_->setDefault(true);
    cancel_ = new QPushButton(text(str::ButtonCancel));
    cancel_->setObjectName("cancel");
    buttons->addWidget(test_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(list_, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (!showing_ && position >= 0)
            logic_.select(position);
    });
    connect(add_, &QPushButton::clicked, this, [this] { logic_.add(runAdd_); });
    connect(del_, &QPushButton::clicked, this, [this] { logic_.remove(); });
    connect(test_, &QPushButton::clicked, this, [this] { logic_.test(); });
    connect(ok_, &QPushButton::clicked, this, &VoiceFilterDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &VoiceFilterDialog::reject);

    logic_.setViewChanged([this] { showState(); });
    showState();
}

VoiceFilterDialog::~VoiceFilterDialog() { logic_.setViewChanged({}); }

void VoiceFilterDialog::showState()
{
    showing_ = true;
    const std::vector<std::string> entries = logic_.listEntries();
    QStringList names;
    for (const std::string& entry : entries)
        names << QString::fromStdString(entry);
    QStringList shown;
    for (int i = 0; i < list_->count(); ++i)
        shown << list_->itemText(i);
    if (shown != names) {
        list_->clear();
        list_->addItems(names);
    }
    list_->setCurrentIndex(logic_.selection());
    const bool controls = logic_.controlsEnabled();
    list_->setEnabled(controls);
    for (int f = 0; f < VoiceFilterDialogLogic::kFilters; ++f) {
        const auto filter = VoiceFilterDialogLogic::Filter(f);
        checks_[std::size_t(f)]->setChecked(logic_.checked(filter));
        checks_[std::size_t(f)]->setEnabled(controls);
        sliders_[std::size_t(f)]->setValue(logic_.sliderValue(filter));
        sliders_[std::size_t(f)]->setEnabled(controls);
        numbers_[std::size_t(f)]->setText(QString::fromStdString(logic_.numberText(filter)));
    }
    add_->setEnabled(logic_.addEnabled());
    del_->setEnabled(logic_.delEnabled());
    ok_->setEnabled(controls);
    cancel_->setEnabled(controls);
    test_->setText(QString::fromStdString(logic_.testButtonText()));
    showing_ = false;
}

void VoiceFilterDialog::accept()
{
    if (!logic_.controlsEnabled())
        return;
    logic_.accept();
    QDialog::accept();
}

void VoiceFilterDialog::reject()
{
    // Closing the window or Escape during a preview stops it first, as
    // "Cancel" does.
    logic_.reject();
    QDialog::reject();
}

void runVoiceFilterDialog(QWidget* parent, VoiceFilterDialogLogic& logic)
{
    VoiceFilterDialog dialog(logic, parent);
    dialog.exec();
}

} // namespace pavonia
