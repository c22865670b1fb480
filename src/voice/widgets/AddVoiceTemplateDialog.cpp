#include "voice/widgets/AddVoiceTemplateDialog.h"

#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

} // namespace

AddVoiceTemplateDialog::AddVoiceTemplateDialog(AddVoiceTemplateLogic& logic, QWidget* parent)
    : QDialog(parent), logic_(logic)
{
    setObjectName("addVoiceTemplateDialog");
    setWindowTitle(text(str::AddTemplateCaption));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(text(str::AddTemplatePrompt));
    name_ = new QLineEdit(QString::fromStdString(logic_.name()));
    name_->setObjectName("templateName");
    name_->setMaxLength(int(AddVoiceTemplateLogic::kFieldLength));
    name_->selectAll();
    name_->setMinimumWidth(260);
    prompt->setBuddy(name_);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(text(str::ButtonOk), QDialogButtonBox::AcceptRole)->setObjectName("ok");
    buttons->addButton(text(str::ButtonCancel), QDialogButtonBox::RejectRole)->setObjectName("cancel");
    layout->addWidget(prompt);
    layout->addWidget(name_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(name_, &QLineEdit::textEdited, this, [this](const QString& value) {
        logic_.setName(value.toStdString());
        if (name_->text().toStdString() != logic_.name())
            name_->setText(QString::fromStdString(logic_.name()));
    });
}

void AddVoiceTemplateDialog::accept()
{
    logic_.setName(name_->text().toStdString());
    if (logic_.ok())
        QDialog::accept();
}

} // namespace pavonia
