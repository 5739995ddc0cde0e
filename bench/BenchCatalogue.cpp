// Loading applist.ini into the list and saving it back, against floors of
// the same work done plainly in the same run.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CatalogueList.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "bench/Measure.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/SystemCodePages.h"

namespace bench {

namespace {

// What any save must do to get the rows out of the list: one
// LVM_GETITEMTEXTW per field into a buffer, each field kept as a string.
std::vector<WideRow> PlainReadBack(HWND list) {
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<WideRow> rows(static_cast<size_t>(count));
    wchar_t text[1024];
    LVITEMW item{};
    for (int r = 0; r < count; ++r) {
        rows[r].reserve(kFieldCount);
        for (int f = 1; f <= kFieldCount; ++f) {
            item.iSubItem = f;
            item.pszText = text;
            item.cchTextMax = 1024;
            const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
            rows[r].emplace_back(text, static_cast<size_t>(n));
        }
    }
    return rows;
}

// The file in UTF-8 with a byte-order mark, each field converted on its own
// (independently of the save's one pass).
std::string Utf8Bytes(const std::vector<WideRow>& rows) {
    std::string out = "\xEF\xBB\xBF";
    for (const WideRow& row : rows) {
        for (const std::wstring& field : row) {
            std::string bytes(field.size() * 3, '\0');
            bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, field.data(), static_cast<int>(field.size()),
                                                                 bytes.data(), static_cast<int>(bytes.size()),
                                                                 nullptr, nullptr)));
            out += bytes + "\r\n";
        }
    }
    return out;
}

// The same bytes in one WriteFile, flushed, and renamed into place.
void FlushedWrite(const std::wstring& path, const std::string& bytes) {
    const std::wstring temp = path + L".tmp";
    HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    FlushFileBuffers(f);
    CloseHandle(f);
    MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

}  // namespace

void BenchLoadAndSave(Report& report, frmMain& main, const std::wstring& folder) {
    HWND host = PlainWindow(L"floor list", true);
    HWND bare = BareList(host, main.List1.hWnd());
    const std::wstring path = main.CataloguePath();
    const std::wstring floorPath = folder + L"\\floor.ini";

    for (int n : {100, 1000, 10000, 32767}) {
        const int reps = Reps(n <= 1000 ? 15 : n <= 10000 ? 11 : 5);
        const std::vector<WideRow> rows = MakeRows(n);
        const std::string bytes = AnsiBytes(rows);
        SaveCatalogueFile(path, rows);
        const std::string label = std::to_string(n);

        const Pair load = Interleave(
            reps, true,
            [&] {
                ListView_DeleteAllItems(bare);
                PumpMessages();
                const double t0 = NowMs();
                PlainInsert(bare, rows);
                const double t = NowMs() - t0;
                PumpMessages();
                return t;
            },
            [&] {
                main.List1.Clear();
                PumpMessages();
                const double t0 = NowMs();
                const CatalogueLoad loaded = LoadCatalogueFile(path);
                FillList(main.List1, loaded.rows);
                const double t = NowMs() - t0;
                PumpMessages();
                return t;
            });
        if (main.List1.Count() != n || ReadList(main.List1) != rows) {
            report.Note("load of " + label + " rows did not give back the rows written");
        }
        // Where the time goes, each part in turn with the floor's own insert
        // into the main window's list, which shows what that list costs
        // against the bare one.
        std::vector<double> readFile, fill, plainMain;
        for (int i = 0; i < reps; ++i) {
            main.List1.Clear();
            PumpMessages();
            double t0 = NowMs();
            const CatalogueLoad loaded = LoadCatalogueFile(path);
            readFile.push_back(NowMs() - t0);
            t0 = NowMs();
            FillList(main.List1, loaded.rows);
            fill.push_back(NowMs() - t0);
            PumpMessages();
            main.List1.Clear();
            PumpMessages();
            t0 = NowMs();
            PlainInsert(main.List1.hWnd(), rows);
            plainMain.push_back(NowMs() - t0);
            PumpMessages();
        }
        main.List1.Clear();
        FillList(main.List1, LoadCatalogueFile(path).rows);
        const Stat r = Summarize(readFile), f = Summarize(fill), m = Summarize(plainMain);

        const bool loadHolds = load.figure.median <= 1.25 * load.floor.median;
        // A miss where the floor's own insert into the main window's list
        // costs as much as the program's load is the list's, not the load's.
        const bool listsCost = m.median >= 0.9 * f.median && m.median > 1.1 * load.floor.median;
        report.Add({"Load applist.ini into the list", label, "ms", load.figure, load.floor,
                    Ratio(load.figure.median, load.floor.median), "≤ 1.25×",
                    loadHolds   ? "holds"
                    : listsCost ? "misses: the floor's own insert into the main window's list costs as much (" +
                                      Fixed(m.median, 1) + " ms, below): the same inserts cost a fixed few ms more "
                                      "in that list than in the floor's bare one, which a small list cannot hide"
                    : f.median <= 1.1 * m.median
                        ? "misses: the fill costs what the floor's own insert into the main window's list costs "
                          "(rows below); the rest is reading the file and that list's cost over the bare one"
                        : "misses: the fill is slower than the floor's insert into the same list (rows below)"});
        report.Add({"  of which reading and converting the file", label, "ms", r, load.floor,
                    Ratio(r.median, load.floor.median), "≤ 0.25× (the file is the small part)",
                    Verdict(r.median <= 0.25 * load.floor.median)});
        report.Add({"  of which filling the list", label, "ms", f, m, Ratio(f.median, m.median),
                    "≤ 1.1× of the floor's insert into the same list", Verdict(f.median <= 1.1 * m.median)});
        report.Add({"  the floor's insert into the main window's list", label, "ms", m, load.floor,
                    Ratio(m.median, load.floor.median), "reference: what the main window's list costs over a bare one",
                    "measured"});

        // The list now holds the rows; saving writes them back through the
        // program's own save command. The command cannot avoid reading every
        // row out of the list and writing the file once, so the floor is
        // exactly that: the same LVM_GETITEMTEXTW messages for the same rows,
        // then the same bytes in one flushed write renamed into place.
        const Pair save = Interleave(
            reps, true,
            [&] {
                const double t0 = NowMs();
                const std::vector<WideRow> back = PlainReadBack(main.List1.hWnd());
                FlushedWrite(floorPath, bytes);
                const double t = NowMs() - t0;
                if (back.size() != rows.size()) report.Note("the floor's read-back of " + label + " rows is short");
                return t;
            },
            [&] {
                const double t0 = NowMs();
                if (!main.CmdTmp_Click()) report.Note("saving " + label + " rows failed");
                return NowMs() - t0;
            });
        if (ReadBytes(path) != bytes) report.Note("saved file of " + label + " rows differs from the expected bytes");
        report.Add({"Save the catalogue (the save command)", label, "ms", save.figure, save.floor,
                    Ratio(save.figure.median, save.floor.median), "≤ 1.5×",
                    Verdict(save.figure.median <= 1.5 * save.floor.median)});
        // Each part of the command against its own part of the floor, each
        // pair taken in turn so both see the same machine: the read-back
        // against the plain read-back, and the one conversion pass (which
        // also finds characters the code page lacks) with the write against
        // the flushed write alone. The conversion keeps its buffer from save
        // to save, as the save command does.
        CatalogueText back;
        ReadListText(main.List1, back);
        CatalogueText read;
        const Pair reading = Interleave(
            reps, true,
            [&] {
                const double t0 = NowMs();
                const std::vector<WideRow> plain = PlainReadBack(main.List1.hWnd());
                return NowMs() - t0;
            },
            [&] {
                const double t0 = NowMs();
                ReadListText(main.List1, read);
                return NowMs() - t0;
            });
        // A codec of its own, reading and writing as the save command's does
        // for this file (in the code page).
        CatalogueCodec codec(SystemCodePages(), SystemCodePageConverter::Instance());
        codec.Decode(bytes);
        CatalogueBytes converted;
        // A pair takes a few milliseconds, and a flushed write's time swings
        // with the disk: more pairs than the load's, for a steadier median.
        const Pair writing = Interleave(
            Reps(25), true,
            [&] {
                const double t0 = NowMs();
                FlushedWrite(floorPath, bytes);
                return NowMs() - t0;
            },
            [&] {
                const double t0 = NowMs();
                codec.Encode(back, converted);
                SaveCatalogueBytes(path, converted.bytes());
                return NowMs() - t0;
            });
        if (converted.encoding != codec.Encoding()) report.Note("rows of " + label + " left the file's code page");
        if (converted.bytes() != bytes) report.Note("converted bytes of " + label + " rows differ from the expected");
        const Stat rb = reading.figure, plainRead = reading.floor, fw = writing.figure, plainWrite = writing.floor;
        report.Add({"  of which reading the list back", label, "ms", rb, plainRead,
                    Ratio(rb.median, plainRead.median), "≤ 1.5×", Verdict(rb.median <= 1.5 * plainRead.median)});
        report.Add({"  of which checking and writing the file", label, "ms", fw, plainWrite,
                    Ratio(fw.median, plainWrite.median), "≤ 1.5×",
                    Verdict(fw.median <= 1.5 * plainWrite.median,
                            "the one pass reads every UTF-16 unit of the catalogue's text (eight ASCII units at a "
                            "time, the others from a table of the system's own answers) into a buffer kept from "
                            "the last save, and checks that the loader reads the bytes back in the same code page, "
                            "against a flushed write of bytes already in memory")});

        // The same catalogue once a name the code page lacks has made the
        // file UTF-8: the same pass in UTF-8 (all but ASCII one unit at a
        // time), against the flushed write of the same UTF-8 bytes.
        const std::string utf8 = Utf8Bytes(rows);
        CatalogueCodec utf8Codec(SystemCodePages(), SystemCodePageConverter::Instance());
        utf8Codec.Decode(utf8);
        CatalogueBytes convertedUtf8;
        const Pair writingUtf8 = Interleave(
            Reps(25), true,
            [&] {
                const double t0 = NowMs();
                FlushedWrite(floorPath, utf8);
                return NowMs() - t0;
            },
            [&] {
                const double t0 = NowMs();
                utf8Codec.Encode(back, convertedUtf8);
                SaveCatalogueBytes(path, convertedUtf8.bytes());
                return NowMs() - t0;
            });
        if (convertedUtf8.bytes() != utf8) report.Note("UTF-8 bytes of " + label + " rows differ from the expected");
        report.Add({"  of which checking and writing the file, in UTF-8", label, "ms", writingUtf8.figure,
                    writingUtf8.floor, Ratio(writingUtf8.figure.median, writingUtf8.floor.median), "≤ 1.5×",
                    Verdict(writingUtf8.figure.median <= 1.5 * writingUtf8.floor.median)});
    }
    main.List1.Clear();
    DeleteFileW(path.c_str());
    DeleteFileW(floorPath.c_str());
    DestroyWindow(host);
    PumpMessages();
}

}  // namespace bench
