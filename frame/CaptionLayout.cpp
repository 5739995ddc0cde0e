#include "frame/CaptionLayout.h"

#include <algorithm>

#include "frame/DpiScale.h"

namespace CaptionLayout {

namespace {

int Px(int px96, int dpi) {
    return ScaleToDpi(px96, dpi);
}

RECT Rect(int left, int top, int right, int bottom) {
    return RECT{left, top, right, bottom};
}

}  // namespace

RECT SysMenuHotSpot(int dpi) {
    return Rect(Px(kSysMenuHotSpot.left, dpi), Px(kSysMenuHotSpot.top, dpi), Px(kSysMenuHotSpot.right, dpi),
                Px(kSysMenuHotSpot.bottom, dpi));
}

CaptionSkin ScaleSkin(const CaptionSkin& s, int dpi) {
    CaptionSkin scaled;
    scaled.buttonWidth = Px(s.buttonWidth, dpi);
    scaled.buttonHeight = Px(s.buttonHeight, dpi);
    scaled.leftEnd = Px(s.leftEnd, dpi);
    scaled.rightStart = Px(s.rightStart, dpi);
    scaled.rightEnd = Px(s.rightEnd + 1, dpi) - 1;
    scaled.inactiveOffset = Px(s.inactiveOffset, dpi);
    scaled.captionHeight = Px(s.captionHeight, dpi);
    scaled.borderSize = Px(s.borderSize, dpi);
    scaled.dpi = dpi;
    return scaled;
}

std::vector<Stretch> CaptionStretches(const CaptionSkin& s, int bitmapWidth, int dpi) {
    std::vector<Stretch> pieces;
    const int H = s.captionHeight;
    const int H2 = Px(H, dpi);
    // The band images: columns 0 .. rightEnd, and the same at the inactive offset.
    const int band = std::min(s.rightEnd + 1, bitmapWidth);
    if (band > 0) pieces.push_back({Rect(0, 0, band, H), Rect(0, 0, Px(band, dpi), H2)});
    const int inactive = std::min(s.rightEnd + 1, bitmapWidth - s.inactiveOffset);
    if (s.inactiveOffset > 0 && inactive > 0) {
        const int x = Px(s.inactiveOffset, dpi);
        pieces.push_back({Rect(s.inactiveOffset, 0, s.inactiveOffset + inactive, H),
                          Rect(x, 0, x + Px(inactive, dpi), H2)});
    }
    // The button cells last: the close cell's first column is also the right
    // piece's last one, and belongs to the cell.
    const int bw = s.buttonWidth, bh = s.buttonHeight;
    const int bw2 = Px(bw, dpi), bh2 = Px(bh, dpi);
    const int cells = Px(kButtonCellsX, dpi);
    for (int k = 0; k < 4 && bw > 0 && bh > 0; ++k) {
        const int x = kButtonCellsX + k * bw;
        if (x + bw > bitmapWidth) break;
        for (int row = 0; row < 2; ++row) {
            pieces.push_back({Rect(x, row * bh, x + bw, (row + 1) * bh),
                              Rect(cells + k * bw2, row * bh2, cells + (k + 1) * bw2, (row + 1) * bh2)});
        }
    }
    return pieces;
}

std::vector<Stretch> BorderStretches(int cellSize, int cellCount, int dpi) {
    std::vector<Stretch> pieces;
    const int B2 = Px(cellSize, dpi);
    for (int n = 0; n < cellCount && cellSize > 0; ++n) {
        pieces.push_back({Rect(n * cellSize, 0, (n + 1) * cellSize, cellSize), Rect(n * B2, 0, (n + 1) * B2, B2)});
    }
    return pieces;
}

SIZE StretchedSize(const std::vector<Stretch>& stretches) {
    SIZE size{0, 0};
    for (const Stretch& s : stretches) {
        size.cx = std::max(size.cx, static_cast<LONG>(s.to.right));
        size.cy = std::max(size.cy, static_cast<LONG>(s.to.bottom));
    }
    return size;
}

ButtonSet ButtonsForStyle(LONG_PTR style) {
    return ButtonSet{(style & WS_SYSMENU) != 0, (style & WS_MAXIMIZEBOX) != 0,
                     (style & WS_MINIMIZEBOX) != 0};
}

RightPiece PlaceRightPiece(const CaptionSkin& skin, int left, int right) {
    RightPiece piece;
    piece.width = skin.rightEnd - skin.rightStart + 1;
    piece.x = right - piece.width + 1;
    if (piece.x < left + piece.width) {
        piece.x = left + piece.width;
        piece.narrow = true;
    }
    return piece;
}

std::array<RECT, 3> ButtonRects(const CaptionSkin& skin, const RightPiece& piece, int top,
                                ButtonSet shown) {
    std::array<RECT, 3> rects{};
    const int step = skin.buttonWidth + 1;
    const int y = top + Px(kButtonTop, skin.dpi);
    const bool show[3] = {shown.close, shown.maximize, shown.minimize};
    // Each button's right edge is the previous shown button's left edge.
    int edge = piece.x + piece.width - skin.borderSize + Px(4, skin.dpi);
    for (int i = 0; i < 3; ++i) {
        if (!show[i]) continue;
        rects[i] = RECT{edge - step, y, edge, y + skin.buttonHeight};
        edge -= step;
    }
    return rects;
}

int ButtonSourceX(const CaptionSkin& skin, int index, bool maximized) {
    const int cells = Px(kButtonCellsX, skin.dpi);
    switch (index) {
    case kClose:
        return cells;
    case kMaximize:
        return cells + (maximized ? 1 : 2) * skin.buttonWidth;
    default:
        return cells + 3 * skin.buttonWidth;
    }
}

std::vector<Span> MiddleTiles(int left, int rightPieceX, int dpi) {
    std::vector<Span> tiles;
    const int step = Px(kTileWidth, dpi);
    int x = left + Px(kTileStart, dpi);
    do {
        const int width = std::min(step, rightPieceX - x);
        if (width <= 0) break;  // a skin whose right piece reaches over x = 90
        tiles.push_back(Span{x, width});
        x += step;
    } while (x < rightPieceX);
    return tiles;
}

TileRun MiddleRun(int left, int rightPieceX, int dpi) {
    const int x = left + Px(kTileStart, dpi);
    return TileRun{x, std::max(0, rightPieceX - x), Px(kTileWidth, dpi)};
}

RECT CaptionTextRect(const CaptionSkin& skin, int left, int right) {
    const int top = skin.borderSize + Px(1, skin.dpi);
    return RECT{left + Px(kTextLeft, skin.dpi), top, right - Px(kTextRightInset, skin.dpi),
                top + (skin.captionHeight - skin.borderSize - Px(2, skin.dpi)) / 2};
}

MenuBarPlacement PlaceMenuBar(const CaptionSkin& skin, const RightPiece& piece) {
    const int half = skin.captionHeight / 2;
    // The bar draws from two (scaled) rows below the band's top.
    return MenuBarPlacement{skin.leftEnd, half, piece.x - skin.leftEnd, half, Px(2, skin.dpi) - half};
}

std::vector<RowCopy> DoublingSteps(int top, int bottom, int tileHeight) {
    std::vector<RowCopy> steps;
    if (tileHeight <= 0) return steps;
    for (int filled = tileHeight; top + filled < bottom; filled *= 2) {
        steps.push_back(RowCopy{top, top + filled, std::min(filled, bottom - (top + filled))});
    }
    return steps;
}

std::vector<int> BottomTiles(int left, int right, int tileSize) {
    std::vector<int> xs;
    int x = left + tileSize;
    do {
        xs.push_back(x);
        x += tileSize;
    } while (tileSize > 0 && x < right - tileSize);
    return xs;
}

TileRun BottomRun(int left, int right, int tileSize) {
    if (tileSize <= 0) return TileRun{left, 0, tileSize};
    const int x = left + tileSize;
    // Tiles start while x < right - tileSize, and there is always one.
    const int room = right - tileSize - x;
    const int count = room > 0 ? (room + tileSize - 1) / tileSize : 1;
    return TileRun{x, count * tileSize, tileSize};
}

int BottomBorderTop(const CaptionSkin& skin, int bottom) {
    return std::max(bottom - skin.borderSize, skin.captionHeight);
}

}  // namespace CaptionLayout
