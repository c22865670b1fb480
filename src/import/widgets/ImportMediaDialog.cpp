#include "import/widgets/ImportMediaDialog.h"

#include "platform/StringTable.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

} // namespace

ImportMediaDialog::ImportMediaDialog(Preferences& preferences, int importType, QWidget* parent)
    : QDialog(parent), logic_(preferences, importType)
{
    setWindowTitle(text(str::ImportMediaCaption));
    setObjectName("importMediaDialog");

    auto* where = new QGroupBox(this);
    auto* whereLayout = new QVBoxLayout(where);
    same_ = new QRadioButton(text(str::ImportToSameSession), where);
    same_->setObjectName("sameSession");
    each_ = new QRadioButton(text(str::ImportToEachSession), where);
    each_->setObjectName("eachSession");
    whereLayout->addWidget(same_);
    whereLayout->addWidget(each_);
    dontShow_ = new QCheckBox(text(str::ImportDontShowAgain), this);
    dontShow_->setObjectName("dontShowNextTime");

    connect(same_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            logic_.setImportType(0);
    });
    connect(each_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            logic_.setImportType(1);
    });
    connect(dontShow_, &QCheckBox::toggled, this, [this](bool on) { logic_.setDontShowNextTime(on); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(text(str::ButtonOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName("ok");
    ok->setDefault(true);
    buttons->addButton(text(str::ButtonCancel), QDialogButtonBox::RejectRole)->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        logic_.accept();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(dontShow_);
    layout->addWidget(buttons);
    setMinimumWidth(300);
    showState();
    logic_.setViewChanged([this] { showState(); });
}

void ImportMediaDialog::showState()
{
    const QSignalBlocker blockSame(same_);
    const QSignalBlocker blockEach(each_);
    const QSignalBlocker blockDontShow(dontShow_);
    same_->setChecked(logic_.importType() == 0);
    each_->setChecked(logic_.importType() == 1);
    dontShow_->setChecked(logic_.dontShowNextTime());
}

std::optional<int> runImportMediaDialog(QWidget* parent, Preferences& preferences, int importType)
{
    ImportMediaDialog dialog(preferences, importType, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.logic().importType();
}

} // namespace pavonia
