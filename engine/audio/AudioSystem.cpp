#include "AudioSystem.h"

#include "audio/SoundFile.h"
#include "core/File.h"
#include "core/GlobalOrder.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <iostream>
#include <string>
#include <utility>

namespace vexa {

VEXA_GLOBAL_ORDER(2) AudioSystem g_audioSystem;

namespace {

constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
// About 23 ms at 44.1 kHz: short enough that a shot is heard on the frame it is fired.
constexpr int kChunkSize = 1024;

// Every channel is busy: the oldest one-shot gives way. A loop is background
// music that would never come back if cut, so when only loops play the new
// sound is dropped.
int takeOverOldestOneShot(Mix_Chunk* chunk, int loops) {
    const int oldest = Mix_GroupOldest(AudioSystem::kOneShotGroup);
    if (oldest < 0) return -1;
    return Mix_PlayChannel(oldest, chunk, loops);
}

// Empty when `chunk` holds the decoded file, otherwise why not. Only a regular
// file of a bounded size is read (a FIFO would block, /dev/zero never end),
// and its header is checked before the decoder trusts it.
// A missing file is made by `maker`, when there is one that knows it.
std::string loadSound(const std::string& filename, AudioSystem::FileMaker maker,
                      Mix_Chunk*& chunk) {
    FileContents file = ReadDataFile(filename, soundfile::kMaxFileBytes);
    if (file.status == FileContents::Status::Missing && maker != nullptr) {
        std::string made = maker(filename);
        if (!made.empty()) {
            file.bytes = std::move(made);
            file.status = FileContents::Status::Read;
        }
    }
    if (!file.Ok()) return file.reason;
    std::string problem;
    chunk = soundfile::Decode(file.bytes, problem);
    return problem;
}

int mixerVolume(float volume) {
    const float clamped = volume < 0.0f ? 0.0f : (volume > 1.0f ? 1.0f : volume);
    return static_cast<int>(std::lround(clamped * MIX_MAX_VOLUME));
}

}  // namespace

AudioSystem::~AudioSystem() {
    // Never opened (no device, or the program ended before Initialize): SDL may
    // not even be running, so there is nothing to touch.
    if (!m_open) return;
    // Freeing a chunk halts the channels still playing it.
    for (auto& entry : m_sounds) Mix_FreeChunk(entry.second);
    m_sounds.clear();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioSystem::Initialize() {
    if (m_open) return true;

    // A machine without sound still plays the game, only silently.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::cerr << "Sound is off: " << SDL_GetError() << std::endl;
        return true;
    }
    if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kOutputChannels, kChunkSize) != 0) {
        std::cerr << "Sound is off: " << Mix_GetError() << std::endl;
        // The subsystem stays up: shutting it down here waits for SDL's device
        // watcher thread to wake from its sleep, up to a tenth of a second of
        // start-up, and the process ends it anyway.
        return true;
    }
    // Opening the device resets the mixer to 8 channels.
    Mix_AllocateChannels(kChannels);
    m_open = true;
    return true;
}

void AudioSystem::InitializeAfterFirstFrame() {
    if (m_open) return;
    m_deferred = true;
    m_updatesWhileDeferred = 0;
}

void AudioSystem::OpenNow() {
    if (!m_deferred) return;
    m_deferred = false;
    Initialize();
    if (m_open && m_muted) Mix_MasterVolume(0);
    for (const auto& [name, filename] : m_pending) Load(name, filename);
    m_pending.clear();
}

void AudioSystem::Update() {
    // The first Update comes before the first frame is drawn, the second after.
    if (m_deferred && ++m_updatesWhileDeferred >= 2) OpenNow();
    // SDL_mixer mixes and frees finished channels on its own audio thread, so a
    // frame has nothing more to hand over.
}

void AudioSystem::SetPaused(bool paused) {
    if (!m_open) return;
    if (paused) {
        Mix_Pause(-1);
    } else {
        Mix_Resume(-1);
    }
}

void AudioSystem::SetMuted(bool muted) {
    m_muted = muted;
    if (m_open) Mix_MasterVolume(muted ? 0 : MIX_MAX_VOLUME);
}

void AudioSystem::SetVolumes(float music, float effects) {
    m_musicVolume = mixerVolume(music);
    m_effectsVolume = mixerVolume(effects);
    // A sound's own volume, not its channel's: it holds from its first
    // sample, and through a channel taken over by another sound.
    for (const auto& entry : m_sounds) {
        if (entry.second == nullptr) continue;
        const bool looped = m_music.count(entry.second) != 0;
        Mix_VolumeChunk(entry.second, looped ? m_musicVolume : m_effectsVolume);
    }
}

void AudioSystem::AddAudio(const std::string& name, const std::string& filename) {
    if (m_deferred) {
        m_pending.emplace_back(name, filename);
        return;
    }
    Load(name, filename);
}

void AudioSystem::Load(const std::string& name, const std::string& filename) {
    if (!m_open) return;
    if (m_sounds.find(name) != m_sounds.end()) return;

    Mix_Chunk* chunk = nullptr;
    const std::string problem = loadSound(filename, m_fileMaker, chunk);
    if (!problem.empty()) {
        ReportLoadFailure("sound", filename, problem);
    }
    // A failed file is kept as an empty entry so it is neither retried nor reported again.
    m_sounds.emplace(name, chunk);
}

void AudioSystem::PlayAudio(const std::string& name, bool loop) {
    OpenNow();
    const auto found = m_sounds.find(name);
    if (found == m_sounds.end() || found->second == nullptr) return;

    if (loop) m_music.insert(found->second);
    Mix_VolumeChunk(found->second, loop ? m_musicVolume : m_effectsVolume);
    const int loops = loop ? -1 : 0;
    int channel = Mix_PlayChannel(-1, found->second, loops);
    if (channel < 0) channel = takeOverOldestOneShot(found->second, loops);
    if (channel < 0) return;
    Mix_GroupChannel(channel, loop ? kLoopGroup : kOneShotGroup);
}

}  // namespace vexa
