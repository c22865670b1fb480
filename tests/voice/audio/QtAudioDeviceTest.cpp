#include "voice/audio/QtAudioDevice.h"
#include "voice/audio/QtInputDevices.h"

#include "PrivateSoundServer.h"
#include "ResultCheck.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "platform/StringTable.h"
#include "voice/RecordingDeviceSetup.h"
#include "voice/VoiceEngine.h"
#include "voice/WaveFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace pavonia {
namespace {

const auto* const kSoundServer = ::testing::AddGlobalTestEnvironment(new test::PrivateSoundServer);

// One application object for the whole program, as Qt Multimedia needs.
QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "voice_audio_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct Events final : VoiceNotify, WaveRecordHook {
    void playStarted() override { ++started; }
    void playStopped() override { ++stopped; }
    void WordPosition(std::int64_t ms) override { lastPosition = ms; }
    void recordPosition(std::int64_t ms) override { recorded = ms; }
    int started = 0, stopped = 0;
    std::int64_t lastPosition = -1, recorded = 0;
};

// Runs the event loop until `done` or the time is up.
template <typename Done>
bool spin(Done done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(QtAudioDeviceTest, WithoutASoundCardCreationFailsWithAMessage)
{
    application();
    const auto device = QtAudioDevice::create();
    const bool anyDevice = !QMediaDevices::defaultAudioOutput().isNull() || !QMediaDevices::defaultAudioInput().isNull();
    EXPECT_EQ(device.ok(), anyDevice);
    if (!anyDevice) {
        EXPECT_NE(device.failure().text().find(StringTable::text(str::AudioNoOutput)), std::string::npos);
        // The recording settings then report the missing device and stay disabled.
        QtInputDevices inputs(nullptr);
        test::ScriptedUi ui;
        RecordingDeviceSetup setup(inputs, ui);
        setup.open();
        EXPECT_EQ(ui.texts(), (std::vector<std::string>{StringTable::text(str::DeviceQueryFailed),
                                                        StringTable::text(str::MixerOpenFailed)}));
        EXPECT_FALSE(setup.inputListEnabled());
        EXPECT_FALSE(setup.sliderEnabled());
    }
}

// On a machine with a sound card: a short voice plays through to its end
// with rising positions, and a short recording captures sound.
TEST(QtAudioDeviceTest, PlaysAndRecordsOnARealDevice)
{
    application();
    auto created = QtAudioDevice::create();
    if (!created)
        GTEST_SKIP() << "no sound device: " << created.failure().text();
    std::unique_ptr<QtAudioDevice> device = std::move(*created);
    test::TestInstallation inst;
    VoiceEngine engine(*device, inst.folder());
    Events events;
    engine.setNotify(&events);
    engine.HookRecordDialog(&events);

    if (!QMediaDevices::defaultAudioOutput().isNull()) {
        PcmAudio tone;
        for (int i = 0; i < 22050 / 2; ++i)
            tone.samples.push_back(std::int16_t(3000 * std::sin(2 * M_PI * 440 * i / 22050.0)));
        const std::string wave = inst.root() + "tone.wav";
        ASSERT_TRUE(writeWave(wave, tone));
        ASSERT_TRUE(engine.ImportWave(wave));
        ASSERT_TRUE(engine.PlayAll(0)) << test::failureText(engine.lastError());
        EXPECT_TRUE(spin([&] { return events.stopped > 0; }, 5000));
        EXPECT_EQ(events.started, 1);
        EXPECT_EQ(events.lastPosition, 500);
    }
    if (!QMediaDevices::defaultAudioInput().isNull()) {
        ASSERT_TRUE(engine.StartAsyncRec()) << test::failureText(engine.lastError());
        spin([] { return false; }, 600);
        engine.StopAsyncRec();
        EXPECT_GT(events.recorded, 0);
        EXPECT_GE(engine.ApplyAsyncRec(1), 0);
        EXPECT_GT(engine.GetTotalTime(), 0);

        // The recording settings list the inputs and set the recording volume.
        QtInputDevices inputs(device.get());
        test::ScriptedUi ui;
        RecordingDeviceSetup setup(inputs, ui);
        setup.open();
        EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
        EXPECT_TRUE(setup.format().has_value());
        EXPECT_FALSE(setup.inputs().empty());
        EXPECT_GE(setup.selectedInput(), 0);
        EXPECT_EQ(setup.sliderMaximum(), 32767);
        setup.moveSlider(RecordingDeviceSetup::SliderAction::Home);
        EXPECT_EQ(device->inputVolume(), 0.0);
        setup.moveSlider(RecordingDeviceSetup::SliderAction::End);
        EXPECT_EQ(device->inputVolume(), 1.0);
    }
}

} // namespace
} // namespace pavonia
