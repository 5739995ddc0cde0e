#pragma once
// Geometry of the skinned caption band and borders: where the skin's pieces,
// the caption buttons, the title and the menu bar go for a window of a given
// size, and how the 96-DPI skin is redrawn for another DPI. Plain arithmetic
// on window-relative pixels, no drawing.
#include <windows.h>

#include <array>
#include <vector>

// The skin's layout numbers, as the caption painter is given them, plus the
// heights of its two bitmaps.
struct CaptionSkin {
    int buttonWidth = 0;     // one button cell
    int buttonHeight = 0;    // one button row (normal above pressed)
    int leftEnd = 0;         // width of the left end piece; the menu bar's left edge
    int rightStart = 0;      // first column of the right end piece
    int rightEnd = 0;        // last column (inclusive) of the right end piece
    int inactiveOffset = 0;  // the inactive image lies this far right
    int captionHeight = 0;   // H: caption bitmap height, the top margin
    int borderSize = 0;      // B: border bitmap height, the other margins
    // The DPI the numbers above are for; the fixed positions of the layout
    // (tile start, text insets, button cells...) are scaled to it as well.
    int dpi = 96;
};

namespace CaptionLayout {

// At 96 DPI; SysMenuHotSpot and the layout functions scale them to skin.dpi.
constexpr int kButtonCellsX = 240;  // first button cell in the caption bitmap
constexpr int kTileStart = 90;      // middle tiles start here, whatever leftEnd says
constexpr int kTileWidth = 52;
constexpr int kButtonTop = 5;
constexpr int kTextLeft = 92;
constexpr int kTextRightInset = 96;
constexpr RECT kSysMenuHotSpot{12, 11, 42, 43};

RECT SysMenuHotSpot(int dpi);

// The layout numbers of a 96-DPI skin at dpi: every length and position
// scaled, the right piece keeping its last column just before the scaled
// start of the next one.
CaptionSkin ScaleSkin(const CaptionSkin& skin96, int dpi);

// Redrawing a skin bitmap for another DPI: each piece is stretched on its own
// into the place the scaled layout looks for it (the active and the inactive
// caption images whole, every button cell and border cell by itself), so no
// rounding lets one cell bleed into its neighbour.
struct Stretch {
    RECT from{};
    RECT to{};
};
// The caption bitmap (bitmapWidth wide) of a 96-DPI skin at dpi.
std::vector<Stretch> CaptionStretches(const CaptionSkin& skin96, int bitmapWidth, int dpi);
// The border bitmap: cellCount square cells of cellSize.
std::vector<Stretch> BorderStretches(int cellSize, int cellCount, int dpi);
// The size a bitmap needs to hold all the stretched pieces.
SIZE StretchedSize(const std::vector<Stretch>& stretches);

enum ButtonIndex { kClose = 0, kMaximize = 1, kMinimize = 2 };

// Which caption buttons the window style asks for.
struct ButtonSet {
    bool close = false;     // WS_SYSMENU
    bool maximize = false;  // WS_MAXIMIZEBOX
    bool minimize = false;  // WS_MINIMIZEBOX
};
ButtonSet ButtonsForStyle(LONG_PTR style);

// The right end piece: drawn at x, `width` wide. A band too narrow for it
// keeps the piece at left + width and is marked narrow (no title then).
struct RightPiece {
    int x = 0;
    int width = 0;
    bool narrow = false;
};
RightPiece PlaceRightPiece(const CaptionSkin& skin, int left, int right);

// Window rectangles of [kClose], [kMaximize], [kMinimize]. The close button
// ends B - 4 pixels left of the right piece's end; each further button sits
// buttonWidth + 1 to the left, and a missing close or maximize button leaves
// its place to the next one. Buttons not shown get an empty rectangle.
std::array<RECT, 3> ButtonRects(const CaptionSkin& skin, const RightPiece& piece, int top,
                                ButtonSet shown);

// Column of a button's image in the caption bitmap (maximized windows show
// the restore image on the maximize button).
int ButtonSourceX(const CaptionSkin& skin, int index, bool maximized);

// The middle tiles from x = left + 90 up to the right piece, the last one cut
// short. The first tile is always drawn unless the right piece starts at or
// before x = 90, where a tile would have no width at all.
struct Span {
    int x = 0;
    int width = 0;
};
std::vector<Span> MiddleTiles(int left, int rightPieceX, int dpi = 96);

// A row of equal tiles as one stretch: [x, x + width), tileWidth apart, the
// last one cut short. Painted as one tile and then doubled (DoublingSteps
// along the row), it gives the pixels of the tiles drawn one by one.
struct TileRun {
    int x = 0;
    int width = 0;  // 0: nothing to draw
    int tileWidth = 0;
};
// What MiddleTiles covers.
TileRun MiddleRun(int left, int rightPieceX, int dpi = 96);

// Where the title is drawn (top aligned, cut with an ellipsis).
RECT CaptionTextRect(const CaptionSkin& skin, int left, int right);

// What the menu bar is given to render into the lower half of the band.
struct MenuBarPlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int yOffset = 0;  // band row -> the bar's frame (relative to the client top)
};
MenuBarPlacement PlaceMenuBar(const CaptionSkin& skin, const RightPiece& piece);

// Filling a border column downwards by doubling: the first B rows come from
// the skin, each later step copies the rows [from, from + height) to `to`.
// The steps cover rows top .. bottom - 1. Along a row of tiles (TileRun) the
// same steps are columns: from/to are x positions and height is a width.
struct RowCopy {
    int from = 0;
    int to = 0;
    int height = 0;
};
std::vector<RowCopy> DoublingSteps(int top, int bottom, int tileHeight);

// x positions of the bottom border tiles between the corners (at least one).
std::vector<int> BottomTiles(int left, int right, int tileSize);
// What BottomTiles covers, whole tiles only.
TileRun BottomRun(int left, int right, int tileSize);

// Top of the bottom border strip: B above the bottom, but never inside the caption.
int BottomBorderTop(const CaptionSkin& skin, int bottom);

}  // namespace CaptionLayout
