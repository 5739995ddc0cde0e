#include "frame/CaptionLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace CaptionLayout;

// The main window's skin: 19 x 20 buttons, pieces 0..89 and 140..240,
// inactive image 400 further right, caption 48 high, borders 10.
constexpr CaptionSkin kSkin{19, 20, 90, 140, 240, 400, 48, 10};

auto Tie(const RECT& r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); }
auto Tie(int l, int t, int r, int b) { return std::make_tuple(l, t, r, b); }

}  // namespace

TEST(CaptionLayout, ButtonsMoveIntoThePlaceOfMissingOnes) {
    const auto none = Tie(0, 0, 0, 0);
    for (const int w : {201, 400, 1024}) {
        const auto at = [w](int fromRight) { return Tie(w - fromRight, 5, w - fromRight + 20, 25); };
        const struct {
            ButtonSet shown;
            std::tuple<int, int, int, int> close, maximize, minimize;
        } cases[] = {
            {{true, true, true}, at(25), at(45), at(65)},
            {{false, true, true}, none, at(25), at(45)},   // no WS_SYSMENU
            {{true, false, true}, at(25), none, at(45)},   // no WS_MAXIMIZEBOX
            {{true, true, false}, at(25), at(45), none},
            {{false, false, true}, none, none, at(25)},
            {{false, false, false}, none, none, none},
        };
        const RightPiece piece = PlaceRightPiece(kSkin, 0, w);
        for (const auto& c : cases) {
            const auto rects = ButtonRects(kSkin, piece, 0, c.shown);
            SCOPED_TRACE(testing::Message() << "W " << w << " shown " << c.shown.close
                                            << c.shown.maximize << c.shown.minimize);
            EXPECT_EQ(Tie(rects[kClose]), c.close);
            EXPECT_EQ(Tie(rects[kMaximize]), c.maximize);
            EXPECT_EQ(Tie(rects[kMinimize]), c.minimize);
        }
    }
}

TEST(CaptionLayout, RightPieceAndTitleFollowTheWidth) {
    const struct {
        int width;
        int pieceX;
        bool narrow;
    } cases[] = {
        {1024, 924, false}, {400, 300, false},
        {201, 101, false},  // xr == rw: still room for the title
        {200, 101, true},   // xr < rw: the piece stays at rw, no title
        {50, 101, true},    {0, 101, true},
    };
    for (const auto& c : cases) {
        const RightPiece piece = PlaceRightPiece(kSkin, 0, c.width);
        EXPECT_EQ(piece.x, c.pieceX) << c.width;
        EXPECT_EQ(piece.width, 101) << c.width;
        EXPECT_EQ(piece.narrow, c.narrow) << c.width;
    }
    for (const int w : {201, 400, 1024}) {
        EXPECT_EQ(Tie(CaptionTextRect(kSkin, 0, w)), Tie(92, 11, w - 96, 29)) << w;
    }
    // Truncating division of an odd band height.
    const CaptionSkin odd{19, 20, 90, 140, 240, 400, 47, 10};
    EXPECT_EQ(CaptionTextRect(odd, 0, 400).bottom, 11 + 17);
}

TEST(CaptionLayout, MiddleTilesStopAtTheRightPiece) {
    using Tiles = std::vector<std::pair<int, int>>;
    const struct {
        int pieceX;
        Tiles tiles;
    } cases[] = {
        {300, {{90, 52}, {142, 52}, {194, 52}, {246, 52}, {298, 2}}},
        {142, {{90, 52}}},
        {143, {{90, 52}, {142, 1}}},
        {101, {{90, 11}}},  // the narrow band's only tile
        {90, {}},           // a skin whose right piece covers x = 90: no zero-width tile
        {60, {}},           // ... nor a negative one
    };
    for (const auto& c : cases) {
        Tiles got;
        for (const Span& s : MiddleTiles(0, c.pieceX)) got.emplace_back(s.x, s.width);
        EXPECT_EQ(got, c.tiles) << c.pieceX;
    }
}

TEST(CaptionLayout, MenuBarGetsTheLowerHalfBetweenThePieces) {
    const MenuBarPlacement bar = PlaceMenuBar(kSkin, PlaceRightPiece(kSkin, 0, 400));
    EXPECT_EQ(bar.left, 90);
    EXPECT_EQ(bar.top, 24);  // the bar draws from top + 2 = 26
    EXPECT_EQ(bar.width, 300 - 90);
    EXPECT_EQ(bar.height, 24);
    EXPECT_EQ(bar.yOffset, 2 - 24);  // band row 26 is 22 rows above the client
}

TEST(CaptionLayout, SideBordersFillByDoublingUpToTheBottom) {
    const struct {
        int top, bottom;
        int copies;
    } cases[] = {
        {48, 58, 0},  {48, 59, 1}, {48, 68, 1},  {48, 69, 2},
        {48, 1048, 7},  // 1000 rows: 10 from the skin, then 7 doublings
        {48, 40, 0},    // shorter than the caption: nothing to fill
    };
    for (const auto& c : cases) {
        const auto steps = DoublingSteps(c.top, c.bottom, 10);
        EXPECT_EQ(static_cast<int>(steps.size()), c.copies) << c.bottom;
        int filled = 10;
        for (const RowCopy& s : steps) {
            EXPECT_EQ(s.from, c.top);
            EXPECT_EQ(s.to, c.top + filled);  // right below what is filled
            EXPECT_GT(s.height, 0);
            EXPECT_LE(s.height, filled);  // copies only rows already filled
            filled += s.height;
        }
        if (c.bottom > c.top) {
            EXPECT_GE(c.top + filled, c.bottom) << c.bottom;
        }
    }
}

TEST(CaptionLayout, BottomBorderTilesAndPlace) {
    const auto tiles = BottomTiles(0, 400, 10);
    ASSERT_EQ(tiles.size(), 38u);
    EXPECT_EQ(tiles.front(), 10);
    EXPECT_EQ(tiles.back(), 380);  // the corner covers 390..399
    EXPECT_EQ(BottomTiles(0, 15, 10), std::vector<int>{10});  // at least one
    EXPECT_EQ(BottomBorderTop(kSkin, 300), 290);
    EXPECT_EQ(BottomBorderTop(kSkin, 50), 48);  // shorter than H + B: right under the caption
}

TEST(CaptionLayout, TileRunsCoverWhatTheTilesCoverAndDoubleToTheirEnd) {
    // The run of a tile list: from its first tile to the end of its last.
    const auto runOf = [](const std::vector<std::pair<int, int>>& tiles) {
        return tiles.empty() ? std::make_pair(0, 0)
                             : std::make_pair(tiles.front().first,
                                              tiles.back().first + tiles.back().second - tiles.front().first);
    };
    for (const int dpi : {96, 144}) {
        for (const int pieceX : {60, 90, 101, 141, 142, 143, 300, 1501}) {
            std::vector<std::pair<int, int>> tiles;
            for (const Span& s : MiddleTiles(7, 7 + pieceX, dpi)) tiles.emplace_back(s.x, s.width);
            const TileRun run = MiddleRun(7, 7 + pieceX, dpi);
            SCOPED_TRACE(testing::Message() << "dpi " << dpi << " piece " << pieceX);
            EXPECT_EQ(run.tileWidth, dpi == 96 ? 52 : 78);
            if (tiles.empty()) {
                EXPECT_EQ(run.width, 0);
            } else {
                EXPECT_EQ(std::make_pair(run.x, run.width), runOf(tiles));
            }
        }
    }
    for (const int width : {0, 15, 20, 29, 30, 31, 400, 401, 409, 1601}) {
        std::vector<std::pair<int, int>> tiles;
        for (const int x : BottomTiles(3, 3 + width, 10)) tiles.emplace_back(x, 10);
        const TileRun run = BottomRun(3, 3 + width, 10);
        EXPECT_EQ(std::make_pair(run.x, run.width), runOf(tiles)) << width;
        EXPECT_EQ(run.tileWidth, 10);
        // One tile, then copies of what is filled, ending at the run's end.
        int filled = std::min(run.tileWidth, run.width);
        for (const RowCopy& s : DoublingSteps(run.x, run.x + run.width, run.tileWidth)) {
            EXPECT_EQ(s.to, run.x + filled);
            filled += s.height;
        }
        EXPECT_EQ(filled, run.width) << width;
    }
    EXPECT_EQ(BottomRun(0, 400, 0).width, 0);  // no tile size, nothing drawn
}
