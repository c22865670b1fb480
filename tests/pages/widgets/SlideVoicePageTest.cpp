// The slide voice page over a buffer sound device: what its buttons show,
// the sync example taken with the page's own "Next Slide", Enter and a
// click on the large picture, recording without an input device, and the
// question before a page with an unapplied recording is left.
#include "pages/widgets/SlideVoicePage.h"

#include "OffscreenApplication.h"
#include "TestProject.h"
#include "VoiceTestSounds.h"
#include "pages/ImageCache.h"
#include "pages/widgets/PictureFrame.h"
#include "voice/BufferAudioDevice.h"
#include "voice/LipSyncAnalyzer.h"
#include "voice/NoAudioDevice.h"
#include "voice/TpsFile.h"
#include "voice/WaveFile.h"
#include "voice/VoiceFilterDialogLogic.h"
#include "voice/widgets/WaveView.h"

#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia {
namespace {

void releaseEnter(QWidget* widget)
{
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

// A left click as the user makes it: press and release inside the widget.
void click(QWidget* widget)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

using test::voicedBursts;

class SlideVoicePageTest : public ::testing::Test, protected test::TestProject {
protected:
    SlideVoicePageTest() { document.workingFolder().reset(); }

    void makePage(std::unique_ptr<AudioDevice> device = nullptr, std::optional<Failure> problem = std::nullopt)
    {
        if (!device) {
            auto buffer = std::make_unique<BufferAudioDevice>();
            this->device = buffer.get();
            device = std::move(buffer);
        }
        page = std::make_unique<SlideVoicePage>(document, std::move(device), cache, problem);
        page->setApplyRecordingPrompt([this] {
            ++applyQuestions;
            return applyAnswer;
        });
        page->resize(page->sizeHint());
        page->show();
    }

    // A session whose slides show the pictures `colours` (one slide each),
    // with the default talking image and message.
    TreeItem* addSession(const std::vector<Qt::GlobalColor>& colours)
    {
        auto data = std::make_unique<SessionData>();
        data->talkingImagePath = document.workingFolder().sessionTalkingImageCopy();
        data->talkingMessagePath = document.workingFolder().sessionTalkingMessageCopy();
        TreeItem* item = document.tree().insertSession(nullptr, std::move(data), "Session");
        for (std::size_t i = 0; i < colours.size(); ++i) {
            auto slide = std::make_unique<SlideData>();
            slide->mediaPath = inst.root() + "picture" + std::to_string(i) + ".jpg";
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(colours[i]);
            EXPECT_TRUE(picture.save(QString::fromStdString(slide->mediaPath), "PNG"));
            slide->subTopic = "topic " + std::to_string(i);
            slide->delay = 3.0f;
            document.tree().insertSlide(*item, nullptr, std::move(slide), "Slide");
        }
        return item;
    }

    std::string messageFile(const std::string& name, std::int64_t ms)
    {
        const std::string path = inst.root() + name;
        EXPECT_TRUE(test::writeVoicedMessage(path, ms));
        return path;
    }

    // A session of `colours` with a message of `ms`, shown on the page.
    TreeItem* showVoicedSession(const std::vector<Qt::GlobalColor>& colours, std::int64_t ms)
    {
        TreeItem* session = addSession(colours);
        page->showSession(session);
        EXPECT_TRUE(page->logic().setTalkingMessage(messageFile("voice.tps", ms)));
        page->showSession(session);
        return session;
    }

    void run(std::int64_t ms)
    {
        for (std::int64_t t = 0; t < ms; t += 20)
            device->advance(20);
    }

    template <typename T>
    T* child(const char* name)
    {
        T* found = page->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    std::vector<float> delays(TreeItem* session)
    {
        std::vector<float> out;
        for (const auto& c : session->children())
            out.push_back(c->slide()->delay);
        return out;
    }

    ImageCache cache{10, QString::fromStdString(inst.folder() + "loading.jpg")};
    BufferAudioDevice* device = nullptr;
    std::unique_ptr<SlideVoicePage> page;
    int applyQuestions = 0;
    Answer applyAnswer = Answer::Ok;
};

TEST_F(SlideVoicePageTest, TheMuteButtonFollowsTheMessageSizeAndClosesTheVoiceButtons)
{
    makePage();
    struct Case {
        std::size_t size;
        bool muted;
    } cases[] = {{511, true}, {512, false}};
    for (const Case& c : cases) {
        TreeItem* session = addSession({Qt::red, Qt::green});
        const std::string& message = session->session()->talkingMessagePath;
        std::filesystem::resize_file(message, c.size);
        page->showSession(session);
        auto* mute = child<QToolButton>("mute");
        EXPECT_EQ(mute->toolTip().toStdString(), StringTable::text(c.muted ? str::VoiceTipMute : str::VoiceTipNoMute))
            << c.size;
        EXPECT_EQ(child<QToolButton>("record")->isEnabled(), !c.muted) << c.size;
        EXPECT_EQ(child<QToolButton>("preview")->isEnabled(), !c.muted) << c.size;
        EXPECT_EQ(child<QToolButton>("voiceFilter")->isEnabled(), !c.muted) << c.size;
        EXPECT_FALSE(child<QToolButton>("pause")->isEnabled());
        EXPECT_EQ(document.voiceImportAllowed(), !c.muted) << c.size;
    }
}

TEST_F(SlideVoicePageTest, SyncExampleWithNextSlideEnterAndAClickOnTheLargePicture)
{
    makePage();
    TreeItem* session = showVoicedSession({Qt::red, Qt::green, Qt::blue}, 9000);
    auto* sync = child<QToolButton>("sync");
    auto* nextSlide = child<QPushButton>("nextSlide");
    ASSERT_TRUE(sync->isEnabled());
    EXPECT_FALSE(nextSlide->isVisible());

    // Three ways to take a mark: the button, Enter released, a click on the picture.
    const std::vector<std::function<void()>> takeMark = {
        [&] { click(nextSlide); },
        [&] { releaseEnter(child<QToolButton>("sync")); },
        [&] { click(&page->largeFrame()); },
    };
    for (std::size_t way = 0; way + 1 < takeMark.size(); ++way) {
        for (std::size_t second = way + 1; second < takeMark.size(); ++second) {
            click(sync);
            ASSERT_EQ(page->logic().mode(), SlideVoiceLogic::Mode::Sync);
            EXPECT_EQ(sync->toolTip().toStdString(), StringTable::text(str::VoiceTipStop));
            EXPECT_TRUE(nextSlide->isVisible());
            EXPECT_FALSE(document.editingAllowed());
            run(2500);
            takeMark[way]();
            device->advance(0);
            EXPECT_EQ(child<QLabel>("pictureNumber")->text(), "2 / 3");
            EXPECT_EQ(child<QLabel>("subTopic")->text(), "topic 1");
            run(3500);
            takeMark[second]();
            device->advance(0);
            EXPECT_FALSE(nextSlide->isVisible()); // the last picture
            EXPECT_EQ(page->waveView().marks(), (std::vector<std::int64_t>{0, 2500, 6000}));
            EXPECT_GE(page->waveView().position(), 6000);
            run(3200);

            EXPECT_EQ(page->logic().marks(), (std::vector<std::int64_t>{0, 2500, 6000, 9000})) << way << second;
            EXPECT_EQ(delays(session), (std::vector<float>{2.5f, 3.5f, 3.0f})) << way << second;
            EXPECT_EQ(page->logic().mode(), SlideVoiceLogic::Mode::Idle);
            EXPECT_EQ(sync->toolTip().toStdString(), StringTable::text(str::VoiceTipSync));
            EXPECT_TRUE(document.editingAllowed());
            EXPECT_EQ(page->waveView().position(), -1);
            for (const auto& slide : session->children())
                slide->slide()->delay = 3.0f;
        }
    }
    // Outside sync, Enter and clicks take no marks.
    click(&page->largeFrame());
    releaseEnter(page.get());
    EXPECT_EQ(page->logic().marks(), (std::vector<std::int64_t>{0, 2500, 6000, 9000}));
}

TEST_F(SlideVoicePageTest, OneSlideSessionNeverOffersSync)
{
    makePage();
    showVoicedSession({Qt::red}, 3000);
    EXPECT_FALSE(child<QToolButton>("sync")->isEnabled());
    EXPECT_FALSE(child<QToolButton>("previousImage")->isEnabled());
    EXPECT_FALSE(child<QToolButton>("nextImage")->isEnabled());
    EXPECT_EQ(child<QLabel>("pictureNumber")->text(), "1 / 1");
    click(child<QToolButton>("record"));
    EXPECT_EQ(page->logic().mode(), SlideVoiceLogic::Mode::Record);
    EXPECT_FALSE(child<QPushButton>("nextSlide")->isVisible());
    EXPECT_FALSE(child<QToolButton>("sync")->isEnabled());
    page->logic().cancelRecording();
}

TEST_F(SlideVoicePageTest, WithoutASoundCardThePageLoadsSaysSoOnceAndEachStartSaysWhy)
{
    const Failure noCard(str::AudioNoDevice);
    makePage(std::make_unique<NoAudioDevice>(noCard), noCard);
    TreeItem* session = showVoicedSession({Qt::red, Qt::green}, 2000);
    ASSERT_EQ(ui.texts(), std::vector<std::string>{noCard.text()});
    page->showSession(session);
    EXPECT_EQ(ui.shown.size(), 1u); // once only

    struct Case {
        const char* button;
        int message;
    } cases[] = {{"record", str::VoiceRecordFailed}, {"preview", str::VoicePlaybackFailed},
                 {"sync", str::VoicePlaybackFailed}};
    for (const Case& c : cases) {
        ui.shown.clear();
        click(child<QToolButton>(c.button));
        EXPECT_EQ(page->logic().mode(), SlideVoiceLogic::Mode::Idle) << c.button;
        EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::format(c.message, {noCard.text()})}) << c.button;
        EXPECT_TRUE(child<QToolButton>(c.button)->isEnabled()) << c.button;
        EXPECT_TRUE(document.editingAllowed());
    }
}

TEST_F(SlideVoicePageTest, LeavingWithAnUnappliedRecordingAsksFirst)
{
    makePage();
    TreeItem* session = showVoicedSession({Qt::red, Qt::green}, 2000);
    const std::string before = session->session()->talkingMessagePath;
    auto record = [&] {
        device->setInput(voicedBursts(3000));
        click(child<QToolButton>("record"));
        run(1000);
        ASSERT_TRUE(page->engine().IsAsyncRecord());
        EXPECT_FALSE(document.editingAllowed());
        ui.shown.clear();
    };

    // Cancel: the recording goes on.
    record();
    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(page->leave());
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::VoiceLeaveRecording)});
    EXPECT_TRUE(page->engine().IsAsyncRecord());

    // No: thrown away on purpose, the old voice stays.
    ui.answers = {Answer::No};
    EXPECT_TRUE(page->leave());
    EXPECT_FALSE(page->logic().hasUnappliedRecording());
    EXPECT_EQ(session->session()->talkingMessagePath, before);
    EXPECT_EQ(page->engine().GetTotalTime(), 2000);
    EXPECT_TRUE(document.editingAllowed());

    // Yes: stopped and applied without a second question.
    record();
    run(500); // paused recordings are resumed and kept as well
    click(child<QToolButton>("pause"));
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(page->leave());
    EXPECT_EQ(applyQuestions, 0);
    EXPECT_FALSE(page->logic().hasUnappliedRecording());
    EXPECT_NE(session->session()->talkingMessagePath, before);
    EXPECT_GE(page->engine().GetTotalTime(), 1400);
    EXPECT_TRUE(std::filesystem::exists(session->session()->talkingMessagePath));

    // Nothing unapplied: no question.
    ui.shown.clear();
    EXPECT_TRUE(page->leave());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SlideVoicePageTest, CancellingTheApplyQuestionIsConfirmedBeforeTheRecordingIsLost)
{
    makePage();
    TreeItem* session = showVoicedSession({Qt::red, Qt::green}, 2000);
    const std::string before = session->session()->talkingMessagePath;
    device->setInput(voicedBursts(3000));
    auto* record = child<QToolButton>("record");
    click(record);
    EXPECT_EQ(record->toolTip().toStdString(), StringTable::text(str::VoiceTipStop));
    run(1500);

    // "Cancel", then "No" to throwing it away: asked again, then applied.
    int asked = 0;
    page->setApplyRecordingPrompt([&] { return ++asked == 1 ? Answer::Cancel : Answer::Ok; });
    ui.answers = {Answer::No};
    click(record);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::VoiceDiscardRecording)});
    EXPECT_NE(session->session()->talkingMessagePath, before);
    EXPECT_GE(page->engine().GetTotalTime(), 1400);
    EXPECT_EQ(record->toolTip().toStdString(), StringTable::text(str::VoiceTipRecord));
    EXPECT_EQ(child<QLabel>("timeDisplay")->text().toStdString().find("0.00 / 1."), 0u);
}

TEST_F(SlideVoicePageTest, TheStripShowsTheCurrentPictureLargeAndTheNextTwoSmall)
{
    makePage();
    showVoicedSession({Qt::red, Qt::green, Qt::blue, Qt::yellow}, 2000);
    auto name = [](const PictureFrame& f) { return std::filesystem::path(f.picture().toStdString()).filename(); };
    EXPECT_EQ(name(page->largeFrame()), "picture0.jpg");
    EXPECT_EQ(name(page->smallFrame(0)), "picture0.jpg");
    EXPECT_EQ(name(page->smallFrame(2)), "picture2.jpg");
    EXPECT_TRUE(page->smallFrame(0).marked());
    click(child<QToolButton>("nextImage"));
    click(child<QToolButton>("nextImage"));
    EXPECT_EQ(name(page->largeFrame()), "picture2.jpg");
    EXPECT_EQ(name(page->smallFrame(1)), "picture3.jpg");
    EXPECT_TRUE(page->smallFrame(2).picture().isEmpty()); // past the end
    EXPECT_FALSE(page->smallFrame(2).occupied());
    EXPECT_TRUE(page->smallFrame(1).occupied());
    EXPECT_EQ(child<QLabel>("pictureNumber")->text(), "3 / 4");

    // The pictures arrive from the cache's worker; the large frame then
    // shows the blue of picture 2.
    QDeadlineTimer deadline(5000);
    while (!cache.isCached(page->largeFrame().picture()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    const QImage shown = page->largeFrame().grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::blue));
    test::grab(*page, "slide-voice-page");
}

TEST_F(SlideVoicePageTest, TheVoiceFilterDialogPutsBackItsPreviewAndOkSavesTheFilteredVoice)
{
    makePage();
    TreeItem* session = showVoicedSession({Qt::red, Qt::green}, 2000);
    const std::string path = session->session()->talkingMessagePath;
    const std::vector<std::int16_t> voice = page->engine().message().voice.samples;
    document.setDirty(false);

    // "Test" with echo, the preview ends, "Cancel": the voice is as it was.
    page->setVoiceFilterRunner([&](VoiceFilterDialogLogic& filter) {
        filter.setChecked(VoiceFilterDialogLogic::Echo, true);
        filter.setSlider(VoiceFilterDialogLogic::Echo, 80);
        filter.test();
        ASSERT_TRUE(filter.testing());
        run(2200); // the engine's stop notification reaches the dialog through the page
        EXPECT_FALSE(filter.testing());
        filter.reject();
    });
    click(child<QToolButton>("voiceFilter"));
    EXPECT_EQ(page->engine().message().voice.samples, voice);
    EXPECT_FALSE(document.dirty());

    // "OK": the filtered voice is saved to the session's message.
    const auto written = std::filesystem::last_write_time(path);
    page->setVoiceFilterRunner([](VoiceFilterDialogLogic& filter) {
        filter.setChecked(VoiceFilterDialogLogic::Robot, true);
        filter.setSlider(VoiceFilterDialogLogic::Robot, 80);
        filter.accept();
    });
    click(child<QToolButton>("voiceFilter"));
    EXPECT_NE(page->engine().message().voice.samples, voice);
    EXPECT_TRUE(document.dirty());
    EXPECT_GE(std::filesystem::last_write_time(path), written);
    TalkingMessage saved;
    ASSERT_TRUE(readTps(session->session()->talkingMessagePath, saved));
    EXPECT_EQ(saved.voice.samples, page->engine().message().voice.samples);
}

TEST_F(SlideVoicePageTest, ImportsTakeTheChosenFilesAndTheMessageButtonAsksFirst)
{
    makePage();
    TreeItem* session = showVoicedSession({Qt::red, Qt::green}, 2000);
    SessionData& data = *session->session();
    const std::string firstMessage = data.talkingMessagePath;

    // The message button shows only with the external editors; it asks
    // before anything is chosen, and "Cancel" chooses nothing.
    EXPECT_FALSE(child<QPushButton>("messageImport")->isVisible());
    int edits = 0;
    page->setExternalEditor([&](int, const std::string&, const std::string&) { return ++edits, true; });
    auto* messageImport = child<QPushButton>("messageImport");
    ASSERT_TRUE(messageImport->isVisible());
    std::vector<int> asked;
    const std::string other = messageFile("other.tps", 1000);
    const std::string face = inst.root() + "face.tjm";
    std::filesystem::copy_file(inst.folder() + "default_tjm.tjm", face);
    page->setContentChooser([&](int kind, const std::string&) -> std::optional<std::string> {
        asked.push_back(kind);
        return kind == 1 ? other : face;
    });
    ui.answers = {Answer::Cancel};
    click(messageImport);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(data.talkingMessagePath, firstMessage);
    ui.shown.clear();
    click(messageImport);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::VoiceReplaceMessage)});
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_NE(data.talkingMessagePath, firstMessage);
    EXPECT_EQ(page->engine().GetTotalTime(), 1000);

    // The Import Talking Image command: no question.
    ui.shown.clear();
    const std::string firstImage = data.talkingImagePath;
    page->importTalkingImage();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(asked, (std::vector<int>{1, 0}));
    EXPECT_NE(data.talkingImagePath, firstImage);

    // "Edit" hands the session's own files to the editor, which reports back.
    click(child<QPushButton>("messageEdit"));
    EXPECT_EQ(edits, 1);

    // Import Wave File through the file dialog.
    const std::string wave = inst.root() + "voice.wav";
    ASSERT_TRUE(writeWave(wave, voicedBursts(1500)));
    ui.openAnswers.push_back(std::vector<std::string>{wave});
    page->importWave();
    EXPECT_EQ(ui.lastDialog.filter, StringTable::text(str::VoiceWaveFilter));
    EXPECT_EQ(page->engine().GetTotalTime(), 1500);
    EXPECT_EQ(page->waveView().lengthMs(), 1500);
}

} // namespace
} // namespace pavonia
