// The sound player: which file each request plays, what a disabled player
// does, and the lines a failure leaves; and the sounds the window asks for.
#include "ui/Sound.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "support/FlightFixture.h"
#include "support/LogCapture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

struct SoundCase {
    const char* name;
    std::function<void(CSound&)> play;
    const char* path;    // what reaches the player
    const char* logLine; // "" = no line
};

const SoundCase kSounds[] = {
    {"Click", [](CSound& s) { s.play(0); }, "sound/snd_btn_click.wav", ""},
    {"TitleBar", [](CSound& s) { s.play(1); }, "sound/snd_btn_disabled.wav", ""},
    {"Error", [](CSound& s) { s.play(2); }, "sound/snd_error.wav", ""},
    {"UnknownId", [](CSound& s) { s.play(7); }, "sound/snd_error.wav", "Error: [CSound] Unknown ID: 7"},
    {"LanguageFolder", [](CSound& s) { s.play("ding_dong.wav", false); }, "sound/en/ding_dong.wav", ""},
    {"SoundFolder", [](CSound& s) { s.play("snd_applause.wav", true); }, "sound/snd_applause.wav", ""},
};

class SoundTest : public ::testing::TestWithParam<SoundCase> {
protected:
    RecordingSoundOutput output;
    LogCapture logs;
};

TEST_P(SoundTest, PlaysTheFileOfTheRequest)
{
    CSound sound(output);
    logs.reset();
    GetParam().play(sound);
    EXPECT_EQ(output.played, std::vector<std::string>{GetParam().path});
    if (*GetParam().logLine != '\0')
        EXPECT_EQ(logs.count(GetParam().logLine), 1);
    else
        EXPECT_EQ(logs.count("[CSound]"), 0);
}

TEST_P(SoundTest, DisabledPlaysAndLogsNothing)
{
    CSound sound(output);
    sound.disable();
    logs.reset();
    GetParam().play(sound);
    EXPECT_TRUE(output.played.empty());
    EXPECT_TRUE(logs.lines().empty());
}

TEST_P(SoundTest, AFailedStartIsLoggedAndTheCallerGoesOn)
{
    CSound sound(output);
    output.succeed = false;
    logs.reset();
    GetParam().play(sound);
    // By id the line names the path; by name the name as passed in.
    EXPECT_EQ(logs.count("Error: [CSound] Could not play sound! (File: "), 1);
    EXPECT_NE(sound.getMessage().find("Could not play sound!"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Requests, SoundTest, ::testing::ValuesIn(kSounds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SoundFileTest, AFileThatOpensAsNamedIsPlayedAsNamed)
{
    const std::string name = "qvl_sound_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                             std::to_string(reinterpret_cast<std::uintptr_t>(&name)) + ".wav";
    std::ofstream(name) << "RIFF";
    RecordingSoundOutput output;
    CSound sound(output);
    sound.play(name, false);
    std::filesystem::remove(name);
    EXPECT_EQ(output.played, std::vector<std::string>{name});
}

TEST(WindowSoundTest, ButtonsClickOnlyWhileSoundIsOn)
{
    FlightFixture f;
    f.window.setEvents(f.ui.get());
    f.ui->SetPage(PageHome);
    f.ui->getSound().disable();
    f.logs.reset();
    ASSERT_TRUE(f.window.click(IdOptions));
    EXPECT_TRUE(f.sounds.played.empty());
    EXPECT_EQ(f.logs.count("[CSound]"), 0);

    f.ui->getSound().enable();
    ASSERT_TRUE(f.window.click(IdHome));
    ASSERT_TRUE(f.window.click(IdMinimise));
    EXPECT_EQ(f.sounds.played, (std::vector<std::string>{"sound/snd_btn_click.wav", "sound/snd_btn_click.wav",
                                                         "sound/snd_btn_disabled.wav"}));
}

} // namespace
