#include "album/widgets/ContentAlbumDialog.h"

#include "album/widgets/AlbumView.h"
#include "album/widgets/TpsPreview.h"
#include "platform/DesktopShell.h"
#include "platform/StringTable.h"
#include "voice/audio/QtAudioDevice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

// Message boxes over the dialog, for callers that bring no Ui of their own.
class DialogUi final : public Ui {
public:
    explicit DialogUi(QWidget*& parent) : parent_(parent) {}
    Answer messageBox(const std::string& message, const std::string& caption, Buttons) override
    {
        QMessageBox::information(parent_, QString::fromStdString(caption), QString::fromStdString(message));
        return Answer::Ok;
    }
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override { return std::nullopt; }

private:
    QWidget*& parent_;
};

} // namespace

ContentAlbumDialog::ContentAlbumDialog(ContentAlbumLogic& logic, AudioDevice* audio, QWidget* parent)
    : QDialog(parent), logic_(logic)
{
    setWindowTitle(QString::fromStdString(logic_.caption()));
    const AlbumSetup setup = logic_.setup();

    // The album over its frame; without a library the frame stays empty.
    frame_ = new QFrame(this);
    frame_->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    auto* candidate = new AlbumView(setup, frame_);
    if (candidate->isLoaded()) {
        album_ = candidate;
        frameLayout->addWidget(album_);
    } else {
        // Says why the album is missing, in place of the album.
        frameLayout->addWidget(candidate);
        candidate->setMinimumSize(candidate->naturalSize() / 2);
    }

    preview_ = new TpsPreview(logic_.installationFolder(), audio, this);
    previewBox_ = new QCheckBox(text(str::AlbumPreview), this);
    previewBox_->setObjectName(QStringLiteral("previewBox"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("fileName"));
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("fileType"));
    type_->addItem(QString::fromStdString(logic_.typeEntry()));
    type_->setCurrentIndex(0);
    open_ = new QPushButton(text(str::OpenButton), this);
    open_->setObjectName(QStringLiteral("open"));
    open_->setDefault(true);
    cancel_ = new QPushButton(text(str::ButtonCancel), this);
    cancel_->setObjectName(QStringLiteral("cancel"));

    auto* top = new QHBoxLayout;
    top->addWidget(frame_, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(preview_);
    side->addWidget(previewBox_);
    side->addStretch(1);
    top->addLayout(side);
    preview_->setVisible(logic_.previewShown());
    previewBox_->setVisible(logic_.previewShown());

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(text(str::AlbumFileName), this), 0, 0);
    fields->addWidget(name_, 0, 1);
    fields->addWidget(open_, 0, 2);
    fields->addWidget(new QLabel(text(str::AlbumFileType), this), 1, 0);
    fields->addWidget(type_, 1, 1);
    fields->addWidget(cancel_, 1, 2);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(fields);

    logic_.open(album_, *preview_);
    previewBox_->setChecked(logic_.previewChecked());
    showState();
    logic_.setViewChanged([this] { showState(); });

    connect(name_, &QLineEdit::textEdited, this, [this](const QString& typed) { logic_.editName(typed.toStdString()); });
    connect(previewBox_, &QCheckBox::toggled, this, [this](bool on) { logic_.setPreviewChecked(on); });
    connect(open_, &QPushButton::clicked, this, &ContentAlbumDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &ContentAlbumDialog::reject);
    if (album_) {
        connect(album_, &AlbumView::selectionChanged, this,
                [this](const QString& path) { logic_.selectionChanged(path.toStdString()); });
        connect(album_, &AlbumView::itemActivated, this, [this](const QString& path) {
            if (logic_.itemActivated(path.toStdString()))
                accept();
        });
        connect(album_, &AlbumView::addFromWebRequested, this, [this] {
            if (logic_.addFromWeb())
                reject();
        });
        album_->grid()->setFocus();
        // A start on a file counts as its selection.
        if (!album_->selectionIsNotFile())
            logic_.selectionChanged(album_->selectedPath());
    }
}

ContentAlbumDialog::~ContentAlbumDialog() { logic_.setViewChanged({}); }

void ContentAlbumDialog::showState()
{
    if (name_->text().toStdString() != logic_.name())
        name_->setText(QString::fromStdString(logic_.name()));
    open_->setEnabled(logic_.okEnabled());
    if (previewBox_->isChecked() != logic_.previewChecked())
        previewBox_->setChecked(logic_.previewChecked());
}

void ContentAlbumDialog::accept()
{
    if (!open_->isEnabled() || !logic_.ok())
        return;
    QDialog::accept();
}

void ContentAlbumDialog::done(int result)
{
    // The preview goes quiet with the dialog, whichever way it closes.
    logic_.close();
    QDialog::done(result);
}

std::optional<std::string> runContentAlbum(QWidget* parent, const std::string& installationFolder, AlbumKind kind,
                                           const ContentAlbumServices& services)
{
    QWidget* boxParent = parent;
    DialogUi ownUi(boxParent);
    DesktopShell ownShell;
    EmptyRegistry noRegistry;
    std::unique_ptr<QtAudioDevice> ownAudio;
    AudioDevice* audio = services.audio;
    if (!audio && services.openSystemAudio && kind == AlbumKind::Messages) {
        if (Result<std::unique_ptr<QtAudioDevice>> device = QtAudioDevice::create())
            ownAudio = std::move(device.value());
        audio = ownAudio.get();
    }
    ContentAlbumLogic logic(installationFolder, kind, services.registry ? *services.registry : noRegistry,
                            services.shell ? *services.shell : ownShell, services.ui ? *services.ui : ownUi,
                            services.startFolder, services.startString);
    ContentAlbumDialog dialog(logic, audio, parent);
    boxParent = &dialog;
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return logic.result();
}

} // namespace pavonia
