#pragma once

#include <string>

// The sound files the game plays, by name.
inline constexpr const char* kSoundFiles[] = {"bgm.wav", "ui.wav", "damage.wav"};

// The WAV file named (one of kSoundFiles), made here byte for byte as the
// desktop ships it; empty for a name it does not know.
std::string MakeSoundFile(const std::string& filename);
