#include "audio/AudioSystem.h"
#include "audio/SoundFile.h"

#include "CapturedStream.h"
#include "HostileFiles.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "WavWriter.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

using testing_support::CapturedStream;
using testing_support::ReadWhole;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteToneWav;

namespace {

// How many playing channels hold each chunk.
std::map<Mix_Chunk*, int> playingChunks() {
    std::map<Mix_Chunk*, int> counts;
    for (int channel = 0; channel < Mix_AllocateChannels(-1); ++channel) {
        if (Mix_Playing(channel)) ++counts[Mix_GetChunk(channel)];
    }
    return counts;
}

// The one chunk playing now that was not in `known`.
Mix_Chunk* newChunk(const std::map<Mix_Chunk*, int>& known) {
    for (const auto& entry : playingChunks()) {
        if (known.find(entry.first) == known.end()) return entry.first;
    }
    return nullptr;
}

class AudioSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Long enough that nothing finishes while a test inspects the channels.
        ASSERT_TRUE(WriteToneWav(Wav("short"), 3.0f));
        ASSERT_TRUE(WriteToneWav(Wav("long"), 4.0f));
    }

    std::string Wav(const std::string& stem) const {
        return (m_dir.Path() / (stem + ".wav")).string();
    }

    TempDir m_dir;
};

}  // namespace

TEST_F(AudioSystemTest, NamesAreExactAndTheFirstRegistrationWins) {
    vexa::AudioSystem audio;
    ASSERT_TRUE(audio.Initialize());
    ASSERT_TRUE(audio.IsOpen()) << "the dummy driver should open";
    EXPECT_EQ(Mix_AllocateChannels(-1), vexa::AudioSystem::kChannels);

    CapturedStream err{std::cerr};
    audio.PlayAudio("zap", false);
    EXPECT_EQ(Mix_Playing(-1), 0);

    audio.AddAudio("zap", Wav("short"));
    audio.AddAudio("zap", Wav("long"));
    audio.AddAudio("zap", Wav("absent"));  // not loaded, so not reported either
    audio.PlayAudio("Zap", false);
    audio.PlayAudio("zap ", false);
    EXPECT_EQ(Mix_Playing(-1), 0);

    audio.PlayAudio("zap", false);
    ASSERT_EQ(Mix_Playing(-1), 1);
    Mix_Chunk* playing = newChunk({});
    ASSERT_NE(playing, nullptr);
    Mix_Chunk* shortChunk = Mix_LoadWAV(Wav("short").c_str());
    Mix_Chunk* longChunk = Mix_LoadWAV(Wav("long").c_str());
    ASSERT_NE(shortChunk, nullptr);
    ASSERT_NE(longChunk, nullptr);
    EXPECT_EQ(playing->alen, shortChunk->alen);
    EXPECT_NE(playing->alen, longChunk->alen);
    Mix_FreeChunk(shortChunk);
    Mix_FreeChunk(longChunk);

    // Every call is a new playback, even of a sound already playing.
    audio.PlayAudio("zap", true);
    audio.PlayAudio("zap", true);
    EXPECT_EQ(Mix_Playing(-1), 3);
    EXPECT_EQ(Mix_GroupCount(vexa::AudioSystem::kLoopGroup), 2);
    EXPECT_EQ(err.Text(), "");
}

TEST_F(AudioSystemTest, AFullMixerGivesTheOldestOneShotsChannelAndNeverCutsALoop) {
    vexa::AudioSystem audio;
    ASSERT_TRUE(audio.Initialize());
    ASSERT_TRUE(audio.IsOpen());
    audio.AddAudio("bgm", Wav("long"));
    audio.AddAudio("first", Wav("short"));
    audio.AddAudio("shot", Wav("short"));

    audio.PlayAudio("bgm", true);
    Mix_Chunk* bgm = newChunk({});
    audio.PlayAudio("first", false);
    Mix_Chunk* first = newChunk({{bgm, 1}});
    ASSERT_NE(bgm, nullptr);
    ASSERT_NE(first, nullptr);
    // Mixer start times have millisecond resolution; this keeps "first" the
    // unambiguous oldest one-shot.
    SDL_Delay(20);

    for (int i = 0; i < 40; ++i) audio.PlayAudio("shot", false);
    EXPECT_EQ(Mix_Playing(-1), vexa::AudioSystem::kChannels);
    auto counts = playingChunks();
    EXPECT_EQ(counts[bgm], 1);
    EXPECT_EQ(counts[first], 0);
    Mix_Chunk* shot = newChunk({{bgm, 1}, {first, 0}});
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(counts[shot], vexa::AudioSystem::kChannels - 1);

    // A new loop may take a one-shot's channel too; once only loops play, a
    // one-shot is dropped rather than cutting one of them.
    for (int i = 0; i < 40; ++i) audio.PlayAudio("bgm", true);
    EXPECT_EQ(Mix_GroupCount(vexa::AudioSystem::kLoopGroup), vexa::AudioSystem::kChannels);
    audio.PlayAudio("shot", false);
    counts = playingChunks();
    EXPECT_EQ(counts[bgm], vexa::AudioSystem::kChannels);
    EXPECT_EQ(counts[shot], 0);
}

TEST_F(AudioSystemTest, AFileThatFailsToLoadIsReportedOnceAndPlaysNothing) {
    vexa::AudioSystem audio;
    ASSERT_TRUE(audio.Initialize());
    ASSERT_TRUE(audio.IsOpen());
    const std::string garbage = m_dir.Write("garbage.wav", "this is not a sound").string();

    CapturedStream err{std::cerr};
    audio.AddAudio("boom", Wav("absent"));
    EXPECT_EQ(err.LineCount(), 1);
    EXPECT_NE(err.Text().find("absent.wav"), std::string::npos) << err.Text();
    audio.AddAudio("boom", Wav("absent"));
    audio.AddAudio("boom", Wav("short"));
    EXPECT_EQ(err.LineCount(), 1);

    audio.AddAudio("noise", garbage);
    EXPECT_EQ(err.LineCount(), 2);
    EXPECT_NE(err.Text().find("garbage.wav"), std::string::npos) << err.Text();

    for (int frame = 0; frame < 3; ++frame) {
        audio.PlayAudio("boom", false);
        audio.PlayAudio("boom", true);
        audio.PlayAudio("noise", false);
    }
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(err.LineCount(), 2);
}

TEST_F(AudioSystemTest, WithoutADeviceEverythingIsSilentAndSaysSoOnce) {
    const ScopedEnv driver{"SDL_AUDIODRIVER", "no-such-audio-driver"};
    CapturedStream err{std::cerr};
    {
        vexa::AudioSystem audio;
        EXPECT_TRUE(audio.Initialize());
        EXPECT_FALSE(audio.IsOpen());
        audio.Update();
        audio.AddAudio("bgm", Wav("long"));
        audio.AddAudio("missing", Wav("absent"));
        audio.PlayAudio("bgm", true);
        audio.PlayAudio("missing", false);
        audio.PlayAudio("never", false);
    }
    EXPECT_EQ(err.LineCount(), 1);
    EXPECT_NE(err.Text().find("no-such-audio-driver"), std::string::npos) << err.Text();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(AudioSystemTest, APlayedSoundIsHeardInTheMixedOutput) {
    const auto recording = m_dir.Path() / "out.raw";
    const auto silentRecording = m_dir.Path() / "silent.raw";
    const ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};

    // Returns the number of non-zero bytes the device wrote in about half a second.
    const auto record = [&](const std::filesystem::path& file, bool play) {
        const ScopedEnv output{"SDL_DISKAUDIOFILE", file.string()};
        {
            vexa::AudioSystem audio;
            audio.Initialize();
            EXPECT_TRUE(audio.IsOpen());
            audio.AddAudio("tone", Wav("short"));
            if (play) audio.PlayAudio("tone", false);
            // The disk driver writes in real time; give it time to mix some output.
            SDL_Delay(500);
        }  // closing the device flushes and closes the file
        const std::string bytes = testing_support::ReadWhole(file);
        EXPECT_FALSE(bytes.empty());
        long nonZero = 0;
        for (char byte : bytes) nonZero += byte != 0 ? 1 : 0;
        return nonZero;
    };

    EXPECT_EQ(record(silentRecording, false), 0);
    EXPECT_GT(record(recording, true), 1000);
}

// The menu's volumes: effects (one-shots) and music (loops) each at their own
// level, measured in what the device really mixed.
TEST_F(AudioSystemTest, MusicAndEffectsPlayAtTheirOwnVolumes) {
    const ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};
    // The loudest sample (16-bit, the mixer's default format) of the first
    // stretch of output with the tone played as music or as an effect.
    const auto loudest = [this](const std::string& name, float music, float effects, bool loop) {
        const auto file = m_dir.Path() / (name + ".raw");
        const ScopedEnv output{"SDL_DISKAUDIOFILE", file.string()};
        {
            vexa::AudioSystem audio;
            audio.Initialize();
            EXPECT_TRUE(audio.IsOpen());
            audio.AddAudio("tone", Wav("short"));
            audio.SetVolumes(music, effects);
            audio.PlayAudio("tone", loop);
            // The disk driver writes in real time: wait for a fifth of a second of it.
            const Uint64 deadline = SDL_GetTicks64() + 60000;
            std::error_code ec;
            while (std::filesystem::file_size(file, ec) < 44100u * 4u / 5u &&
                   SDL_GetTicks64() < deadline) {
                SDL_Delay(5);
            }
        }
        const std::string bytes = testing_support::ReadWhole(file);
        int peak = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto low = static_cast<unsigned char>(bytes[i]);
            const auto high = static_cast<unsigned char>(bytes[i + 1]);
            const auto sample = static_cast<std::int16_t>(low | (high << 8));
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
        }
        return peak;
    };
    const int full = loudest("full", 1.0f, 1.0f, false);
    ASSERT_GT(full, 1000);
    EXPECT_NEAR(loudest("half-effects", 1.0f, 0.5f, false), full / 2, full / 10);
    EXPECT_NEAR(loudest("music-beside-silent-effects", 1.0f, 0.0f, true), full, full / 10);
    EXPECT_EQ(loudest("silent-music", 0.0f, 1.0f, true), 0);
}

// A FIFO once blocked the game in open() for ever, a link to /dev/zero was read
// without end, and a header claiming 1 GB of samples made the decoder take
// 1 GB. Each is now reported with one line naming the file and plays nothing.
TEST_F(AudioSystemTest, HostileSoundFilesAreRefusedWithOneLineEach) {
    vexa::AudioSystem audio;
    ASSERT_TRUE(audio.Initialize());
    ASSERT_TRUE(audio.IsOpen());

    std::string header = ReadWhole(Wav("short")).substr(0, 44);
    header.replace(40, 4, std::string("\0\0\0\x40", 4));
    std::vector<std::string> files{
        m_dir.Write("claims-1gb.wav", header + std::string(77, '\0')).string(),
        m_dir.Write("truncated.wav", ReadWhole(Wav("short")).substr(0, 1000)).string(),
        m_dir.Path().string(),
    };
    const auto add = [&files](bool made, const std::filesystem::path& path) {
        if (made) files.push_back(path.string());
    };
    add(testing_support::MakeFifo(m_dir.Path() / "fifo.wav"), m_dir.Path() / "fifo.wav");
    add(testing_support::MakeEndlessLink(m_dir.Path() / "zero.wav"), m_dir.Path() / "zero.wav");
    add(testing_support::MakeSparseFile(m_dir.Path() / "huge.wav",
                                        vexa::soundfile::kMaxFileBytes + 1),
        m_dir.Path() / "huge.wav");

    for (std::size_t i = 0; i < files.size(); ++i) {
        CapturedStream err{std::cerr};
        audio.AddAudio("sound" + std::to_string(i), files[i]);
        EXPECT_EQ(err.LineCount(), 1) << err.Text();
        EXPECT_NE(err.Text().find(files[i]), std::string::npos) << err.Text();
        audio.PlayAudio("sound" + std::to_string(i), false);
    }
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_GE(files.size(), 4u);

    // The untouched file still loads and plays.
    audio.AddAudio("tone", Wav("short"));
    audio.PlayAudio("tone", false);
    EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(AudioSystemTest, PauseHoldsEverySoundAndMuteSilencesEvenSoundsStartedLater) {
    vexa::AudioSystem audio;
    ASSERT_TRUE(audio.Initialize());
    ASSERT_TRUE(audio.IsOpen());
    audio.AddAudio("bgm", Wav("long"));
    audio.AddAudio("shot", Wav("short"));
    audio.PlayAudio("bgm", true);
    audio.PlayAudio("shot", false);

    audio.SetPaused(true);
    EXPECT_EQ(Mix_Paused(-1), 2);
    EXPECT_EQ(Mix_Playing(-1), 2) << "paused sounds are held, not stopped";
    audio.SetPaused(false);
    EXPECT_EQ(Mix_Paused(-1), 0);

    EXPECT_FALSE(audio.IsMuted());
    audio.SetMuted(true);
    EXPECT_TRUE(audio.IsMuted());
    EXPECT_EQ(Mix_MasterVolume(-1), 0);
    audio.PlayAudio("shot", false);
    EXPECT_EQ(Mix_MasterVolume(-1), 0);
    audio.SetMuted(false);
    EXPECT_EQ(Mix_MasterVolume(-1), MIX_MAX_VOLUME);
    Mix_HaltChannel(-1);
}

TEST_F(AudioSystemTest, AMutedGameIsHeardNoMore) {
    const auto recording = m_dir.Path() / "muted.raw";
    const ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};
    const ScopedEnv output{"SDL_DISKAUDIOFILE", recording.string()};
    {
        vexa::AudioSystem audio;
        audio.Initialize();
        ASSERT_TRUE(audio.IsOpen());
        audio.AddAudio("tone", Wav("short"));
        audio.SetMuted(true);
        audio.PlayAudio("tone", false);
        // The disk driver writes in real time; give it time to mix some output.
        SDL_Delay(300);
    }
    // The mixer's volume outlives its device.
    Mix_MasterVolume(MIX_MAX_VOLUME);
    const std::string bytes = testing_support::ReadWhole(recording);
    EXPECT_FALSE(bytes.empty());
    long nonZero = 0;
    for (char byte : bytes) nonZero += byte != 0 ? 1 : 0;
    EXPECT_EQ(nonZero, 0);
}

// The music is stored as IMA ADPCM, a quarter of its 16-bit size: the mixer
// decodes it to the device's format at its whole length, and not to silence.
TEST_F(AudioSystemTest, TheCompressedMusicDecodesToItsWholeLength) {
    vexa::AudioSystem audio;
    ASSERT_TRUE(audio.Initialize());
    ASSERT_TRUE(audio.IsOpen());
    std::string problem;
    Mix_Chunk* music = vexa::soundfile::Decode(
        ReadWhole(std::filesystem::path(ZAP207_SOURCE_ASSETS) / "bgm.wav"), problem);
    ASSERT_NE(music, nullptr) << problem;
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_NE(Mix_QuerySpec(&frequency, &format, &channels), 0);
    const double frameBytes = channels * (SDL_AUDIO_BITSIZE(format) / 8);
    const double seconds = music->alen / frameBytes / frequency;
    EXPECT_NEAR(seconds, 16.0, 0.1);
    // 16-bit output: the loudest sample is far from zero.
    int loudest = 0;
    if (SDL_AUDIO_BITSIZE(format) == 16) {
        const auto* samples = reinterpret_cast<const Sint16*>(music->abuf);
        for (Uint32 i = 0; i < music->alen / 2; ++i)
            loudest = std::max(loudest, std::abs(int{samples[i]}));
        EXPECT_GT(loudest, 1000);
    }
    Mix_FreeChunk(music);
}

// Put off, the device opens on the Update after the first frame, with every
// sound registered meanwhile, the first registration of a name still winning.
TEST_F(AudioSystemTest, PutOffTheDeviceOpensAfterTheFirstFrameWithTheSoundsRegisteredMeanwhile) {
    vexa::AudioSystem audio;
    audio.InitializeAfterFirstFrame();
    audio.AddAudio("zap", Wav("short"));
    audio.AddAudio("zap", Wav("long"));
    audio.SetMuted(true);
    audio.Update();  // before the first frame is drawn
    EXPECT_FALSE(audio.IsOpen());
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    audio.Update();
    ASSERT_TRUE(audio.IsOpen());
    EXPECT_EQ(Mix_MasterVolume(-1), 0) << "muted before the device opened, then not muted";

    audio.PlayAudio("zap", false);
    ASSERT_EQ(Mix_Playing(-1), 1);
    Mix_Chunk* shortChunk = Mix_LoadWAV(Wav("short").c_str());
    ASSERT_NE(shortChunk, nullptr);
    EXPECT_EQ(newChunk({})->alen, shortChunk->alen);
    Mix_FreeChunk(shortChunk);
}

// A sound played before any frame was drawn is not lost: it opens the device.
TEST_F(AudioSystemTest, PutOffASoundPlayedBeforeTheFirstFrameOpensTheDeviceAndPlays) {
    vexa::AudioSystem audio;
    audio.InitializeAfterFirstFrame();
    audio.AddAudio("zap", Wav("short"));
    EXPECT_FALSE(audio.IsOpen());
    audio.PlayAudio("zap", true);
    ASSERT_TRUE(audio.IsOpen());
    EXPECT_EQ(Mix_Playing(-1), 1);
    EXPECT_EQ(Mix_GroupCount(vexa::AudioSystem::kLoopGroup), 1);
    EXPECT_EQ(Mix_MasterVolume(-1), MIX_MAX_VOLUME);
}

namespace {

std::vector<std::string> g_madeFiles;
std::string g_toneBytes;

std::string makeTone(const std::string& filename) {
    g_madeFiles.push_back(filename);
    return filename.find("made.wav") != std::string::npos ? g_toneBytes : std::string();
}

}  // namespace

// Only a file that is not there at all is made; one the maker does not know,
// or one that is there but damaged, is reported as before.
TEST_F(AudioSystemTest, AMissingFileIsMadeByTheMakerAndADamagedOneIsStillReported) {
    vexa::AudioSystem audio;
    ASSERT_TRUE(audio.Initialize());
    ASSERT_TRUE(audio.IsOpen());
    g_toneBytes = ReadWhole(Wav("short"));
    g_madeFiles.clear();
    audio.SetFileMaker(&makeTone);
    const std::string garbage = m_dir.Write("garbage.wav", "this is not a sound").string();

    CapturedStream err{std::cerr};
    audio.AddAudio("made", Wav("made"));
    EXPECT_EQ(err.LineCount(), 0) << err.Text();
    const auto before = playingChunks();
    audio.PlayAudio("made", false);
    EXPECT_NE(newChunk(before), nullptr) << "the made sound does not play";

    audio.AddAudio("unknown", Wav("unknown"));
    EXPECT_EQ(err.LineCount(), 1);
    EXPECT_NE(err.Text().find("unknown.wav"), std::string::npos) << err.Text();
    audio.AddAudio("noise", garbage);
    EXPECT_EQ(err.LineCount(), 2);
    EXPECT_EQ(g_madeFiles, (std::vector<std::string>{Wav("made"), Wav("unknown")}));
}
