#include "Random.h"

#include <cstdint>

namespace vexa {
namespace {

constexpr int kRandomMax = 32767;

// Linear congruential generator with the classic 15-bit output; its state is
// the only hidden state of the random functions.
std::uint32_t& generatorState() {
    static std::uint32_t state = 1;
    return state;
}

}  // namespace

void seedRandom(unsigned int seed) {
    generatorState() = seed;
}

unsigned int randomState() {
    return generatorState();
}

int random() {
    std::uint32_t& state = generatorState();
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & kRandomMax);
}

unsigned int random(unsigned int max) {
    const auto draw = static_cast<unsigned int>(random());
    return max == 0 ? 0 : draw % max;
}

float randomf() {
    return static_cast<float>(random()) / static_cast<float>(kRandomMax);
}

float randomf(float max) {
    return randomf() * max;
}

float randomf(float min, float max) {
    return min + randomf() * (max - min);
}

}  // namespace vexa
