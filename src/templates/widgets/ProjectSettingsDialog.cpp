#include "templates/widgets/ProjectSettingsDialog.h"

#include "platform/StringTable.h"
#include "templates/widgets/DialogParts.h"
#include "templates/widgets/FontSettingDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pavonia {

ProjectSettingsDialog::ProjectSettingsDialog(ProjectSettingsLogic& logic, QWidget* parent, FontEditor editFont)
    : QDialog(parent), logic_(logic), editFont_(editFont ? std::move(editFont) : FontEditor(runFontSettingDialog))
{
    setWindowTitle(tableText(str::ProjectSettingsCaption));

    auto* fonts = new QGroupBox(this);
    auto* fontGrid = new QGridLayout(fonts);
    const int names[3] = {str::SettingsHeadingText, str::SettingsSubTopic, str::SettingsDescription};
    const char* objectNames[3] = {"headingFont", "subTopicFont", "descriptionFont"};
    for (int i = 0; i < 3; ++i) {
        const TextKind kind = static_cast<TextKind>(i);
        fontGrid->addWidget(new QLabel(tableText(names[i]), fonts), i, 0);
        fontLabels_[i] = new QLabel(fonts);
        fontLabels_[i]->setMinimumWidth(160);
        fontGrid->addWidget(fontLabels_[i], i, 1);
        auto* button = new QPushButton(tableText(str::SettingsFontButton), fonts);
        button->setObjectName(objectNames[i]);
        fontGrid->addWidget(button, i, 2);
        connect(button, &QPushButton::clicked, this, [this, kind] {
            FontSpec font = logic_.font(kind);
            if (editFont_(this, font))
                logic_.fontConfirmed(kind, font);
        });
    }
    fontGrid->setColumnStretch(1, 1);

    autoPlay_ = new QCheckBox(tableText(str::SettingsAutoPlay), this);
    autoPlay_->setObjectName("autoPlay");
    autoJump_ = new QCheckBox(tableText(str::SettingsAutoJumpSlide), this);
    autoJump_->setObjectName("autoJump");
    autoLoop_ = new QCheckBox(tableText(str::SettingsAutoLoop), this);
    autoLoop_->setObjectName("autoLoop");
    for (QCheckBox* box : {autoPlay_, autoJump_, autoLoop_})
        connect(box, &QCheckBox::clicked, this, [this] {
            logic_.setCheckBoxes(autoPlay_->isChecked(), autoLoop_->isChecked(), autoJump_->isChecked());
        });

    auto* defaults = new QPushButton(tableText(str::SettingsDefaultButton), this);
    defaults->setObjectName("default");
    connect(defaults, &QPushButton::clicked, this, [this] { logic_.loadDefaults(); });


    auto* switches = new QHBoxLayout;
    switches->addWidget(autoPlay_);
    switches->addWidget(autoJump_);
    switches->addWidget(autoLoop_);
    switches->addStretch(1);
    switches->addWidget(defaults);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts);
    layout->addLayout(switches);
    addOkCancelButtons(*this, *layout);
    showFields();
    logic_.setViewChanged([this] { showFields(); });
}

ProjectSettingsDialog::~ProjectSettingsDialog()
{
    logic_.setViewChanged({});
}

void ProjectSettingsDialog::showFields()
{
    for (int i = 0; i < 3; ++i) {
        const FontSpec& font = logic_.font(static_cast<TextKind>(i));
        QFont shown(QString::fromStdString(font.faceName()));
        shown.setBold(font.bold != 0);
        shown.setItalic(font.italic != 0);
        shown.setUnderline(font.underline != 0);
        fontLabels_[i]->setFont(shown);
        fontLabels_[i]->setText(QString::fromStdString(font.faceName()) + ' ' + QString::number(font.size));
        QPalette palette = fontLabels_[i]->palette();
        palette.setColor(QPalette::WindowText, toQColor(font.colour));
        fontLabels_[i]->setPalette(palette);
    }
    const QSignalBlocker blockPlay(autoPlay_), blockLoop(autoLoop_), blockJump(autoJump_);
    autoPlay_->setChecked(logic_.autoPlay());
    autoLoop_->setChecked(logic_.autoLoop());
    autoJump_->setChecked(logic_.autoJump());
    autoLoop_->setEnabled(logic_.autoLoopEnabled());
}

void ProjectSettingsDialog::accept()
{
    logic_.accept();
    QDialog::accept();
}

bool runProjectSettingsDialog(QWidget* parent, ProjectDocument& document, const TemplateLibrary& library,
                              bool& templateDefaultsPending)
{
    ProjectSettingsLogic logic(document.settings(), [&document] { document.setDirty(true); }, templateDefaultsPending, library, document.ui());
    logic.open();
    ProjectSettingsDialog dialog(logic, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace pavonia
