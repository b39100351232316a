#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct Mix_Chunk;

namespace vexa {

// Named sounds, loaded whole when registered and played at once, one-shot or
// looped, on up to 32 channels. Without a sound device the game runs silently.
class AudioSystem {
public:
    ~AudioSystem();

    // Always true: without a sound device the game runs silently (IsOpen says so).
    bool Initialize();
    // Initialize, put off until a frame has been drawn (the Update after the
    // first) or a sound is played, whichever comes first. Sounds registered
    // meanwhile are loaded then. Opening the device and decoding the music
    // take longer than drawing a frame, and nothing can be heard before the
    // first sound anyway: the picture comes sooner, the sound the same.
    void InitializeAfterFirstFrame();
    // The audio back end's per-frame hook, called by the frame loop.
    void Update();
    // The first registration of a name wins; a file that fails to load is
    // reported once and that name then plays nothing.
    void AddAudio(const std::string& name, const std::string& filename);
    // The bytes of a sound file, made rather than read; empty for a file it
    // cannot make.
    using FileMaker = std::string (*)(const std::string& filename);
    // A sound whose file is not there at all is made by `maker` instead, so a
    // page can start without downloading sounds its code can make. A file
    // that is there but unreadable or damaged is still reported.
    void SetFileMaker(FileMaker maker) { m_fileMaker = maker; }
    void PlayAudio(const std::string& name, bool loop);

    // For tests; the game never needs to know.
    bool IsOpen() const { return m_open; }

    // Holds every sound where it is, to go on from there when resumed.
    void SetPaused(bool paused);
    // Silences everything, playing or still to come, until unmuted.
    void SetMuted(bool muted);
    bool IsMuted() const { return m_muted; }
    // Looped sounds are the music and one-shots the effects, each heard at its
    // own volume from 0 (silent) to 1 (as recorded), also while muted, for
    // when the sound comes back.
    void SetVolumes(float music, float effects);

    static constexpr int kChannels = 32;
    // Channel groups (SDL_mixer tags). When every channel is busy a new sound
    // takes over the channel of the oldest one-shot; a loop is never cut.
    static constexpr int kOneShotGroup = 1;
    static constexpr int kLoopGroup = 2;

private:
    void OpenNow();
    void Load(const std::string& name, const std::string& filename);

    bool m_open = false;
    bool m_deferred = false;
    int m_updatesWhileDeferred = 0;
    // Registered while deferred, in order: name, file.
    std::vector<std::pair<std::string, std::string>> m_pending;
    FileMaker m_fileMaker = nullptr;
    bool m_muted = false;
    // On SDL_mixer's scale, where 128 is as recorded.
    int m_musicVolume = 128;
    int m_effectsVolume = 128;
    // Sounds that have been played looped: the music.
    std::set<Mix_Chunk*> m_music;
    std::map<std::string, Mix_Chunk*> m_sounds;
};

extern AudioSystem g_audioSystem;

}  // namespace vexa
