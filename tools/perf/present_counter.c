/* Counts the frames the game puts on the screen, without touching the game.
 *
 * Loaded with LD_PRELOAD, it stands in front of SDL's SDL_RenderPresent and
 * SDL_RenderCopy (the renderer path) and SDL_UpdateWindowSurface and
 * SDL_UpdateWindowSurfaceRects (the window surface path), passes every call
 * on to SDL, and keeps:
 *   - every present, and the time of the first one;
 *   - pictures: presents that show a copied frame (the game's own frames; the
 *     black present made when the display mode is set up is not one of them:
 *     the renderer's has no copy, the window surface's is a whole-surface
 *     update, while frames go out through the rectangle update), and the time
 *     of the first one;
 *   - which path showed the pictures.
 * The figures go to the file named by ZEPHYRION_PRESENT_COUNTER_FILE, rewritten
 * whole (through a rename, so a reader never sees half a file) on the first
 * picture, after every 16th present and when the program ends. Times are
 * CLOCK_MONOTONIC nanoseconds, the same clock a measuring script reads, plus
 * the time the shim was loaded (just before the game's main).
 *
 * Written in plain C with its own opaque declaration of the renderer so that
 * it needs no SDL headers.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef struct SDL_Renderer SDL_Renderer;
typedef struct SDL_Texture SDL_Texture;
typedef struct SDL_Rect SDL_Rect;

typedef struct SDL_Window SDL_Window;
typedef void (*PresentFn)(SDL_Renderer*);
typedef int (*UpdateFn)(SDL_Window*);
typedef int (*UpdateRectsFn)(SDL_Window*, const SDL_Rect*, int);
typedef int (*CopyFn)(SDL_Renderer*, SDL_Texture*, const SDL_Rect*, const SDL_Rect*);

static const char* OutPath;
static int64_t LoadedNs;
static int64_t FirstPresentNs = -1;
static int64_t FirstPictureNs = -1;
static int64_t LastPresentNs = -1;
static int64_t LastPictureNs = -1;
static uint64_t Presents;
static uint64_t Pictures;
static int CopiedSincePresent;
static uint64_t RendererPictures;
static uint64_t SurfacePictures;

/* dlsym hands back an object pointer; POSIX guarantees it converts to a
 * function pointer, ISO C does not, so the copy goes through memcpy. */
static void* NextSymbol(const char* name, void* fn, size_t size)
{
    void* sym = dlsym(RTLD_NEXT, name);
    if (sym && size == sizeof sym)
        memcpy(fn, &sym, size);
    return sym;
}

static int64_t NowNs(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

static void WriteFigures(void)
{
    char tmp[4096];
    char text[512];
    int fd;
    int n;
    if (!OutPath || strlen(OutPath) + 16 >= sizeof tmp)
        return;
    snprintf(tmp, sizeof tmp, "%s.%ld.tmp", OutPath, (long)getpid());
    n = snprintf(text, sizeof text,
                 "pid %ld\nloaded_ns %lld\npresents %llu\npictures %llu\n"
                 "first_present_ns %lld\nfirst_picture_ns %lld\n"
                 "last_present_ns %lld\nlast_picture_ns %lld\n"
                 "renderer_pictures %llu\nsurface_pictures %llu\n",
                 (long)getpid(), (long long)LoadedNs, (unsigned long long)Presents,
                 (unsigned long long)Pictures, (long long)FirstPresentNs, (long long)FirstPictureNs,
                 (long long)LastPresentNs, (long long)LastPictureNs,
                 (unsigned long long)RendererPictures, (unsigned long long)SurfacePictures);
    if (n <= 0 || (size_t)n >= sizeof text)
        return;
    fd = open(tmp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (write(fd, text, (size_t)n) == n && close(fd) == 0)
        rename(tmp, OutPath);
    else {
        close(fd);
        unlink(tmp);
    }
}

__attribute__((constructor)) static void Loaded(void)
{
    LoadedNs = NowNs();
    OutPath = getenv("ZEPHYRION_PRESENT_COUNTER_FILE");
    if (OutPath && !*OutPath)
        OutPath = NULL;
    /* Children the game starts (the browser opener) must not count. */
    unsetenv("LD_PRELOAD");
}

__attribute__((destructor)) static void Unloaded(void)
{
    WriteFigures();
}

int SDL_RenderCopy(SDL_Renderer* renderer, SDL_Texture* texture, const SDL_Rect* src, const SDL_Rect* dst)
{
    static CopyFn next;
    if (!next)
        NextSymbol("SDL_RenderCopy", &next, sizeof next);
    CopiedSincePresent = 1;
    return next ? next(renderer, texture, src, dst) : -1;
}

/* One present; picture says whether it showed a frame. */
static void Counted(int picture, uint64_t* pathPictures)
{
    int64_t now = NowNs();
    int firstPicture = 0;
    ++Presents;
    LastPresentNs = now;
    if (FirstPresentNs < 0)
        FirstPresentNs = now;
    if (picture) {
        ++Pictures;
        ++*pathPictures;
        LastPictureNs = now;
        if (FirstPictureNs < 0) {
            FirstPictureNs = now;
            firstPicture = 1;
        }
    }
    if (firstPicture || Presents % 16 == 0)
        WriteFigures();
}

void SDL_RenderPresent(SDL_Renderer* renderer)
{
    static PresentFn next;
    int picture;
    if (!next)
        NextSymbol("SDL_RenderPresent", &next, sizeof next);
    if (next)
        next(renderer);
    picture = CopiedSincePresent;
    CopiedSincePresent = 0;
    Counted(picture, &RendererPictures);
}

int SDL_UpdateWindowSurface(SDL_Window* window)
{
    static UpdateFn next;
    int result;
    if (!next)
        NextSymbol("SDL_UpdateWindowSurface", &next, sizeof next);
    result = next ? next(window) : -1;
    Counted(0, &SurfacePictures);
    return result;
}

int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count)
{
    static UpdateRectsFn next;
    int result;
    if (!next)
        NextSymbol("SDL_UpdateWindowSurfaceRects", &next, sizeof next);
    result = next ? next(window, rects, count) : -1;
    Counted(1, &SurfacePictures);
    return result;
}
