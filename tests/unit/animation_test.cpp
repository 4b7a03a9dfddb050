// Animation: when frames are shown (against the sums of the delays worked out
// here), how GIF frames compose (against canvases drawn by hand), which frames
// the budget keeps, and the canvas as a picture's surfaces.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/animation/frame_budget.h"
#include "core/animation/frame_timing.h"
#include "core/animation/gif_compose.h"

namespace {

TEST(AnimationDelays, ShortDelaysShowAsATenthOfASecondAndLoopCountsBecomePlays) {
    EXPECT_EQ(ShownDelay(0), 100u);
    EXPECT_EQ(ShownDelay(10), 100u);
    EXPECT_EQ(ShownDelay(11), 11u);
    EXPECT_EQ(ShownDelay(20), 20u);
    EXPECT_EQ(PlaysOfGifLoopCount(false, 0), 1u);
    EXPECT_EQ(PlaysOfGifLoopCount(true, 0), PLAYS_FOREVER);
    EXPECT_EQ(PlaysOfGifLoopCount(true, 1), 2u);
    EXPECT_EQ(PlaysOfGifLoopCount(true, 0xFFFF), 0x10000u);
    EXPECT_EQ(PlaysOfGifLoopCount(true, 0xFFFFFFFFu), 0x10000u);
}

// Drives a player as a window's timer does: wakes every `tick` ms (late by up
// to a tick), shows what is due, and notes when each frame came.
struct Showing {
    uint32_t frame;
    uint64_t at;
};
std::vector<Showing> Play(FramePlayer& player, uint64_t from, uint64_t until, uint64_t tick) {
    std::vector<Showing> shown;
    for (uint64_t now = from; now <= until; now += tick) {
        const uint32_t due = player.Due(now);
        if (due == NO_FRAME) continue;
        player.Shown(due, now);
        shown.push_back({due, now});
    }
    return shown;
}

TEST(FramePlayer, FramesComeAtTheSumsOfTheirDelaysWithoutDrift) {
    const std::vector<uint32_t> delays = {200, 5, 300, 70};  // shown 200, 100, 300, 70
    const uint64_t cycle = 200 + 100 + 300 + 70;
    for (const uint64_t tick : {1ull, 16ull}) {
        FramePlayer player;
        player.Start(delays, PLAYS_FOREVER, 1000);
        const std::vector<Showing> shown = Play(player, 1000, 1000 + 20 * cycle + tick, tick);
        ASSERT_EQ(shown.size(), 20u * 4u) << "tick " << tick;
        uint64_t expected = 1000;
        for (size_t i = 0; i < shown.size(); ++i) {
            expected += std::vector<uint64_t>{200, 100, 300, 70}[i % 4];
            EXPECT_EQ(shown[i].frame, (i + 1) % 4);
            // Each comes at the first tick on or after its time: lateness never adds up.
            EXPECT_GE(shown[i].at, expected);
            EXPECT_LT(shown[i].at, expected + tick) << "frame " << i << ", tick " << tick;
        }
        EXPECT_FALSE(player.Finished());
    }
}

TEST(FramePlayer, PlaysEndOnTheLastFrameAndPlayAgainFromTheFirst) {
    FramePlayer player;
    player.Start({100, 100, 100}, 2, 0);
    const std::vector<Showing> shown = Play(player, 0, 5000, 1);
    ASSERT_EQ(shown.size(), 5u);  // 1 2 0 1 2 after the first frame at the start
    EXPECT_EQ(shown.back().frame, 2u);
    EXPECT_EQ(shown.back().at, 500u);
    EXPECT_TRUE(player.Finished());
    EXPECT_EQ(player.Wait(5000), WAIT_FOREVER);
    player.TogglePause(6000);
    EXPECT_EQ(player.Due(6000), 0u);
    player.Shown(0, 6000);
    EXPECT_EQ(Play(player, 6000, 9000, 1).size(), 5u);
}

TEST(FramePlayer, AWindowThatWasHiddenGoesOnFromNowInsteadOfRushing) {
    FramePlayer player;
    player.Start({100, 100, 100, 100}, PLAYS_FOREVER, 0);
    Play(player, 0, 150, 1);  // frame 1 at 100
    EXPECT_EQ(player.Current(), 1u);
    // Nothing runs for five seconds; then one frame, the next in turn, and the
    // schedule starts from there.
    EXPECT_EQ(player.Due(5150), 2u);
    player.Shown(2, 5150);
    EXPECT_EQ(player.Due(5200), NO_FRAME);
    EXPECT_EQ(player.Wait(5200), 50u);
    const std::vector<Showing> after = Play(player, 5200, 5460, 1);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0].at, 5250u);
    EXPECT_EQ(after[2].at, 5450u);
}

TEST(FramePlayer, PauseHoldsTheFrameAndStepsWrapBothWays) {
    FramePlayer player;
    player.Start({100, 100, 100}, PLAYS_FOREVER, 0);
    Play(player, 0, 120, 1);
    player.TogglePause(130);
    EXPECT_TRUE(player.Paused());
    EXPECT_TRUE(Play(player, 130, 2000, 1).empty());
    EXPECT_EQ(player.Current(), 1u);
    // Steps are due at once, each from the one asked for before, even if not shown yet.
    player.Step(+1);
    player.Step(+1);
    EXPECT_EQ(player.Due(2000), 0u);
    player.Shown(0, 2000);
    player.Step(-1);
    EXPECT_EQ(player.Due(2001), 2u);
    player.Shown(2, 2001);
    EXPECT_EQ(player.Due(9000), NO_FRAME);
    // Resuming gives the frame shown its whole delay again.
    player.TogglePause(10000);
    EXPECT_EQ(player.Due(10099), NO_FRAME);
    EXPECT_EQ(player.Due(10100), 0u);
}

TEST(FramePlayer, AFrameThatCannotBeReadEndsThePlayBeforeIt) {
    FramePlayer player;
    player.Start({100, 100, 100, 100}, PLAYS_FOREVER, 0);
    Play(player, 0, 250, 1);  // frame 2 on the screen
    EXPECT_EQ(player.Due(300), 3u);
    player.Truncate(3);
    EXPECT_EQ(player.FrameCount(), 3u);
    EXPECT_EQ(player.Due(300), 0u);
    player.Shown(0, 300);
    player.Step(-1);
    EXPECT_EQ(player.Due(301), 2u);
    player.Truncate(2);
    EXPECT_EQ(player.Due(301), 1u);
}

// A canvas drawn as text, one letter per pixel: '.' transparent, else a
// colour of the palette below.
const std::map<char, uint32_t> COLOURS = {{'r', 0xFF0000}, {'g', 0x00FF00}, {'b', 0x0000FF}, {'k', 0x000000}};
std::string Drawn(const GifComposer& composer) {
    std::string text;
    for (uint32_t y = 0; y < composer.Height(); ++y) {
        for (uint32_t x = 0; x < composer.Width(); ++x) {
            const uint32_t pixel = composer.Pixels()[y * composer.Width() + x];
            char letter = '?';
            if (pixel == 0) letter = '.';
            for (const auto& [name, colour] : COLOURS)
                if (pixel == (0xFF000000u | colour)) letter = name;
            text += letter;
        }
        text += '/';
    }
    return text;
}

// Palette: 0 red, 1 green, 2 blue; index 3 is past its end.
const uint32_t PALETTE[] = {0xFF0000, 0x00FF00, 0x0000FF};

GifFrame Frame(uint32_t left, uint32_t top, uint32_t width, uint32_t height, const std::vector<uint8_t>& indices,
               uint8_t disposal, int32_t transparent = NO_TRANSPARENT_INDEX) {
    GifFrame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.indices = indices.data();
    frame.stride = width;
    frame.palette = PALETTE;
    frame.paletteSize = 3;
    frame.transparentIndex = transparent;
    frame.disposal = disposal;
    return frame;
}

TEST(GifComposer, EachDisposalLeavesWhatTheFormatSays) {
    GifComposer composer;
    ASSERT_TRUE(composer.Reset(4, 3));
    EXPECT_EQ(Drawn(composer), "..../..../..../");
    const std::vector<uint8_t> full = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(composer.Draw(Frame(0, 0, 4, 3, full, GIF_DISPOSAL_KEEP)));
    EXPECT_EQ(Drawn(composer), "rrrr/rrrr/rrrr/");
    // Transparent index 1 keeps the red below; index 3 has no colour: black.
    const std::vector<uint8_t> patch = {2, 1, 3, 2};
    ASSERT_TRUE(composer.Draw(Frame(1, 1, 2, 2, patch, GIF_DISPOSAL_BACKGROUND, 1)));
    EXPECT_EQ(Drawn(composer), "rrrr/rbrr/rkbr/");
    // Background: the patch's rectangle becomes transparent before the next.
    const std::vector<uint8_t> dot = {1};
    ASSERT_TRUE(composer.Draw(Frame(3, 0, 1, 1, dot, GIF_DISPOSAL_PREVIOUS)));
    EXPECT_EQ(Drawn(composer), "rrrg/r..r/r..r/");
    // Previous: the canvas as before the dot.
    ASSERT_TRUE(composer.Draw(Frame(0, 2, 1, 1, dot, GIF_DISPOSAL_NONE)));
    EXPECT_EQ(Drawn(composer), "rrrr/r..r/g..r/");
    // None (and undefined values) leave the frame in place.
    ASSERT_TRUE(composer.Draw(Frame(1, 0, 1, 1, {2}, 7)));
    ASSERT_TRUE(composer.Draw(Frame(2, 0, 1, 1, {2}, GIF_DISPOSAL_KEEP)));
    EXPECT_EQ(Drawn(composer), "rbbr/r..r/g..r/");
}

TEST(GifComposer, FramesReachingPastTheCanvasAreClippedToIt) {
    GifComposer composer;
    ASSERT_TRUE(composer.Reset(3, 2));
    // 3 x 3 at (2, 1): only its top-left pixel lands on the canvas.
    const std::vector<uint8_t> block = {2, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(composer.Draw(Frame(2, 1, 3, 3, block, GIF_DISPOSAL_BACKGROUND)));
    EXPECT_EQ(Drawn(composer), ".../..b/");
    // Wholly outside, at the largest offsets a GIF can hold: nothing drawn, and
    // the background disposal before it cleared only the clipped pixel.
    ASSERT_TRUE(composer.Draw(Frame(0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, block, GIF_DISPOSAL_PREVIOUS)));
    EXPECT_EQ(Drawn(composer), ".../.../");
    ASSERT_TRUE(composer.Draw(Frame(0, 0, 1, 1, {1}, GIF_DISPOSAL_NONE)));
    EXPECT_EQ(Drawn(composer), "g../.../");
}

TEST(FrameBudget, AllFramesFitOrAWindowFromTheWantedOneOnwards) {
    constexpr uint64_t FRAME = 400 * 300 * 4;
    EXPECT_EQ(FramesKept(FRAME, 100, ANIMATION_BUDGET_BYTES), 100u);
    EXPECT_EQ(FramesKept(1ull << 20, 1000, ANIMATION_BUDGET_BYTES), 256u);
    EXPECT_EQ(FramesKept(1ull << 30, 10, ANIMATION_BUDGET_BYTES), FEWEST_FRAMES_KEPT);
    // Ten frames, four kept, 8 wanted: 8, 9, 0, 1.
    std::vector<bool> kept(10, false);
    for (uint32_t frame = 0; frame < 10; ++frame) {
        EXPECT_EQ(InKeptWindow(frame, 8, 4, 10), frame >= 8 || frame <= 1) << frame;
    }
    auto isKept = [&](uint32_t frame) { return static_cast<bool>(kept[frame]); };
    std::vector<uint32_t> order;
    for (uint32_t next; (next = NextToCompose(8, 4, 10, isKept)) != 10;) {
        order.push_back(next);
        kept[next] = true;
    }
    EXPECT_EQ(order, (std::vector<uint32_t>{8, 9, 0, 1}));
    EXPECT_EQ(NextToCompose(3, 20, 10, [](uint32_t frame) { return frame != 2; }), 2u);
    EXPECT_EQ(NextToCompose(10, 4, 10, isKept), 10u);
}

TEST(FrameBudget, ACanvasBecomesBottomUpRowsLaidOverBlack) {
    // Top row opaque, bottom row transparent and half transparent.
    const uint32_t canvas[] = {0xFF102030, 0xFFFFFFFF, 0x00FFFFFF, 0x80FF8040};
    uint32_t painted[4] = {};
    uint32_t straight[4] = {};
    EXPECT_TRUE(CanvasToPicture(canvas, 2, 2, reinterpret_cast<uint8_t*>(painted), 8, straight));
    EXPECT_EQ(painted[2], 0xFF102030u);
    EXPECT_EQ(painted[3], 0xFFFFFFFFu);
    EXPECT_EQ(painted[0], 0x00000000u);
    // 255 * 128 / 255 = 128, 128 * 128 / 255 = 64.25, 64 * 128 / 255 = 32.1
    EXPECT_EQ(painted[1], 0x80804020u);
    EXPECT_EQ(straight[0], 0x00FFFFFFu);
    EXPECT_EQ(straight[3], 0xFFFFFFFFu);
    const uint32_t opaque[] = {0xFF000000, 0xFFABCDEF};
    EXPECT_FALSE(CanvasToPicture(opaque, 1, 2, reinterpret_cast<uint8_t*>(painted), 4, nullptr));
    EXPECT_EQ(painted[0], 0xFFABCDEFu);
}

}  // namespace
