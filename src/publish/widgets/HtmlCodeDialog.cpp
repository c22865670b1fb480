#include "publish/widgets/HtmlCodeDialog.h"

#include "platform/StringTable.h"
#include "templates/widgets/DialogParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavonia {

HtmlCodeDialog::HtmlCodeDialog(HtmlCodeCopy& logic, RunLong runLong, QWidget* parent)
    : QDialog(parent), logic_(logic), runLong_(std::move(runLong))
{
    setWindowTitle(tableText(str::HtmlCodeCaption));
    setObjectName("htmlCodeDialog");

    auto* intro = new QLabel(tableText(str::HtmlCodeIntro), this);
    intro->setWordWrap(true);
    select_ = new QPushButton(tableText(str::HtmlCodeSelect), this);
    select_->setObjectName("select");
    select_->setDefault(true);
    select_->setAutoDefault(true);
    folder_ = new QLineEdit(this);
    folder_->setObjectName("folder");
    folder_->setReadOnly(true);
    process_ = new QPushButton(tableText(str::HtmlCodeProcess), this);
    process_->setObjectName("process");
    process_->setAutoDefault(false);
    code_ = new QPlainTextEdit(this);
    code_->setObjectName("code");
    code_->setReadOnly(true);
    code_->setMinimumHeight(70);
    copy_ = new QPushButton(tableText(str::HtmlCodeCopy), this);
    copy_->setObjectName("copy");
    copy_->setAutoDefault(false);
    auto* close = new QPushButton(tableText(str::HtmlCodeClose), this);
    close->setObjectName("close");
    close->setAutoDefault(false);

    connect(select_, &QPushButton::clicked, this, &HtmlCodeDialog::select);
    connect(process_, &QPushButton::clicked, this, &HtmlCodeDialog::process);
    connect(copy_, &QPushButton::clicked, this, &HtmlCodeDialog::copyCode);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* step1 = new QHBoxLayout;
    step1->addWidget(new QLabel(tableText(str::HtmlCodeStep1), this), 1);
    step1->addWidget(select_);
    auto* step2 = new QHBoxLayout;
    step2->addWidget(folder_, 1);
    step2->addWidget(process_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addSpacing(6);
    layout->addLayout(step1);
    layout->addWidget(new QLabel(tableText(str::HtmlCodeStep2), this));
    layout->addLayout(step2);
    layout->addSpacing(6);
    layout->addWidget(new QLabel(tableText(str::HtmlCodeStep3), this));
    layout->addWidget(code_, 1);
    layout->addLayout(buttons);
    setMinimumWidth(460);
    showState();
}

void HtmlCodeDialog::showState()
{
    folder_->setText(QString::fromStdString(logic_.folder()));
    process_->setEnabled(logic_.canProcess());
    code_->setPlainText(QString::fromStdString(logic_.code()));
    copy_->setEnabled(logic_.canCopy());
}

void HtmlCodeDialog::select()
{
    logic_.selectPage();
    showState();
}

void HtmlCodeDialog::process()
{
    if (!logic_.canProcess())
        return;
    const auto work = [this] { return logic_.process(); };
    if (runLong_)
        runLong_(logic_.folder() + logic_.fileName(), work);
    else
        work();
    showState();
}

void HtmlCodeDialog::copyCode()
{
    if (!logic_.canCopy())
        return;
    code_->setFocus();
    code_->selectAll();
    code_->ensureCursorVisible();
    code_->copy();
}

void runHtmlCodeDialog(QWidget* parent, HtmlCodeCopy& logic, const HtmlCodeDialog::RunLong& runLong)
{
    HtmlCodeDialog dialog(logic, runLong, parent);
    dialog.exec();
}

} // namespace pavonia
