#include "pages/widgets/MediaPage.h"

#include "pages/widgets/PictureDialog.h"
#include "platform/StringTable.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString tableText(int id)
{
    return QString::fromStdString(StringTable::text(id));
}

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

MediaPreviewFrame::MediaPreviewFrame(QWidget* parent) : QFrame(parent)
{
    setObjectName("mediaPreview");
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setFixedSize(MediaPage::kPreviewSize + QSize(2 * frameWidth(), 2 * frameWidth()));
}

void MediaPreviewFrame::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void MediaPreviewFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    QRect place(QPoint(), picture_.size().boundedTo(contentsRect().size()));
    place.moveCenter(contentsRect().center());
    painter.drawImage(place, picture_);
}

void MediaPreviewFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

MediaPage::MediaPage(ProjectDocument& document, const TemplateLibrary& library, const LayoutLayers& layers,
                     Shell& shell, ImageCache& cache, QWidget* parent)
    : QWidget(parent), logic_(document, library, layers, shell), cache_(cache)
{
    setObjectName("mediaPage");
    cache_.setOutputSize(kPreviewOutput, kPreviewSize);

    subTopic_ = new QLineEdit(this);
    subTopic_->setObjectName("subTopic");
    subTopic_->setMaxLength(128);
    description_ = new QPlainTextEdit(this);
    description_->setObjectName("description");
    urlLink_ = new QPushButton(tableText(str::MediaUrlLink), this);
    urlLink_->setObjectName("urlLink");
    import_ = new QPushButton(tableText(str::MediaImport), this);
    import_->setObjectName("import");
    transitions_ = new QComboBox(this);
    transitions_->setObjectName("transition");
    delay_ = new QLineEdit(this);
    delay_->setObjectName("delay");
    delay_->setMaximumWidth(80);
    delay_->installEventFilter(this);
    preview_ = new MediaPreviewFrame(this);

    auto* texts = new QGridLayout;
    texts->addWidget(new QLabel(tableText(str::SettingsSubTopic), this), 0, 0);
    texts->addWidget(subTopic_, 0, 1, 1, 2);
    texts->addWidget(new QLabel(tableText(str::SettingsDescription), this), 1, 0, Qt::AlignTop);
    texts->addWidget(description_, 1, 1, 1, 2);
    texts->addWidget(urlLink_, 2, 2, Qt::AlignRight);
    texts->setColumnStretch(1, 1);

    auto* media = new QGridLayout;
    media->addWidget(new QLabel(tableText(str::InfoColumnMedia), this), 0, 0);
    media->addWidget(import_, 0, 1, Qt::AlignLeft);
    media->addWidget(new QLabel(tableText(str::InfoColumnTransition), this), 1, 0);
    media->addWidget(transitions_, 1, 1);
    media->addWidget(new QLabel(tableText(str::MediaDelay), this), 2, 0);
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(delay_);
    delayRow->addWidget(new QLabel(tableText(str::MediaSeconds), this));
    delayRow->addStretch(1);
    media->addLayout(delayRow, 2, 1);
    media->setRowStretch(3, 1);

    auto* lower = new QHBoxLayout;
    lower->addLayout(media, 1);
    lower->addWidget(preview_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(texts, 1);
    layout->addLayout(lower);
    setFixedSize(600, 440);

    connect(subTopic_, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_.editSubTopic(text.toStdString());
    });
    connect(description_, &QPlainTextEdit::textChanged, this, [this] {
        if (!refreshing_)
            logic_.editDescription(description_->toPlainText().toStdString());
    });
    connect(delay_, &QLineEdit::textEdited, this, [this](const QString& text) {
        logic_.editDelay(text.toStdString());
        refresh(); // the field shows what the checks left, even when unchanged
    });
    connect(transitions_, &QComboBox::activated, this, [this](int position) { logic_.selectTransition(position); });
    connect(import_, &QPushButton::clicked, this, [this] { logic_.chooseMedia(); });
    connect(urlLink_, &QPushButton::clicked, this, [this] { logic_.linkUrl(); });
    connect(preview_, &MediaPreviewFrame::doubleClicked, this, [this] { logic_.openMedia(); });
    connect(&cache_, &ImageCache::pictureReady, this, [this](const QString& path) {
        if (path.toStdString() == logic_.previewPicture())
            refreshPreview();
    });

    logic_.setMediaDialog([this](const FileDialogOptions& options) { return runPictureDialog(this, options); });
    logic_.setUrlDialog([this] { return askUrl(); });
    logic_.setViewChanged([this] { refresh(); });
    logic_.initialise();
    refresh();
}

void MediaPage::showSlide(TreeItem* item)
{
    logic_.showSlide(item);
    refresh();
}

void MediaPage::leave()
{
    // A delay being typed is taken as the focus would take it.
    if (delay_->hasFocus())
        logic_.leaveDelay();
    logic_.clearSlide();
}

bool MediaPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == delay_ && event->type() == QEvent::FocusOut)
        logic_.leaveDelay();
    return QWidget::eventFilter(watched, event);
}

void MediaPage::refresh()
{
    refreshing_ = true;
    if (subTopic_->text() != qt(logic_.subTopic()))
        subTopic_->setText(qt(logic_.subTopic()));
    if (description_->toPlainText() != qt(logic_.description()))
        description_->setPlainText(qt(logic_.description()));
    if (delay_->text() != qt(logic_.delayText()))
        delay_->setText(qt(logic_.delayText()));
    const auto& entries = logic_.transitions();
    if (transitions_->count() != int(entries.size())) {
        const QSignalBlocker block(transitions_);
        transitions_->clear();
        for (const TransitionEntry& entry : entries)
            transitions_->addItem(qt(entry.name));
    }
    transitions_->setCurrentIndex(logic_.selectedTransition());
    subTopic_->setEnabled(logic_.subTopicEnabled());
    description_->setEnabled(logic_.descriptionEnabled());
    import_->setEnabled(logic_.mediaEnabled());
    transitions_->setEnabled(logic_.transitionEnabled());
    preview_->setEnabled(logic_.mediaEnabled());
    refreshing_ = false;
    refreshPreview();
}

void MediaPage::refreshPreview()
{
    const std::string& picture = logic_.previewPicture();
    preview_->setPicture(picture.empty() || !logic_.mediaEnabled() ? QImage()
                                                                    : cache_.picture(qt(picture), kPreviewOutput));
}

std::optional<std::string> MediaPage::askUrl()
{
    QDialog dialog(this);
    dialog.setObjectName("openUrlDialog");
    dialog.setWindowTitle(tableText(str::OpenUrl));
    auto* field = new QLineEdit("http://", &dialog);
    field->setObjectName("url");
    field->setMinimumWidth(360);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(tableText(str::OkButton), QDialogButtonBox::AcceptRole);
    QPushButton* open = buttons->addButton(tableText(str::OpenUrl), QDialogButtonBox::ActionRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(open, &QPushButton::clicked, &dialog, [this, field] { logic_.openUrl(field->text().toStdString()); });
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(field);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text().toStdString();
}

} // namespace pavonia
