#include "templates/widgets/CustomSettingsDialog.h"

#include "platform/StringTable.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pavonia {

CustomSettingsDialog::CustomSettingsDialog(CustomSettingsLogic& logic, QWidget* parent, ColourChooser chooseColour,
                                           PictureBrowser browse)
    : QDialog(parent), logic_(logic), chooseColour_(std::move(chooseColour)), browse_(std::move(browse))
{
    setWindowTitle(tableText(str::CustomSettingsCaption));

    auto* backgroundBox = new QGroupBox(tableText(str::CustomBackground), this);
    auto* kinds = new QButtonGroup(this);
    const int kindTexts[3] = {str::CustomOriginal, str::CustomColour, str::CustomPicture};
    const char* kindNames[3] = {"original", "colourKind", "pictureKind"};
    for (int kind = 0; kind < 3; ++kind) {
        kinds_[kind] = new QRadioButton(tableText(kindTexts[kind]), backgroundBox);
        kinds_[kind]->setObjectName(kindNames[kind]);
        kinds->addButton(kinds_[kind], kind);
    }
    connect(kinds, &QButtonGroup::idClicked, this, [this](int kind) { logic_.chooseKind(kind); });
    background_ = new ColourSwatch(backgroundBox);
    background_->setObjectName("backgroundColour");
    connect(background_, &QPushButton::clicked, this, [this] {
        if (!logic_.colourSwatchEnabled())
            return;
        if (const std::optional<std::uint32_t> colour = chooseColour_(this, logic_.backgroundColour()))
            logic_.setBackgroundColour(*colour);
    });
    pictureName_ = new QLineEdit(backgroundBox);
    pictureName_->setObjectName("pictureName");
    connect(pictureName_, &QLineEdit::textEdited, this,
            [this](const QString& text) { logic_.editPictureName(text.toStdString()); });
    browseButton_ = new QPushButton(tableText(str::CustomBrowse), backgroundBox);
    browseButton_->setObjectName("browse");
    connect(browseButton_, &QPushButton::clicked, this, [this] {
        if (const std::optional<PictureChoice> picked = browse_(this, logic_.browseOptions(), logic_.tile()))
            logic_.pictureChosen(picked->path, picked->tile);
        else
            logic_.browseCancelled();
    });
    auto* backgroundGrid = new QGridLayout(backgroundBox);
    backgroundGrid->addWidget(kinds_[0], 0, 0);
    backgroundGrid->addWidget(kinds_[1], 1, 0);
    backgroundGrid->addWidget(background_, 1, 1, Qt::AlignLeft);
    backgroundGrid->addWidget(kinds_[2], 2, 0);
    backgroundGrid->addWidget(pictureName_, 2, 1);
    backgroundGrid->addWidget(browseButton_, 2, 2);
    backgroundGrid->setColumnStretch(1, 1);

    auto* coloursBox = new QGroupBox(tableText(str::CustomFontColorSettings), this);
    auto* coloursGrid = new QGridLayout(coloursBox);
    const int textNames[3] = {str::SettingsHeadingText, str::CustomSubTopic, str::SettingsDescription};
    const char* swatchNames[3] = {"headingColour", "subTopicColour", "descriptionColour"};
    for (int i = 0; i < 3; ++i) {
        const TextKind kind = static_cast<TextKind>(i);
        coloursGrid->addWidget(new QLabel(tableText(textNames[i]), coloursBox), 0, i, Qt::AlignHCenter);
        textSwatches_[i] = new ColourSwatch(coloursBox);
        textSwatches_[i]->setObjectName(swatchNames[i]);
        coloursGrid->addWidget(textSwatches_[i], 1, i, Qt::AlignHCenter);
        connect(textSwatches_[i], &QPushButton::clicked, this, [this, kind] {
            if (const std::optional<std::uint32_t> colour = chooseColour_(this, logic_.textColour(kind)))
                logic_.setTextColour(kind, *colour);
        });
    }


    auto* layout = new QVBoxLayout(this);
    layout->addWidget(backgroundBox);
    layout->addWidget(coloursBox);
    addOkCancelButtons(*this, *layout);
    setMinimumWidth(420);
    showFields();
    logic_.setViewChanged([this] { showFields(); });
}

CustomSettingsDialog::~CustomSettingsDialog()
{
    logic_.setViewChanged({});
}

void CustomSettingsDialog::showFields()
{
    kinds_[logic_.kind()]->setChecked(true);
    background_->setColour(logic_.backgroundColour());
    background_->setEnabled(logic_.colourSwatchEnabled());
    const QString name = QString::fromStdString(logic_.pictureName());
    if (pictureName_->text() != name) {
        const QSignalBlocker block(pictureName_);
        pictureName_->setText(name);
    }
    pictureName_->setEnabled(logic_.pictureControlsEnabled());
    browseButton_->setEnabled(logic_.pictureControlsEnabled());
    for (int i = 0; i < 3; ++i)
        textSwatches_[i]->setColour(logic_.textColour(static_cast<TextKind>(i)));
}

void CustomSettingsDialog::accept()
{
    if (logic_.confirm())
        QDialog::accept();
}

bool runCustomSettingsDialog(QWidget* parent, ProjectDocument& document, const TemplateLibrary& library)
{
    CustomSettingsLogic logic(document, library);
    logic.open();
    CustomSettingsDialog dialog(logic, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    logic.apply();
    return true;
}

} // namespace pavonia
