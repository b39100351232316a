// Loaded into a program with LD_PRELOAD: when the program presents its first
// frame, prints "PRESENT <ms>" (CLOCK_REALTIME, milliseconds) on stderr and
// ends the process. Start time minus this is exec to first presented frame.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

struct SDL_Renderer;

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer) {
    using Present = void (*)(SDL_Renderer*);
    const auto real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    real(renderer);
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::fprintf(stderr, "PRESENT %.3f\n",
                 static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6);
    std::fflush(stderr);
    _exit(0);
}
