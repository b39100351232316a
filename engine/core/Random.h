#pragma once

namespace vexa {

// The engine's one random sequence: 15-bit draws (0..32767) whatever the C
// library's RAND_MAX is, so randomf() spans exactly 0..1. Every call draws once.
void seedRandom(unsigned int seed);
// The generator's whole state: seeding with it later draws the same numbers
// from there on.
unsigned int randomState();
int random();
// 0..max-1; a zero bound yields 0 rather than dividing by zero.
unsigned int random(unsigned int max);
float randomf();
float randomf(float max);
// Interpolates from min to max, so reversed bounds are accepted.
float randomf(float min, float max);

}  // namespace vexa
