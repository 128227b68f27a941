// The Linux sound player on a machine without a sound device: it stays silent
// after one log line, whether it finds no sound server at all or a server
// socket that leads nowhere.
#include "platform/SoundOutput.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class SoundOutputTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (std::filesystem::exists("/dev/snd"))
            GTEST_SKIP() << "this machine has a sound card";
        runtime = std::filesystem::temp_directory_path() / ("qvl-sound-" + std::to_string(getpid()));
        std::filesystem::create_directories(runtime / "pulse");
        if (GetParam())
            std::ofstream(runtime / "pulse" / "native") << "";
        wave = (runtime / "click.wav").string();
        std::ofstream(wave) << "RIFF";
        saved = std::getenv("XDG_RUNTIME_DIR") != nullptr ? std::getenv("XDG_RUNTIME_DIR") : "";
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        unsetenv("PULSE_SERVER");
    }
    void TearDown() override
    {
        if (runtime.empty())
            return;
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
        std::filesystem::remove_all(runtime);
    }
    std::filesystem::path runtime;
    std::string wave;
    std::string saved;
    LogCapture logs;
};

TEST_P(SoundOutputTest, WithoutADeviceEverySoundIsSilentAfterOneLine)
{
    std::unique_ptr<SoundOutput> output = createPlatformSoundOutput();
    ASSERT_NE(output, nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(output->playAsync(wave));
    EXPECT_EQ(logs.count("Warn: [CSound] No sound device, sounds stay silent"), 1);
}

INSTANTIATE_TEST_SUITE_P(Machines, SoundOutputTest, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "DeadServerSocket" : "NoServer"); });

} // namespace
