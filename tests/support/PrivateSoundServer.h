#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <stdlib.h>

namespace pavonia::test {

// With PAVONIA_TEST_SOUND_SERVER set, the tests run against a sound server
// of their own: a private PulseAudio daemon with a null sink and a null
// source (silence to record), started in a fresh runtime folder before
// Qt Multimedia looks for devices and stopped at the end. Without it, or
// without PulseAudio installed, the tests use whatever the machine has.
class PrivateSoundServer final : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!std::getenv("PAVONIA_TEST_SOUND_SERVER") || std::system("command -v pulseaudio > /dev/null 2>&1") != 0)
            return;
        std::string folder = (std::filesystem::temp_directory_path() / "pavonia-pulse-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            return;
        folder_ = folder;
        setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
        const std::string start = "pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes"
                                  " --load=module-null-sink --load=module-null-source --load=module-native-protocol-unix"
                                  " --log-target=file:" + folder_ + "/log > /dev/null 2>&1";
        if (std::system(start.c_str()) != 0)
            return;
        for (int i = 0; i < 50 && !std::filesystem::exists(folder_ + "/pulse/native"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    void TearDown() override
    {
        if (folder_.empty())
            return;
        // Ends the daemon of this runtime folder only (found by its pid file).
        std::system("pulseaudio --kill > /dev/null 2>&1");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

private:
    std::string folder_;
};

} // namespace pavonia::test
