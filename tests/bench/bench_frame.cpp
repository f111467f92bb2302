// Processor time of one busy game frame and of one present.
//
// The scene: both background layers, nine enemy fighters, a command ship,
// twenty asteroids, twenty hit effects, twenty bonuses and every shot slot of
// the warship's gun filled, drawn into an 800 x 600 back buffer with sprite
// sheets of the real sizes (the built pack when it can be loaded, else blank
// sheets of the pack's sizes). The scene is rebuilt before every frame, off
// the clock, so that every measured frame is equally busy.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "fakes/Fakes.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "main/Globals.h"
#include "platform/NullServices.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "platform/sdl/SdlText.h"
#include "tools/art/ArtSizes.h"

namespace {

double CpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// Sheets of the pack's sizes, filled with a pattern and a magenta key.
void MakeBlankSheets(TDirectDraw& dd)
{
    auto make = [&](int entry) {
        const TSize size = EntrySize(entry);
        TSurface* s = dd.CreateSurface(size.Width, size.Height);
        for (int y = 0; y < size.Height; ++y)
            for (int x = 0; x < size.Width; ++x)
                s->SetPixel(x, y, ((x / 4 + y / 4) % 3 == 0) ? TransparentMagenta : 0x336699u + x);
        DDCOLORKEY key{TransparentMagenta, TransparentMagenta};
        s->SetColorKey(DDCKEY_SRCBLT, &key);
        return s;
    };
    for (int i = 0; i < GameSheetCount; ++i)
        GameSheets[i] = make(i);
    for (int i = 0; i < MenuSheetCount; ++i)
        MenuSheets[i] = make(GameSheetCount + i);
    for (int i = 0; i < FlippedShotSheetCount; ++i)
        FlippedShotSheets[i] = make(SheetShot + i);
}

void BuildScene(TGame& g)
{
    g.Engine->ResetEngine();
    for (auto& h : g.Hits) h.reset();
    g.Phase = PhasePlay;
    g.Distance = 0;
    g.Energy = 124;
    g.Armor = 30;
    g.Lives = 3;
    g.Ship->X = 380;
    g.Ship->Y = 480;
    g.Ship->MegaBombReady = g.Ship->MegaSkullReady = true;
    for (int i = 0; i < 9; ++i) {
        auto& slot = g.Engine->Enemies[i];
        slot = std::make_unique<TEnemyShip>(&g, static_cast<uint8_t>(i), static_cast<uint8_t>(i % 4),
                                            static_cast<int16_t>(20 + 85 * i), static_cast<int16_t>(60 + 20 * (i % 3)));
        slot->LifeBar->Visible = true;
        for (int s = 0; s < 4; ++s)
            slot->Gun->Shots[s] = std::make_unique<TPulya>(static_cast<uint8_t>(i), slot->X, static_cast<int16_t>(200 + 40 * s), 0.0);
    }
    g.Engine->Boss = std::make_unique<TBaseBoss>(&g, 2);
    g.Engine->Boss->Y = 120;
    g.Engine->Boss->LifeBar->Visible = true;
    for (int i = 0; i < AsteroidSlots; ++i) {
        g.Asteroids[i] = std::make_unique<TAsteroid>(&g, static_cast<uint8_t>(i));
        g.Asteroids[i]->X = static_cast<int16_t>(30 + 37 * i);
        g.Asteroids[i]->Y = static_cast<int16_t>(250 + 7 * i);
    }
    // the flashes in a row; six explosions of the three kinds at different
    // ages in the open below, over both star layers; five more at staggered
    // ages over the command ship's hull, as when one goes up
    const TBaseBoss& boss = *g.Engine->Boss;
    constexpr int BossBlast[5][3] = {{40, 60, 2}, {120, 30, 5}, {70, 150, 8}, {140, 190, 4}, {20, 200, 11}};
    for (int i = 0; i < HitSlots; ++i) {
        uint8_t type = static_cast<uint8_t>(i % 9);
        int16_t x = static_cast<int16_t>(40 * i), y = 300, frame = static_cast<int16_t>(i % 16);
        if (i >= 9 && i < 15) {
            type = static_cast<uint8_t>(9 + i % 3);
            x = static_cast<int16_t>(10 + 95 * (i - 9));
            y = static_cast<int16_t>(400 + 20 * (i % 2));
            frame = static_cast<int16_t>(1 + 2 * (i - 9));
        } else if (i >= 15) {
            const int* b = BossBlast[i - 15];
            type = static_cast<uint8_t>(9 + boss.Kind); // what this command ship goes up with
            x = static_cast<int16_t>(boss.X + b[0]);
            y = static_cast<int16_t>(boss.Y + b[1]);
            frame = static_cast<int16_t>(b[2]);
        }
        g.Hits[i] = std::make_unique<THit>(type, 0, x, y, static_cast<uint8_t>(i));
        g.Hits[i]->Frame = frame;
    }
    for (int i = 0; i < BonusSlots; ++i)
        g.Bonuses[i] = std::make_unique<TBonus>(&g, static_cast<uint8_t>(i), static_cast<int16_t>(38 * i), 330);
    for (int s = 0; s < GunShotSlots; ++s)
        g.Ship->Gun->Shots[s] = std::make_unique<TPulya>(static_cast<uint8_t>(s % 9), static_cast<int16_t>(35 * s), 380, 3.15);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

constexpr int FirstSecond = 64; // frames

// The same 1000 frames are played again in fresh processes (every cache cold
// again, as in a new game): a frame that is slow in every one of them is slow
// by itself, one that is slow in one only was interrupted by the machine.
constexpr int ExtraRounds = 4;
int RoundPipe = -1; // in a round's process: where its frame times go

std::vector<double> RunRoundProcess()
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        RoundPipe = fds[1];
        return {};
    }
    close(fds[1]);
    std::vector<double> times;
    double t = 0;
    while (read(fds[0], &t, sizeof t) == static_cast<ssize_t>(sizeof t))
        times.push_back(t);
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return times;
}

// Writes the back buffer as a binary PPM, for looking at the busy scene.
void WritePpm(const TSurface& s, const char* path)
{
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return;
    std::fprintf(f, "P6\n%d %d\n255\n", s.Width(), s.Height());
    for (int32_t i = 0; i < s.Width() * s.Height(); ++i) {
        const uint32_t c = s.Pixels()[i];
        const unsigned char rgb[3] = {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                                      static_cast<unsigned char>(c)};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

} // namespace

// bench_frame [scene.ppm]: prints the figures; with a path, also keeps the
// last busy frame as a picture.
int main(int argc, char** argv)
{
    std::vector<std::vector<double>> rounds;
    for (int r = 0; r < ExtraRounds && RoundPipe < 0; ++r) {
        std::vector<double> times = RunRoundProcess();
        if (RoundPipe < 0 && !times.empty())
            rounds.push_back(std::move(times));
    }

    FakeClock clock;
    clock.Now = 100000;
    FakeMouse mouse;
    FakeDisplay display;
    TNullMixer mixer;
    TNullModulePlayer music;
    TSdlText text;
    Platform.Clock = &clock;
    Platform.Mouse = &mouse;
    Platform.Display = &display;
    Platform.Mixer = &mixer;
    Platform.Music = &music;
    Platform.Text = &text;

    TDirectDraw dd;
    DDraw = &dd;
    BackBuffer = dd.CreateSurface(800, 600);
    SnapshotSurface = dd.CreateSurface(800, 600);

    const char* sheets = "blank sheets of the pack's sizes";
    const std::string pack = std::string(ZEPHYRION_BINARY_DIR) + "/Data/Data.pp";
    if (std::filesystem::exists(pack)) {
        AssetPackPath = pack;
        try {
            LoadAssetPack(&dd);
            if (GameSheets[SheetBackgroundFar] && MenuSheets[SheetHudFrame])
                sheets = "the built asset pack";
        } catch (const std::exception& e) {
            std::printf("pack not loaded: %s\n", e.what());
        }
    }
    const bool blank = !GameSheets[SheetBackgroundFar] || !MenuSheets[SheetHudFrame];
    if (blank)
        MakeBlankSheets(dd);

    RandSeed = 1;
    auto game = std::make_unique<TGame>();
    CurrentGame = game.get();

    constexpr int Frames = 1000;
    std::vector<double> frame, clear, present;
    frame.reserve(Frames);
    std::vector<uint32_t> upload(800 * 600);
    TPrimarySurface* primary = dd.CreatePrimarySurface([&](const TSurface& src, const TRect& r) {
        // What the SDL presenter does with the frame: one copy of its pixels.
        for (int y = 0; y < r.Height(); ++y)
            std::copy_n(src.Pixels() + static_cast<size_t>(r.Top + y) * src.Width() + r.Left, r.Width(),
                        upload.data() + static_cast<size_t>(y) * 800);
    });
    const TRect whole{0, 0, 800, 600};
    for (int i = 0; i < Frames; ++i) {
        BuildScene(*game);
        clock.Now += (i % 8 == 0 || i % 8 == 3 || i % 8 == 6) ? 15 : 16;
        double t0 = CpuNow();
        BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, 0);
        double t1 = CpuNow();
        game->UpdateAndDraw(BackBuffer);
        double t2 = CpuNow();
        primary->Blt(&whole, BackBuffer, &whole, DDBLT_WAIT);
        double t3 = CpuNow();
        clear.push_back(t1 - t0);
        frame.push_back(t2 - t1);
        present.push_back(t3 - t2);
    }
    if (RoundPipe >= 0) {
        // A round's process: hand the frame times over and end.
        for (const double t : frame)
            if (write(RoundPipe, &t, sizeof t) != static_cast<ssize_t>(sizeof t))
                break;
        _exit(0);
    }
    if (argc > 1)
        WritePpm(*BackBuffer, argv[1]);
    // Where the frame's time goes: the two layers and the heads-up display.
    std::vector<double> layers, hud;
    for (int i = 0; i < 300; ++i) {
        clock.Now += 16;
        double t0 = CpuNow();
        game->FarLayer->ScrollAndDraw(BackBuffer);
        game->NearLayer->ScrollAndDraw(BackBuffer);
        double t1 = CpuNow();
        game->DrawHud();
        double t2 = CpuNow();
        layers.push_back(t1 - t0);
        hud.push_back(t2 - t1);
    }
    std::printf("sheets: %s; text: %s\n", sheets, "SDL2_ttf renderer");
    std::printf("busy game frame (UpdateAndDraw): median %.3f ms, worst %.3f ms over %d frames\n",
                Median(frame) * 1e3, *std::max_element(frame.begin(), frame.end()) * 1e3, Frames);
    // The first second fills the caches (fonts, glyphs); play after it must
    // never see a slow frame.
    const auto settled = frame.begin() + FirstSecond;
    const auto worst = std::max_element(settled, frame.end());
    std::printf("  after the first second: worst %.3f ms (frame %d), 99th percentile %.3f ms\n", *worst * 1e3,
                static_cast<int>(worst - frame.begin()), Percentile(std::vector<double>(settled, frame.end()), 0.99) * 1e3);
    // Each frame's lowest time over all rounds: what the frame itself costs.
    std::vector<double> lowest = frame;
    for (const auto& r : rounds)
        for (size_t i = 0; i < std::min(r.size(), lowest.size()); ++i)
            lowest[i] = std::min(lowest[i], r[i]);
    const auto lowestWorst = std::max_element(lowest.begin() + FirstSecond, lowest.end());
    std::printf("  after the first second, each frame's lowest of %d runs: worst %.3f ms (frame %d), median %.3f ms\n",
                static_cast<int>(rounds.size()) + 1, *lowestWorst * 1e3, static_cast<int>(lowestWorst - lowest.begin()),
                Median(std::vector<double>(lowest.begin() + FirstSecond, lowest.end())) * 1e3);
    std::printf("  of which both background layers: median %.3f ms, heads-up display: median %.3f ms\n",
                Median(layers) * 1e3, Median(hud) * 1e3);
    std::printf("clear of the back buffer:        median %.3f ms\n", Median(clear) * 1e3);
    std::printf("present (primary blit + upload copy of 800 x 600): median %.3f ms\n", Median(present) * 1e3);

    TSurface* presented = primary;
    dd.Release(presented);
    CurrentGame = nullptr;
    game.reset();
    if (blank) {
        for (auto& s : GameSheets) dd.Release(s);
        for (auto& s : MenuSheets) dd.Release(s);
        for (auto& s : FlippedShotSheets) dd.Release(s);
    } else {
        ReleaseAssets();
    }
    dd.Release(BackBuffer);
    dd.Release(SnapshotSurface);
    return 0;
}
