#pragma once
// The four entry dialogs: add or edit a program, add or edit a folder. They
// share fields and buttons and differ in texts, in what browse opens and in
// what OK writes. Modeless and without owner; at most one of each exists.
#include <windows.h>

#include <string>
#include <vector>

#include "app/EntryFill.h"
#include "app/EntryHost.h"
#include "catalogue/ShortcutStore.h"
#include "plumbing/GdiGuards.h"

class EntryDialog {
public:
    using Kind = EntryKind;

    EntryDialog(EntryHost& host, Kind kind);
    ~EntryDialog();
    EntryDialog(const EntryDialog&) = delete;
    EntryDialog& operator=(const EntryDialog&) = delete;

    // Loads the dialog (Form_Load) unless it is open; brings it forward either way.
    void Show();
    void Unload();
    bool IsLoaded() const { return hwnd_ != nullptr; }
    HWND hWnd() const { return hwnd_; }
    Kind kind() const { return kind_; }
    // The DPI the open dialog is laid out for: the monitor's it opened on,
    // then the message's at each WM_DPICHANGED.
    int Dpi() const { return dpi_; }

    // Event handlers.
    void CmdOK_Click();
    void Command1_Click();  // browse
    void Command2_Click();  // cancel
    void Label3_Click();    // what the name is for

    // Field access, for the main window's tests and automation.
    enum ControlId : int {
        IdFrame1 = 200, IdLabel2, IdTxtPath, IdCommand1, IdLabel1, IdTxtName, IdLabel3, IdLabel9,
        IdLabel6, IdTxtWork, IdLabel8, IdLabel4, IdTxtArg, IdLabel5, IdLabel7, IdTxtCom,
        IdCmdOK = IDOK, IdCommand2 = IDCANCEL,
    };
    HWND Control(int id) const;
    std::wstring Text(int id) const;
    void SetText(int id, const std::wstring& text);
    const std::wstring& Txttmp() const { return txttmp_; }

    // Writes a chosen program or folder into the fields, as browse does,
    // then puts the focus on the name with all of it selected.
    void Fill(const EntryFill& fill);
    // Something is in one of the five fields.
    bool HasTypedContent() const;

    // Window caption and the "？" help text of this dialog.
    std::wstring Caption() const;
    std::wstring HelpText() const;

private:
    template <class T>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Form_Load();
    bool IsAdd() const { return kind_ == Kind::AddP || kind_ == Kind::AddD; }
    bool IsProgram() const { return kind_ == Kind::AddP || kind_ == Kind::EditP; }
    bool Validate();
    void AddOK();
    void EditOK();
    EntryFields Fields(const std::wstring& name) const;
    int Px(int twips) const;
    int OpeningDpi() const;
    SIZE WindowSizeAt(int dpi) const;
    void FitClientArea();
    // Places, sizes and gives fonts to the controls for dpi: when they are
    // made, and at every DPI change.
    void LayoutForDpi(int dpi);

    EntryHost& host_;
    const Kind kind_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    GdiObject<HFONT> font_;  // at dpi_
    int dpi_ = 96;
    HWND over_ = nullptr;    // the window the open dialog was centred over
    struct Place {
        HWND control;
        int x, y, cx, cy;  // twips in its parent
    };
    std::vector<Place> places_;
    std::wstring txttmp_;    // the entry's name when the dialog opened
    std::wstring originalPath_;  // and its path
    LPARAM editedRow_ = 0;   // the entry an edit dialog is bound to
    LPARAM actedRow_ = 0;    // the entry this opening wrote, told to the host at close
    WshShellObject shell_;   // created at the first OK, kept for later ones
};
