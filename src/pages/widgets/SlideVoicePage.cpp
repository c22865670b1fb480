#include "pages/widgets/SlideVoicePage.h"

#include "pages/ImageCache.h"
#include "pages/widgets/PictureFrame.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "voice/VoiceFilterDialogLogic.h"
#include "voice/widgets/TalkingImagePlayer.h"
#include "voice/widgets/VoiceFilterDialog.h"
#include "voice/widgets/WaveView.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>


namespace pavonia {

namespace {

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

constexpr QSize kLargeFrame{288, 216};
constexpr QSize kSmallFrame{90, 68};
constexpr QSize kPlayerSize{176, 176};

enum class Glyph { Record, Filter, Sync, Preview };

// The page's own button pictures, drawn once at the size the buttons show.
QIcon glyph(Glyph kind)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case Glyph::Record:
        p.setPen(QPen(QColor(120, 0, 0), 1));
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QRectF(4, 4, 16, 16));
        break;
    case Glyph::Filter:
        p.setPen(QPen(QColor(40, 40, 40), 2));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(6 + 6 * i, 4), QPointF(6 + 6 * i, 20));
        p.setBrush(QColor(60, 120, 220));
        p.drawRect(QRectF(3, 13, 6, 4));
        p.drawRect(QRectF(9, 6, 6, 4));
        p.drawRect(QRectF(15, 11, 6, 4));
        break;
    case Glyph::Sync: {
        p.setPen(QPen(QColor(30, 110, 60), 2));
        p.drawRect(QRectF(3, 6, 9, 12));
        p.drawRect(QRectF(13, 6, 8, 12));
        p.setPen(QPen(QColor(220, 30, 30), 2));
        p.drawLine(QPointF(12.5, 2), QPointF(12.5, 22));
        break;
    }
    case Glyph::Preview: {
        p.setPen(QPen(QColor(30, 60, 140), 1.5));
        p.setBrush(QColor(200, 220, 250));
        p.drawRect(QRectF(2, 4, 20, 16));
        QPainterPath play;
        play.moveTo(9, 8);
        play.lineTo(17, 12);
        play.lineTo(9, 16);
        play.closeSubpath();
        p.fillPath(play, QColor(30, 60, 140));
        break;
    }
    }
    return QIcon(pixmap);
}

QToolButton* iconButton(const char* name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(false);
    button->setMinimumWidth(64);
    return button;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

// The talking-image player widget as the page's logic drives it.
class PagePlayer final : public TalkingPlayer {
public:
    explicit PagePlayer(TalkingImagePlayer& player) : player_(player) {}
    void loadImage(const std::string& path) override { player_.loadTalkingImage(path); }
    void loadMessage(const std::string& path) override { player_.loadTalkingMessage(path); }
    std::string currentImage() const override { return player_.currentImageFile(); }
    std::string currentMessage() const override { return player_.currentMessageFile(); }
    void showFrame(const LipSyncFrame& frame) override
    {
        player_.setFrame(frame);
        player_.showFrame();
    }
    void startAnimation() override { player_.startAnimation(); }
    void stopAnimation() override { player_.stopAnimation(); }

private:
    TalkingImagePlayer& player_;
};

SlideVoicePage::SlideVoicePage(ProjectDocument& document, std::unique_ptr<AudioDevice> device, ImageCache& cache,
                               std::optional<Failure> deviceProblem, QWidget* parent)
    : QWidget(parent),
      document_(document),
      device_(std::move(device)),
      engine_(std::make_unique<VoiceEngine>(*device_, document.installationFolder())),
      cache_(cache),
      deviceProblem_(std::move(deviceProblem))
{
    setObjectName("slideVoicePage");
    buildControls();
    playerAdapter_ = std::make_unique<PagePlayer>(*player_);
    logic_ = std::make_unique<SlideVoiceLogic>(document_, *engine_, *playerAdapter_);
    logic_->setViewChanged([this] { showState(); });
    setApplyRecordingPrompt({});
    runVoiceFilter_ = [this](VoiceFilterDialogLogic& filter) { runVoiceFilterDialog(this, filter); };
    setExternalEditor({});
    watchKeys(this);
    showState();
}

SlideVoicePage::~SlideVoicePage()
{
    logic_->setViewChanged({});
    // A recording still running is dropped with the page; the window asks
    // about it before it closes (leave()).
    logic_->cancelRecording();
}

void SlideVoicePage::buildControls()
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(6);

    // Left: the picture strip.
    auto* strip = new QVBoxLayout;
    auto* head = new QHBoxLayout;
    importMedia_ = new QPushButton(text(str::VoicePageImportMedia));
    importMedia_->setObjectName("importMedia");
    number_ = new QLabel;
    number_->setObjectName("pictureNumber");
    number_->setMinimumWidth(number_->fontMetrics().horizontalAdvance("000 / 000"));
    number_->setAlignment(Qt::AlignCenter);
    subTopic_ = new QLabel;
    subTopic_->setObjectName("subTopic");
    subTopic_->setMinimumWidth(60);
    subTopic_->setTextFormat(Qt::PlainText);
    subTopic_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    head->addWidget(importMedia_);
    head->addWidget(number_);
    head->addWidget(subTopic_, 1);
    strip->addLayout(head);

    large_ = new PictureFrame(cache_, kLargeOutput);
    large_->setObjectName("largePicture");
    large_->setFixedSize(kLargeFrame);
    large_->setCursor(Qt::PointingHandCursor);
    strip->addWidget(large_);

    auto* below = new QHBoxLayout;
    below->setSpacing(4);
    for (std::size_t i = 0; i < small_.size(); ++i) {
        small_[i] = new PictureFrame(cache_, kSmallOutput);
        small_[i]->setObjectName(QString("smallPicture%1").arg(i));
        small_[i]->setFixedSize(kSmallFrame);
        below->addWidget(small_[i]);
    }
    below->addSpacing(8);
    auto* move = new QVBoxLayout;
    auto* arrows = new QHBoxLayout;
    previous_ = iconButton("previousImage", this);
    previous_->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    previous_->setToolTip(text(str::VoicePagePreviousImage));
    previous_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    previous_->setMinimumWidth(0);
    next_ = iconButton("nextImage", this);
    next_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    next_->setToolTip(text(str::VoicePageNextImage));
    next_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    next_->setMinimumWidth(0);
    arrows->addWidget(previous_);
    arrows->addWidget(next_);
    arrows->addStretch(1);
    nextSlide_ = new QPushButton(text(str::VoicePageNextSlide));
    nextSlide_->setObjectName("nextSlide");
    nextSlide_->setStyleSheet("font-weight: bold");
    // The strip keeps its place whether "Next Slide" shows or not.
    QSizePolicy keep = nextSlide_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    nextSlide_->setSizePolicy(keep);
    move->addLayout(arrows);
    move->addWidget(nextSlide_);
    below->addLayout(move, 1);
    layout->addLayout(strip, 0, 0);
    layout->addLayout(below, 1, 0, 1, 2);

    // Right: the talking image and the talking message.
    auto* talking = new QVBoxLayout;
    player_ = new TalkingImagePlayer(document_.clock(), 7, this);
    player_->setObjectName("talkingImagePlayer");
    player_->setFixedSize(kPlayerSize);
    player_->applyInitialValues();
    talking->addWidget(player_, 0, Qt::AlignHCenter);
    auto row = [&](QLabel*& label, int name, QPushButton*& import, const char* importName, QPushButton*& edit,
                   const char* editName) {
        auto* line = new QHBoxLayout;
        label = new QLabel(text(name));
        import = new QPushButton(text(str::VoicePageImport));
        import->setObjectName(importName);
        edit = new QPushButton(text(str::VoicePageEdit));
        edit->setObjectName(editName);
        line->addWidget(label, 1);
        line->addWidget(import);
        line->addWidget(edit);
        talking->addLayout(line);
    };
    QLabel* imageLabel = nullptr;
    row(imageLabel, str::VoicePageTalkingImage, imageImport_, "imageImport", imageEdit_, "imageEdit");
    row(messageLabel_, str::VoicePageTalkingMessage, messageImport_, "messageImport", messageEdit_, "messageEdit");
    talking->addStretch(1);
    layout->addLayout(talking, 0, 1);

    // Below: the wave, the time and the voice buttons.
    wave_ = new WaveView;
    wave_->setFixedHeight(56);
    layout->addWidget(wave_, 2, 0, 1, 2);

    auto* voice = new QHBoxLayout;
    time_ = new QLabel;
    time_->setObjectName("timeDisplay");
    time_->setMinimumWidth(time_->fontMetrics().horizontalAdvance("0000.00 / 0000.00 sec."));
    voice->addWidget(time_);
    voice->addStretch(1);
    mute_ = iconButton("mute", this);
    record_ = iconButton("record", this);
    pause_ = iconButton("pause", this);
    sync_ = iconButton("sync", this);
    preview_ = iconButton("preview", this);
    preview_->setMinimumWidth(0);
    voiceFilter_ = iconButton("voiceFilter", this);
    voiceFilter_->setIcon(glyph(Glyph::Filter));
    voiceFilter_->setText(text(str::VoicePageVoiceFilter));
    voiceFilter_->setToolTip(text(str::VoicePageVoiceFilter));
    for (QToolButton* button : {mute_, record_, pause_, sync_, preview_, voiceFilter_})
        voice->addWidget(button);
    layout->addLayout(voice, 3, 0, 1, 2);
    layout->setRowStretch(4, 1);

    connect(importMedia_, &QPushButton::clicked, this, [this] {
        stopPlayback();
        emit importMediaRequested();
    });
    connect(large_, &PictureFrame::clicked, this, [this] { logic_->nextSlide(); });
    connect(previous_, &QToolButton::clicked, this, [this] { logic_->previousImage(); });
    connect(next_, &QToolButton::clicked, this, [this] { logic_->nextImage(); });
    connect(nextSlide_, &QPushButton::clicked, this, [this] { logic_->nextSlide(); });
    connect(mute_, &QToolButton::clicked, this, [this] { logic_->clickMute(); });
    connect(record_, &QToolButton::clicked, this, [this] { logic_->clickRecord(); });
    connect(pause_, &QToolButton::clicked, this, [this] { logic_->clickPause(); });
    connect(sync_, &QToolButton::clicked, this, [this] { logic_->clickSync(); });
    connect(preview_, &QToolButton::clicked, this, [this] { logic_->clickPreview(); });
    connect(voiceFilter_, &QToolButton::clicked, this, [this] { openVoiceFilter(); });
    connect(imageImport_, &QPushButton::clicked, this, [this] { importTalkingImage(); });
    connect(imageEdit_, &QPushButton::clicked, this, [this] { clickEdit(0); });
    connect(messageImport_, &QPushButton::clicked, this, [this] {
        if (!logic_->session())
            return;
        logic_->stopPlayback();
        if (document_.message(StringTable::text(str::VoiceReplaceMessage), Buttons::OkCancel) != Answer::Ok)
            return;
        if (const auto path = chooseContent(1))
            logic_->setTalkingMessage(*path);
    });
    connect(messageEdit_, &QPushButton::clicked, this, [this] { clickEdit(1); });
}

void SlideVoicePage::watchKeys(QWidget* widget)
{
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool SlideVoicePage::eventFilter(QObject* watched, QEvent* event)
{
    // Releasing Enter anywhere on the page takes the next sync mark, as
    // "Next Slide" does, while marks are being taken.
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat() &&
            logic_->syncing() && logic_->controls().nextSlideVisible) {
            logic_->nextSlide();
            return true;
        }
    }
    // Enter pressed on a focused button would click it as well.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && logic_->syncing())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SlideVoicePage::setOutputSizes()
{
    cache_.setOutputSize(kLargeOutput, large_->size() - QSize(4, 4));
    cache_.setOutputSize(kSmallOutput, small_[0]->size() - QSize(4, 4));
}

void SlideVoicePage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setOutputSizes();
}

void SlideVoicePage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    setOutputSizes();
}

void SlideVoicePage::setApplyRecordingPrompt(std::function<Answer()> prompt)
{
    if (!prompt) {
        prompt = [this] {
            QMessageBox box(QMessageBox::Question, text(str::AppTitle), text(str::VoiceRecordFinished),
                            QMessageBox::NoButton, this);
            QPushButton* apply = box.addButton(text(str::VoiceRecordApply), QMessageBox::AcceptRole);
            box.addButton(text(str::VoiceRecordCancel), QMessageBox::RejectRole);
            box.setDefaultButton(apply);
            box.exec();
            return box.clickedButton() == apply ? Answer::Ok : Answer::Cancel;
        };
    }
    logic_->setApplyRecordingPrompt(std::move(prompt));
}

void SlideVoicePage::setExternalEditor(ExternalEditor editor)
{
    externalEditor_ = std::move(editor);
    const bool present = bool(externalEditor_);
    imageEdit_->setVisible(present);
    messageLabel_->setVisible(present);
    messageImport_->setVisible(present);
    messageEdit_->setVisible(present);
}

void SlideVoicePage::setImportMediaAllowed(bool allowed)
{
    importMediaAllowed_ = allowed;
    showState();
}

// ---------------------------------------------------------------------------
// The window's calls

void SlideVoicePage::showSession(TreeItem* item)
{
    if (deviceProblem_) {
        // Shown once: the page works without sound, and each attempt to
        // play or record says why it cannot start.
        const Failure problem = *deviceProblem_;
        deviceProblem_.reset();
        showFailure(document_.ui(), problem);
    }
    logic_->showSession(item);
    wave_->setVoice(engine_->message().voice, true);
    showState();
}

void SlideVoicePage::stopPlayback() { logic_->stopPlayback(); }

bool SlideVoicePage::leave() { return logic_->leave(); }

void SlideVoicePage::forgetSession()
{
    logic_->cancelRecording();
    logic_->forgetSession();
    showState();
}

std::optional<std::string> SlideVoicePage::chooseFile(int title, int filter, std::string& folder)
{
    FileDialogOptions options;
    options.title = StringTable::text(title);
    options.filter = StringTable::text(filter);
    options.startFolder = folder;
    options.mustExist = true;
    const auto chosen = document_.ui().openFileDialog(options);
    if (!chosen || chosen->empty())
        return std::nullopt;
    folder = folderOf(chosen->front());
    return chosen->front();
}

void SlideVoicePage::importWave()
{
    if (!logic_->session())
        return;
    logic_->stopPlayback();
    if (const auto path = chooseFile(str::ImportWaveTitle, str::VoiceWaveFilter, waveFolder_)) {
        BusyCursor busy(document_.ui());
        logic_->importVoice(*path);
        wave_->setVoice(engine_->message().voice, true);
    }
}

void SlideVoicePage::importTalkingImage()
{
    if (!logic_->session())
        return;
    logic_->stopPlayback();
    if (const auto path = chooseContent(0))
        logic_->setTalkingImage(*path);
}

void SlideVoicePage::importTalkingMessage()
{
    if (!logic_->session())
        return;
    logic_->stopPlayback();
    if (const auto path = chooseContent(1))
        logic_->setTalkingMessage(*path);
}

std::optional<std::string> SlideVoicePage::chooseContent(int kind)
{
    std::string& folder = kind == 0 ? imageFolder_ : messageFolder_;
    if (!chooseContent_)
        return kind == 0 ? chooseFile(str::ImportTalkingImageTitle, str::TalkingImageFilter, folder)
                         : chooseFile(str::ImportTalkingMessageTitle, str::TalkingMessageFilter, folder);
    std::optional<std::string> chosen = chooseContent_(kind, folder);
    if (chosen)
        folder = folderOf(*chosen);
    return chosen;
}

void SlideVoicePage::clickEdit(int kind)
{
    if (!logic_->session() || !externalEditor_)
        return;
    const std::string file = logic_->prepareExternalEdit(kind);
    if (file.empty())
        return;
    const SessionData& session = *logic_->session()->session();
    if (!externalEditor_(kind, session.talkingImagePath, session.talkingMessagePath))
        document_.message(StringTable::format(str::ExternalEditorFailed, {file}));
}

void SlideVoicePage::editorClosed(int kind)
{
    logic_->externalEditorClosed(kind);
    wave_->setVoice(engine_->message().voice, true);
}

void SlideVoicePage::openVoiceFilter()
{
    if (!logic_->session() || !logic_->controls().voiceFilter)
        return;
    logic_->stopPlayback();
    VoiceFilterDialogLogic filter(document_.installationFolder(), *engine_, document_.ui());
    filter.open();
    // While the dialog is open the engine's stop notification ends its preview.
    logic_->setPlayStoppedListener([&filter] { filter.previewStopped(); });
    runVoiceFilter_(filter);
    logic_->setPlayStoppedListener({});
    if (filter.accepted())
        logic_->voiceFilterApplied();
    wave_->setVoice(engine_->message().voice, true);
}

// ---------------------------------------------------------------------------
// Showing the state

void SlideVoicePage::showState()
{
    const SlideVoiceLogic& logic = *logic_;
    const SlideVoiceLogic::Controls& c = logic.controls();
    const bool session = logic.session() != nullptr;

    // The picture strip: the current picture large and small, the next two
    // small, and the two after the current one decoded ahead.
    const std::vector<std::string>& pictures = logic.pictures();
    const int current = logic.currentPicture();
    auto pictureAt = [&](int i) {
        return i >= 0 && i < int(pictures.size()) ? QString::fromStdString(pictures[std::size_t(i)]) : QString();
    };
    large_->setPicture(pictureAt(current));
    large_->setOccupied(!pictures.empty());
    for (int i = 0; i < int(small_.size()); ++i) {
        small_[std::size_t(i)]->setPicture(pictureAt(current + i));
        small_[std::size_t(i)]->setOccupied(current + i < int(pictures.size()));
    }
    small_[0]->setMarked(!pictures.empty());
    QStringList ahead;
    for (int i = current + 1; i <= current + 2; ++i)
        if (const QString path = pictureAt(i); !path.isEmpty())
            ahead << path;
    if (!ahead.isEmpty())
        cache_.prepare(ahead);
    number_->setText(QString::fromStdString(logic.pictureNumberText()));
    const std::vector<std::string>& topics = logic.subTopics();
    subTopic_->setText(current >= 0 && current < int(topics.size())
                           ? QString::fromStdString(topics[std::size_t(current)])
                           : QString());

    previous_->setEnabled(c.previousImage);
    next_->setEnabled(c.nextImage);
    nextSlide_->setVisible(c.nextSlideVisible);
    importMedia_->setEnabled(session && c.importMedia && importMediaAllowed_);

    auto voiceButton = [&](QToolButton* button, bool enabled, int tip, QIcon icon) {
        button->setEnabled(session && enabled);
        button->setToolTip(text(tip));
        button->setText(text(tip));
        button->setIcon(icon);
    };
    QStyle* s = style();
    voiceButton(mute_, c.mute, c.muteTip,
                s->standardIcon(logic.muted() ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    voiceButton(record_, c.record || logic.mode() == SlideVoiceLogic::Mode::Record, c.recordTip,
                c.recordTip == str::VoiceTipStop ? s->standardIcon(QStyle::SP_MediaStop) : glyph(Glyph::Record));
    voiceButton(pause_, c.pause, c.pauseTip,
                s->standardIcon(c.pauseTip == str::VoiceTipContinue ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
    voiceButton(sync_, c.sync || logic.mode() == SlideVoiceLogic::Mode::Sync, c.syncTip,
                c.syncTip == str::VoiceTipStop ? s->standardIcon(QStyle::SP_MediaStop) : glyph(Glyph::Sync));
    voiceButton(preview_, c.preview || logic.mode() == SlideVoiceLogic::Mode::Preview, c.previewTip,
                c.previewTip == str::VoiceTipStop ? s->standardIcon(QStyle::SP_MediaStop) : glyph(Glyph::Preview));
    voiceFilter_->setEnabled(session && c.voiceFilter);

    imageImport_->setEnabled(session && c.imageButtons);
    imageEdit_->setEnabled(session && c.imageButtons);
    messageImport_->setEnabled(session && c.messageButtons);
    messageEdit_->setEnabled(session && c.messageButtons);

    time_->setText(QString::fromStdString(logic.timeText()));
    wave_->setVoice(engine_->message().voice);
    wave_->setMarks(logic.marks());
    wave_->setPosition(engine_->IsPlayAll() || engine_->IsPlaySelection() ? engine_->position() : -1);
}

} // namespace pavonia
