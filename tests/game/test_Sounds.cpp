#include "GameFixture.h"

using Sounds = GameTest;
using V = std::vector<int>;

TEST_F(Sounds, HitsSoundWhereTheyAppearAndNotWhenNoSlotIsFree)
{
    TakeEffects();
    Game->AddHit(0, 600, 0, 0);
    EXPECT_EQ(TakeEffects(), V{Hit});
    EXPECT_EQ(EffectPan(Hit), -4000);
    EXPECT_EQ(EffectVolume(Hit), -200);
    for (int i = 0; i < 25; ++i)
        Game->AddHit(800, 0, 0, 0);
    EXPECT_EQ(TakeEffects().size(), 19u);
    EXPECT_EQ(EffectPan(Hit), 4000);
}

TEST_F(Sounds, TheStageTitleBeginsWithItsSound)
{
    TakeEffects();
    Frame();
    EXPECT_EQ(Game->Phase, PhaseStageTitle);
    EXPECT_EQ(TakeEffects(), V{NewStage});
    EXPECT_EQ(EffectPan(NewStage), 0);
    EXPECT_EQ(EffectVolume(NewStage), -700);
    Frame();
    EXPECT_EQ(TakeEffects(), V{});
}

TEST_F(Sounds, EveryShotOfAVolleySoundsAtItsStart)
{
    struct Row {
        uint8_t Gun;
        V Effects;
    };
    // clang-format off
    const Row rows[] = {
        {0, {Laser_1}}, {1, {Rocket, Rocket, Rocket}}, {3, {Rocket}}, {5, {Plasma, Plasma}}, {8, {Laser_1}},
    };
    // clang-format on
    for (const Row& r : rows) {
        int16_t x = 400, y = 500;
        TGunner gun(Game.get(), r.Gun, r.Gun, true, x, y);
        P.Clock.Advance(1000);
        TakeEffects();
        ASSERT_TRUE(gun.Fire());
        EXPECT_EQ(TakeEffects(), r.Effects) << int(r.Gun);
    }
    // A gun with every slot taken stays silent.
    int16_t x = 400, y = 500;
    TGunner full(Game.get(), 0, 0, true, x, y);
    for (auto& s : full.Shots)
        s = std::make_unique<TPulya>(0, 400, 300, 3.15);
    P.Clock.Advance(1000);
    TakeEffects();
    EXPECT_TRUE(full.Fire());
    EXPECT_EQ(TakeEffects(), V{});
}

TEST_F(Sounds, SpecialWeaponsSoundOncePerRocket)
{
    StartPlay();
    Game->Ship->MegaBombReady = true;
    Game->Ship->SpecialCooldown = 70;
    P.Keyboard.Press(57);
    TakeEffects();
    Frame();
    const V played = TakeEffects();
    EXPECT_EQ(std::count(played.begin(), played.end(), Skeel), 10);
    EXPECT_EQ(EffectPan(Skeel), (720 - 400) * 10);

    for (int i = 0; i < 15; ++i)
        Game->Ship->Gun->Shots[i] = std::make_unique<TPulya>(0, 400, 300, 3.15);
    Game->Ship->MegaSkullReady = true;
    Game->Ship->SpecialCooldown = 70;
    Frame();
    const V salvo = TakeEffects();
    EXPECT_EQ(std::count(salvo.begin(), salvo.end(), Skeel), 6);
}

TEST_F(Sounds, TheLastShipLostStopsTheMusicAndTheEndBringsTheMenuMusic)
{
    struct Row {
        bool MusicOn;
        bool MenuMusic;
    };
    for (const Row& r : {Row{true, true}, Row{false, false}}) {
        GameOptions.MusicOn = r.MusicOn;
        GameState = StatePlaying;
        StartPlay();
        PlayMusic("2.xm");
        Game->Lives = 1;
        Game->Energy = 0;
        P.Music.Log.clear();
        TakeEffects();
        Frame();
        ASSERT_EQ(Game->Phase, PhaseGameOver);
        EXPECT_EQ(MusicHandle, 0u);
        ASSERT_FALSE(P.Music.Log.empty());
        EXPECT_EQ(P.Music.Log.back().rfind("free", 0), 0u);
        const V played = TakeEffects();
        ASSERT_FALSE(played.empty());
        EXPECT_EQ(played.back(), Laser_1); // played directly, after the five explosions
        P.Music.Log.clear();
        const uint32_t start = Game->PhaseStart;
        while (P.Clock.Now - start <= 2000)
            Frame();
        EXPECT_NE(GameState, StatePlaying);
        const bool loaded = !P.Music.Loaded.empty() && P.Music.Loaded.back().ends_with("1.xm") &&
                            !P.Music.Log.empty();
        EXPECT_EQ(loaded, r.MenuMusic);
        StopMusic();
        P.Music.Loaded.clear();
        Game = std::make_unique<TGame>();
        CurrentGame = Game.get();
    }
}
