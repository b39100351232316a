// The floor for start-up: the title picture from bare SDL calls, with the
// window, renderer flags and font of the game, and nothing else.
#include <SDL.h>
#include <SDL_ttf.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

SDL_Renderer* renderer = nullptr;
SDL_Texture* textures[4] = {};
const SDL_Point places[] = {{225, 250}, {225, 275}, {10, 10}, {525, 10}};

void frame() {
    SDL_Event event;
    SDL_PollEvent(&event);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    for (int i = 0; i < 4; ++i) {
        int width = 0;
        int height = 0;
        SDL_QueryTexture(textures[i], nullptr, nullptr, &width, &height);
        const SDL_Rect destination{places[i].x, places[i].y, width, height};
        SDL_RenderCopy(renderer, textures[i], nullptr, &destination);
    }
    for (int i = 0; i < 100; ++i) {
        SDL_RenderDrawPointF(renderer, static_cast<float>(i * 8), static_cast<float>(i * 6));
    }
    SDL_RenderPresent(renderer);
}

}  // namespace

int main(int /*argc*/, char* /*argv*/[]) {
    SDL_Init(SDL_INIT_VIDEO);
    TTF_Init();
    SDL_Window* window =
        SDL_CreateWindow("BARE", 100, 100, 800, 600, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    TTF_Font* font = TTF_OpenFont("Assets/font.ttf", 28);
    const char* const captions[] = {"KELD ASTEROID FIELD", "PRESS SPACE TO PLAY", "0",
                                    "HIGH SCORE 0"};
    for (int i = 0; i < 4; ++i) {
        SDL_Surface* surface =
            TTF_RenderText_Solid(font, captions[i], SDL_Color{255, 255, 255, 255});
        textures[i] = SDL_CreateTextureFromSurface(renderer, surface);
        SDL_FreeSurface(surface);
    }
#ifdef __EMSCRIPTEN__
    // A browser runs the loop once per animation frame, as it runs the game's.
    emscripten_set_main_loop(frame, 0, 1);
#else
    for (;;) frame();
#endif
}
