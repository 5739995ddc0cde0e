#pragma once
// The icons of the catalogue list: each row shows its target's icon in the
// first column -- the program's own, the folder icon for a folder, a warning
// mark for a target that is gone -- at the small-icon size of the window's
// DPI. The list asks for a row's icon only when it draws the row
// (I_IMAGECALLBACK), so loading a catalogue costs nothing more, and the row
// always shows the icon of the path it holds now, however rows were added,
// edited or moved. Each distinct target (expanded, compared without case)
// is looked up once, away from the window's thread; its rows are drawn
// again when the icon arrives.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "app/IconLookup.h"
#include "app/ListView.h"

class ListIcons {
public:
    static constexpr int kPendingImage = 0;  // blank, until the icon arrives
    static constexpr int kGoneImage = 1;

    ListIcons() = default;
    ~ListIcons();
    ListIcons(const ListIcons&) = delete;
    ListIcons& operator=(const ListIcons&) = delete;

    // Shows icons in `list`; the look-ups announce their results to `notify`
    // with `message`, which is to call IconsFound.
    void Attach(ListView& list, HWND notify, UINT message, int dpi);
    // The icons become the small-icon size of this DPI; the ones shown are
    // looked up again when that size changes.
    void SetIconDpi(int dpi);
    int IconSize() const { return size_; }

    // The list's LVN_GETDISPINFOW; true when it was answered here.
    bool GetDispInfo(NMLVDISPINFOW& info);
    // The look-ups' results go into the list.
    void IconsFound();
    // Forgets every icon; rows look theirs up again as they are drawn.
    void Forget();

    // The image row's name shows, asked as drawing asks (which starts its
    // look-up); kPendingImage until the icon has arrived.
    int ImageOf(int row);
    // Whether every row in view has its icon, without asking for any.
    bool VisibleRowsHaveIcons() const;
    // Look-ups started since the last Forget or size change.
    int LookUps() const { return lookUps_; }
    HIMAGELIST Images() const { return images_; }

private:
    struct Image {
        int index = kPendingImage;
        bool arrived = false;
    };
    // The row's target, expanded, and the key it is known by.
    bool TargetOf(int row, std::wstring& path, std::wstring& key) const;
    void MakeImages();

    ListView* list_ = nullptr;
    HIMAGELIST images_ = nullptr;
    int size_ = 0;
    unsigned batch_ = 0;  // results of an older size are dropped
    int lookUps_ = 0;
    std::unordered_map<std::wstring, Image> known_;
    std::unique_ptr<IconLookup> lookup_;
};

// The small-icon size of a DPI: what the system gives for it, where it can
// tell (Windows 10, 1607 on), else the system's size scaled to it.
int SmallIconSize(int dpi);
