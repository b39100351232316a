#pragma once

// The service objects are built in a fixed order before main and destroyed in
// the reverse order after it (high-score store, audio, clock, input, model
// cache, particle pool). Across translation units C++ leaves that order open,
// so GCC and Clang are told explicitly; position 1 is built first.
#if defined(__GNUC__) || defined(__clang__)
#define VEXA_GLOBAL_ORDER(position) __attribute__((init_priority(1000 + (position))))
#else
#define VEXA_GLOBAL_ORDER(position)
#endif
