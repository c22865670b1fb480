#include "app/widgets/StartupDialog.h"

#include "platform/StringTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

// For a new project the dialog ends this far below the top of the "Load
// Project" group, which is cut off.
constexpr int kShortenedMargin = 10;

} // namespace

StartupDialog::StartupDialog(const StartupDialogState& state, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(text(str::AppTitle));
    // The choices on the left, the buttons at the top right, so that the
    // shortened dialog of a new project keeps them.
    auto* layout = new QHBoxLayout(this);
    auto* choicesColumn = new QVBoxLayout;
    auto* buttonsColumn = new QVBoxLayout;
    layout->addLayout(choicesColumn, 1);
    layout->addLayout(buttonsColumn);

    auto* createGroup = new QGroupBox(text(str::StartupCreateNewProject));
    auto* createLayout = new QVBoxLayout(createGroup);
    templateButton_ = new QRadioButton(text(str::StartupTemplate));
    customButton_ = new QRadioButton(text(str::StartupCustom));
    createLayout->addWidget(templateButton_);
    createLayout->addWidget(customButton_);
    choicesColumn->addWidget(createGroup);

    loadGroup_ = new QGroupBox;
    auto* loadLayout = new QVBoxLayout(loadGroup_);
    loadButton_ = new QRadioButton(text(str::StartupLoadProject));
    loadLayout->addWidget(loadButton_);
    choicesColumn->addWidget(loadGroup_);
    showAtStartup_ = new QCheckBox(text(str::StartupShowAtStartup));
    showAtStartup_->setChecked(state.showAtStartup);
    choicesColumn->addWidget(showAtStartup_);
    choicesColumn->addStretch();

    auto* ok = new QPushButton(text(str::ButtonOk));
    auto* cancel = new QPushButton(text(str::ButtonCancel));
    ok->setDefault(true);
    buttonsColumn->addWidget(ok);
    buttonsColumn->addWidget(cancel);
    buttonsColumn->addStretch();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // One choice across both groups.
    auto* choices = new QButtonGroup(this);
    choices->addButton(templateButton_);
    choices->addButton(customButton_);
    choices->addButton(loadButton_);
    const StartupChoice choice =
        !state.atStartup && state.choice == StartupChoice::LoadProject ? StartupChoice::Template : state.choice;
    switch (choice) {
    case StartupChoice::Template: templateButton_->setChecked(true); break;
    case StartupChoice::Custom: customButton_->setChecked(true); break;
    case StartupChoice::LoadProject: loadButton_->setChecked(true); break;
    }

    if (!state.atStartup) {
        // A new project cannot be loaded from here: that part is disabled
        // and the dialog ends just below the top of its group.
        loadGroup_->setEnabled(false);
        showAtStartup_->setEnabled(false);
        // Laid out at full size first; the layout then lets go, so the
        // shorter window cuts the group off instead of squeezing it.
        resize(sizeHint());
        layout->setGeometry(QRect(QPoint(0, 0), size()));
        layout->setEnabled(false);
        setFixedSize(width(), loadGroup_->geometry().top() + kShortenedMargin);
    }
}

StartupDialogAnswer StartupDialog::answer() const
{
    StartupDialogAnswer answer;
    answer.choice = loadButton_->isChecked()     ? StartupChoice::LoadProject
                    : customButton_->isChecked() ? StartupChoice::Custom
                                                 : StartupChoice::Template;
    answer.showAtStartup = showAtStartup_->isChecked();
    return answer;
}

std::optional<StartupDialogAnswer> StartupDialog::ask(const StartupDialogState& state, QWidget* parent)
{
    StartupDialog dialog(state, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}

} // namespace pavonia
