// The conversion of the effect mixer's decibel units to SDL_mixer's volume
// and panning.
#include <gtest/gtest.h>

#include "platform/sdl/SdlMixer.h"

namespace {

TEST(SoundMixer, DecibelVolumeAndPanBecomeChannelVolumeAndPanning)
{
    struct Case {
        int32_t Volume, Pan;
        TSdlGains Expected;
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, {128, 255, 255}},
        {-2000, 0, {13, 255, 255}},          // 20 dB down: a tenth
        {-600, 0, {64, 255, 255}},           // 6 dB down: about half
        {-800, 0, {51, 255, 255}},           // the top of the screen
        {-200, 0, {102, 255, 255}},          // the bottom of the screen
        {0, -4000, {128, 255, 3}},           // far left: the right side 40 dB down
        {0, 4000, {128, 3, 255}},            // far right
        {0, -2000, {128, 255, 26}},
        {-500, 2000, {72, 26, 255}},
        {-9999, 0, {0, 255, 255}},           // below the last step SDL can give
        {-10000, 0, {0, 255, 255}},          // silence
        {0, -10000, {128, 255, 0}},          // full left: the right side silent
        {0, 10000, {128, 0, 255}},
        {-10000, 10000, {0, 255, 255}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TSdlGains g = DirectSoundToSdl(c.Volume, c.Pan);
        EXPECT_EQ(g.Volume, c.Expected.Volume) << c.Volume << " " << c.Pan;
        EXPECT_EQ(g.Left, c.Expected.Left) << c.Volume << " " << c.Pan;
        EXPECT_EQ(g.Right, c.Expected.Right) << c.Volume << " " << c.Pan;
    }
}

} // namespace
