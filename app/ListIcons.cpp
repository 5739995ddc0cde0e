#include "app/ListIcons.h"

#include <algorithm>
#include <vector>

#include "plumbing/DpiAware.h"
#include "plumbing/GdiGuards.h"
#include "plumbing/SystemInfo.h"

namespace {

constexpr int kPathSubItem = 3;

// Compared as the file system compares names: without case.
std::wstring FoldedKey(const std::wstring& path) {
    std::wstring key(path.size(), L'\0');
    const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(), static_cast<int>(path.size()),
                                key.data(), static_cast<int>(key.size()), nullptr, nullptr, 0);
    return n > 0 ? key : path;
}

}  // namespace

int SmallIconSize(int dpi) { return MetricForDpi(SM_CXSMICON, dpi); }

ListIcons::~ListIcons() {
    lookup_.reset();
    // The list shares the image list (LVS_SHAREIMAGELISTS): it is ours to free.
    if (list_ && IsWindow(list_->hWnd())) ListView_SetImageList(list_->hWnd(), nullptr, LVSIL_SMALL);
    if (images_) ImageList_Destroy(images_);
}

void ListIcons::Attach(ListView& list, HWND notify, UINT message, int dpi) {
    list_ = &list;
    lookup_ = std::make_unique<IconLookup>(notify, message);
    const HWND h = list.hWnd();
    SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    list.ImagesOnDemand();
    size_ = 0;
    SetIconDpi(dpi);
}

void ListIcons::SetIconDpi(int dpi) {
    const int size = SmallIconSize(dpi);
    if (!list_ || size == size_) return;
    size_ = size;
    MakeImages();
    Forget();
}

void ListIcons::MakeImages() {
    const HIMAGELIST made = ImageList_Create(size_, size_, ILC_COLOR32 | ILC_MASK, 16, 64);
    if (!made) return;  // no icons then; the names still show
    // The blank that stands for an icon on its way: all mask, nothing drawn,
    // so a row's name does not move when its icon arrives.
    const int rowBytes = (size_ + 15) / 16 * 2;
    const std::vector<BYTE> maskBits(static_cast<size_t>(rowBytes * size_), 0xFF);
    const std::vector<DWORD> colorBits(static_cast<size_t>(size_ * size_), 0);
    const GdiObject<HBITMAP> mask(CreateBitmap(size_, size_, 1, 1, maskBits.data()));
    const GdiObject<HBITMAP> color(CreateBitmap(size_, size_, 1, 32, colorBits.data()));
    ImageList_Add(made, color.get(), mask.get());
    // The system's warning sign marks a target that is gone. Shared: not ours to destroy.
    HICON warning = static_cast<HICON>(LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, size_, size_, LR_SHARED));
    if (!warning) warning = LoadIconW(nullptr, IDI_WARNING);
    ImageList_ReplaceIcon(made, -1, warning);
    ListView_SetImageList(list_->hWnd(), made, LVSIL_SMALL);
    if (images_) ImageList_Destroy(images_);
    images_ = made;
}

void ListIcons::Forget() {
    ++batch_;
    lookUps_ = 0;
    known_.clear();
    if (images_) ImageList_SetImageCount(images_, kGoneImage + 1);
    if (list_) InvalidateRect(list_->hWnd(), nullptr, FALSE);
}

bool ListIcons::TargetOf(int row, std::wstring& path, std::wstring& key) const {
    std::vector<wchar_t> buffer;
    path = ExpandedPath(list_->SubItem(row, kPathSubItem, buffer));
    key = FoldedKey(path);
    return !key.empty();
}

bool ListIcons::GetDispInfo(NMLVDISPINFOW& info) {
    if (!list_ || !(info.item.mask & LVIF_IMAGE) || info.item.iSubItem != 0) return false;
    std::wstring path, key;
    if (!images_ || !TargetOf(info.item.iItem, path, key)) {
        info.item.iImage = images_ ? kGoneImage : I_IMAGENONE;
        return true;
    }
    const auto found = known_.find(key);
    if (found != known_.end()) {
        info.item.iImage = found->second.index;
        return true;
    }
    known_.emplace(key, Image{});
    ++lookUps_;
    lookup_->Request(std::move(key), std::move(path), size_, batch_);
    info.item.iImage = kPendingImage;
    return true;
}

void ListIcons::IconsFound() {
    if (!lookup_) return;
    bool changed = false;
    for (FoundIcon& found : lookup_->Take()) {
        const OwnedIcon icon(found.icon);
        if (found.batch != batch_ || !images_) continue;  // looked up for a size no longer shown
        Image image{found.gone ? kGoneImage : kPendingImage, true};
        if (icon.get()) {
            const int added = ImageList_ReplaceIcon(images_, -1, icon.get());
            if (added >= 0) image.index = added;
        }
        known_[found.key] = image;
        changed = true;
    }
    if (!changed) return;
    const HWND h = list_->hWnd();
    const int top = ListView_GetTopIndex(h);
    ListView_RedrawItems(h, top, top + ListView_GetCountPerPage(h));
}

int ListIcons::ImageOf(int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -1;
    SendMessageW(list_->hWnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

bool ListIcons::VisibleRowsHaveIcons() const {
    if (!list_) return false;
    const HWND h = list_->hWnd();
    const int top = ListView_GetTopIndex(h);
    const int end = std::min(top + ListView_GetCountPerPage(h), list_->Count());
    std::wstring path, key;
    for (int row = top; row < end; ++row) {
        if (!TargetOf(row, path, key)) continue;
        const auto found = known_.find(key);
        if (found == known_.end() || !found->second.arrived) return false;
    }
    return true;
}
