#pragma once

namespace vexa {

// Switches on the debug heap's leak report at exit where the C runtime has one
// (MSVC debug builds). Elsewhere leaks are found by the sanitizer build.
class MemoryTracker {
public:
    // Always true: switching the report on cannot fail.
    static bool Initialize();
};

}  // namespace vexa
