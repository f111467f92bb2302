#include "GameFixture.h"
#include "graphics/Draw.h"

using Controller = GameTest;

TEST_F(Controller, StageCycleAndBossKindByStage)
{
    struct Row {
        uint8_t Stage, Cycle, SubStage, Boss;
    };
    // clang-format off
    const Row rows[] = {
        {1, 1, 1, 0}, {3, 3, 3, 0}, {6, 6, 3, 1}, {9, 9, 3, 2}, {10, 10, 1, 2}, {11, 1, 2, 0},
        {12, 2, 3, 0}, {15, 5, 3, 0}, {18, 8, 3, 1}, {20, 10, 2, 2}, {21, 1, 3, 0}, {30, 10, 3, 2},
        {0, 10, 3, 2}, // past stage 255 the counter wraps to 0
    };
    // clang-format on
    for (const Row& r : rows) {
        Game->Stage = static_cast<uint8_t>(r.Stage - 1);
        Game->NextStage();
        EXPECT_EQ(Game->Stage, r.Stage);
        EXPECT_EQ(Game->StageCycle(), r.Cycle) << "stage " << int(r.Stage);
        EXPECT_EQ(Game->SubStage, r.SubStage) << "stage " << int(r.Stage);
        EXPECT_EQ(Game->BossKind(), r.Boss) << "stage " << int(r.Stage);
        EXPECT_EQ(Game->Phase, PhaseSettle);
    }
}

TEST_F(Controller, BossStagesBringTheirCommandShipAtTheStartOfPlay)
{
    struct Row {
        uint8_t Stage;
        bool Boss;
        uint8_t Kind;
    };
    for (const Row& r : {Row{2, false, 0}, Row{3, true, 0}, Row{6, true, 1}, Row{9, true, 2}, Row{12, true, 0},
                         Row{30, true, 2}}) {
        Game->Stage = static_cast<uint8_t>(r.Stage - 1);
        Game->NextStage();
        StartPlay();
        ASSERT_EQ(Game->Engine->Boss != nullptr, r.Boss) << int(r.Stage);
        if (r.Boss) {
            EXPECT_EQ(Game->Engine->Boss->Kind, r.Kind);
            EXPECT_EQ(Game->Engine->Boss->Y, -BossSize[r.Kind].H);
        }
    }
}

TEST_F(Controller, NewGameSettlesThenShowsTheTitleForMoreThanTwoSeconds)
{
    EXPECT_FALSE(P.Display.CursorShown);
    EXPECT_EQ(Game->Stage, 1);
    EXPECT_EQ(Game->Lives, 3);
    EXPECT_EQ(Game->Energy, 124);
    EXPECT_EQ(Game->Armor, 0);
    EXPECT_EQ(Game->Phase, PhaseSettle);
    Frame();
    ASSERT_EQ(Game->Phase, PhaseStageTitle);
    const uint32_t start = Game->PhaseStart;
    EXPECT_EQ(start, P.Clock.Now);
    while (Game->Phase == PhaseStageTitle) {
        Frame();
        EXPECT_EQ(Game->Ship->X, 390);
        EXPECT_EQ(Game->Ship->Y, 500);
    }
    EXPECT_EQ(Game->Phase, PhasePlay);
    EXPECT_GT(P.Clock.Now - start, 2000u);
    EXPECT_LE(P.Clock.Now - start, 2000u + 16u);
    EXPECT_EQ(Game->Engine->Boss, nullptr);
    // The distance restarts at every title: the play begins with the steps of one frame.
    EXPECT_LE(Game->Distance, 2u);
}

TEST_F(Controller, StageDistanceEndsTheStageAtTheStartOfAPlayFrame)
{
    struct Row {
        uint8_t Stage;
        uint32_t Needs;
    };
    for (const Row& r : {Row{1, 10000}, Row{2, 15000}, Row{9, 50000}}) {
        Game->Stage = r.Stage;
        Game->SubStage = 1;
        StartPlay();
        EXPECT_EQ(Game->StageDistance(), r.Needs);
        Game->Distance = r.Needs - 1;
        Frame();
        EXPECT_EQ(Game->Phase, PhasePlay);
        EXPECT_EQ(Game->Stage, r.Stage);
        Game->Distance = r.Needs;
        Frame();
        EXPECT_EQ(Game->Phase, PhaseSettle);
        EXPECT_EQ(Game->Stage, r.Stage + 1);
    }
}

TEST_F(Controller, BothLayersCountTheirScrollSteps)
{
    // The near layer steps every frame that is more than 1 ms later, the far
    // one only when more than 15 ms have passed since its last step.
    StartPlay();
    Game->Distance = 0;
    const int16_t far0 = Game->FarLayer->OffsetY, near0 = Game->NearLayer->OffsetY;
    for (int i = 0; i < 64; ++i)
        Frame(); // 64 ticks of 15.625 ms: one second
    const int nearSteps = (Game->NearLayer->OffsetY - near0 + 200) % 200;
    const int farSteps = (Game->FarLayer->OffsetY - far0 + 486) % 486;
    EXPECT_EQ(nearSteps, 64);
    // Ticks are 15 or 16 ms apart (5 of every 8 are 16): a 16 ms tick steps
    // at once, a 15 ms one waits for the next tick.
    EXPECT_EQ(farSteps, 40);
    EXPECT_EQ(Game->Distance, static_cast<uint32_t>(nearSteps + farSteps));
}

TEST_F(Controller, LayerTilesFollowTheirSheet)
{
    struct Row {
        uint8_t Sheet;
        uint16_t W, H;
        uint8_t Columns, Rows;
    };
    for (const Row& r : {Row{0, 400, 300, 2, 2}, Row{1, 800, 200, 1, 3}, Row{2, 512, 486, 1, 1}, Row{3, 300, 200, 2, 3},
                         Row{7, 300, 200, 2, 3}, Row{9, 100, 50, 8, 12}}) {
        TRunBackground layer(Game.get(), 100, 50, r.Sheet, 1);
        EXPECT_EQ(layer.TileWidth, r.W);
        EXPECT_EQ(layer.TileHeight, r.H);
        EXPECT_EQ(layer.Columns, r.Columns);
        EXPECT_EQ(layer.Rows, r.Rows);
    }
    TRunBackground empty(Game.get(), 0, 0, 40, 1); // no tile size: nothing to tile, no fault
    EXPECT_EQ(empty.Columns, 0);
    EXPECT_EQ(Game->FarLayer->Sheet, SheetBackgroundFar);
    EXPECT_GE(Game->NearLayer->Sheet, 3);
    EXPECT_LE(Game->NearLayer->Sheet, 7);
}

TEST_F(Controller, RollEnemyKindSplitsItsFirstDrawAtTheShares)
{
    // r <= 70: kinds 0..2; 71..79: 3..5; 80..99: 6..8; always exactly two draws.
    struct Row {
        int32_t R;
        int Low, High;
    };
    for (const Row& row : {Row{0, 0, 2}, Row{70, 0, 2}, Row{71, 3, 5}, Row{79, 3, 5}, Row{80, 6, 8}, Row{99, 6, 8}}) {
        uint32_t seed = 1;
        for (;; ++seed) {
            TLcg g{seed};
            if (g.Next(100) == row.R)
                break;
        }
        TLcg model{seed};
        model.Next(100);
        const int second = model.Next(3);
        RandSeed = seed;
        const uint8_t kind = Game->RollEnemyKind(70, 10);
        EXPECT_EQ(kind, row.Low + second) << "r = " << row.R;
        EXPECT_GE(kind, row.Low);
        EXPECT_LE(kind, row.High);
        EXPECT_EQ(RandSeed, model.Seed) << "r = " << row.R;
    }
}

TEST_F(Controller, PickEnemyKindRollsUntilTheStageAllowsTheKind)
{
    struct Row {
        uint8_t Stage;
        int Limit;
    };
    for (const Row& r : {Row{1, 1}, Row{11, 1}, Row{2, 2}, Row{3, 3}, Row{5, 5}, Row{10, 9}, Row{20, 9}}) {
        Game->Stage = r.Stage;
        for (uint32_t seed = 100; seed < 160; ++seed) {
            // The model: roll pairs of draws until the kind is below the cycle.
            TLcg g{seed};
            int expected;
            for (;;) {
                const int32_t roll = g.Next(100);
                const int32_t pick = g.Next(3);
                expected = roll <= 70  ? pick
                           : roll < 80 ? 3 + pick
                                       : 6 + pick;
                if (expected < (r.Stage % 10 == 0 ? 10 : r.Stage % 10))
                    break;
            }
            RandSeed = seed;
            const uint8_t kind = Game->PickEnemyKind();
            EXPECT_EQ(kind, expected) << "stage " << int(r.Stage) << " seed " << seed;
            EXPECT_LT(kind, r.Limit);
            EXPECT_EQ(RandSeed, g.Seed);
        }
    }
}

TEST_F(Controller, AddHitTakesTheFirstFreeSlotAndDropsWhenFull)
{
    Game->AddHit(10, 20, -5, 9);
    Game->AddHit(30, 40, 0, 0);
    Game->Hits[0].reset();
    Game->AddHit(50, 60, 0, 17);
    ASSERT_TRUE(Game->Hits[0]);
    EXPECT_EQ(Game->Hits[0]->X, 50);
    EXPECT_EQ(Game->Hits[0]->Kind, 5);
    EXPECT_EQ(Game->Hits[0]->Slot, 0);
    EXPECT_EQ(Game->Hits[1]->Frame, 0);
    for (int i = 0; i < 30; ++i)
        Game->AddHit(static_cast<int16_t>(i), 0, 0, 0);
    EXPECT_EQ(CountHits(), HitSlots);
    EXPECT_EQ(Game->Hits[19]->X, 17); // the rest found no slot
}

struct TGameOverCase {
    int32_t Score, Tenth;
    int32_t State;
};

class GameOverEnd : public GameTest, public ::testing::WithParamInterface<TGameOverCase> {};

TEST_P(GameOverEnd, LeadsToNameEntryOnlyAboveTheTenthScore)
{
    const TGameOverCase c = GetParam();
    HiScores[9].Score = c.Tenth;
    StartPlay();
    Game->Score = c.Score;
    Game->Lives = 1;
    Game->Energy = 0;
    Frame(); // the last ship is lost: straight to the game-over display
    ASSERT_EQ(Game->Phase, PhaseGameOver);
    EXPECT_EQ(Game->Lives, 0);
    EXPECT_EQ(CountHits(), 5); // created, never shown
    const uint32_t start = Game->PhaseStart;
    SnapshotSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0x123456);
    for (;;) {
        Frame();
        if (P.Clock.Now - start > 2000)
            break;
        EXPECT_EQ(GameState, StatePlaying);
    }
    EXPECT_EQ(GameState, c.State);
    // Name entry shows the last game frame behind its dialog: "Game Over" in green.
    EXPECT_EQ(SnapshotSurface->GetPixel(312, 305), c.State == StateNameEntry ? ColorBrightGreen : 0x123456u);
    EXPECT_TRUE(P.Display.CursorShown);
    EXPECT_EQ(Game->Phase, PhaseGameOver);
    EXPECT_EQ(CountHits(), 5);
}

INSTANTIATE_TEST_SUITE_P(Scores, GameOverEnd,
                         ::testing::Values(TGameOverCase{100, 100, StateMainMenu}, TGameOverCase{101, 100, StateNameEntry},
                                           TGameOverCase{0, 0, StateMainMenu}, TGameOverCase{5, -1, StateNameEntry}));

TEST_F(Controller, QuitDuringPlayEndsAtTheFirstGameOverFrame)
{
    StartPlay();
    for (int i = 0; i < 200; ++i)
        Frame();
    Game->Phase = PhaseGameOver; // what the in-game quit dialog does
    Frame();
    EXPECT_EQ(GameState, StateMainMenu);
}

TEST_F(Controller, MouseDeviceIsReadEveryFrameAndTheCursorKeptInsideInMouseMode)
{
    StartPlay();
    P.Mouse.Buttons[1] = 0x80;
    MouseMode = -1;
    FormActive = -1; // the game's window is in front
    const int moves = P.Display.CursorMoves;
    Frame();
    EXPECT_EQ(MouseState[13], 0x80);
    EXPECT_EQ(P.Display.CursorMoves, moves + 1);
    EXPECT_EQ(P.Display.CursorX, P.Display.Left + 200);
    EXPECT_EQ(P.Display.CursorY, P.Display.Top + 200);
    MouseMode = 0;
    Frame();
    EXPECT_EQ(P.Display.CursorMoves, moves + 1);
    // With another program in front the pointer is the player's, even in
    // mouse mode; the device is still read.
    MouseMode = -1;
    FormActive = 0;
    Frame();
    EXPECT_EQ(MouseState[13], 0x80);
    EXPECT_EQ(P.Display.CursorMoves, moves + 1);
}
