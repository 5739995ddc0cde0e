#include "frame/CaptionLayout.h"

#include <algorithm>

namespace CaptionLayout {

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
    const int y = top + kButtonTop;
    const bool show[3] = {shown.close, shown.maximize, shown.minimize};
    // Each button's right edge is the previous shown button's left edge.
    int edge = piece.x + piece.width - skin.borderSize + 4;
    for (int i = 0; i < 3; ++i) {
        if (!show[i]) continue;
        rects[i] = RECT{edge - step, y, edge, y + skin.buttonHeight};
        edge -= step;
    }
    return rects;
}

int ButtonSourceX(const CaptionSkin& skin, int index, bool maximized) {
    switch (index) {
    case kClose:
        return kButtonCellsX;
    case kMaximize:
        return kButtonCellsX + (maximized ? 1 : 2) * skin.buttonWidth;
    default:
        return kButtonCellsX + 3 * skin.buttonWidth;
    }
}

std::vector<Span> MiddleTiles(int left, int rightPieceX) {
    std::vector<Span> tiles;
    int x = left + kTileStart;
    do {
        const int width = std::min(kTileWidth, rightPieceX - x);
        if (width <= 0) break;  // a skin whose right piece reaches over x = 90
        tiles.push_back(Span{x, width});
        x += kTileWidth;
    } while (x < rightPieceX);
    return tiles;
}

RECT CaptionTextRect(const CaptionSkin& skin, int left, int right) {
    const int top = skin.borderSize + 1;
    return RECT{left + kTextLeft, top, right - kTextRightInset,
                top + (skin.captionHeight - skin.borderSize - 2) / 2};
}

MenuBarPlacement PlaceMenuBar(const CaptionSkin& skin, const RightPiece& piece) {
    const int half = skin.captionHeight / 2;
    return MenuBarPlacement{skin.leftEnd, half, piece.x - skin.leftEnd, half, 2 - half};
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

int BottomBorderTop(const CaptionSkin& skin, int bottom) {
    return std::max(bottom - skin.borderSize, skin.captionHeight);
}

}  // namespace CaptionLayout
