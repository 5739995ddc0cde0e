// What a chosen or dropped path writes into a dialog, and the order in which
// dropped items open their dialogs. Built natively too.
#include "app/DropQueue.h"

#include <gtest/gtest.h>

#include <string>

TEST(EntryFill, ProgramsAndFoldersFillAsBrowseDoes) {
    const struct {
        bool folder;
        const wchar_t* path;
        const wchar_t* work;
        const wchar_t* name;
    } cases[] = {
        {false, L"C:\\Program Files\\Tool\\run.exe", L"C:\\Program Files\\Tool\\", L"run"},
        {false, L"C:\\x\\a.b.py", L"C:\\x\\", L"a.b"},
        {false, L"C:\\x\\setup", L"C:\\x\\", L"setup"},
        {false, L"C:\\x\\.profile", L"C:\\x\\", L".profile"},  // a leading dot is no extension
        {false, L"C:\\x\\ab", L"C:\\x\\", L"ab"},  // short names are not cut
        {true, L"D:\\Music", L"D:\\Music", L"Music"},
        {true, L"D:\\", L"D:\\", L""},
        {true, L"\\\\server\\share\\docs", L"\\\\server\\share\\docs", L"docs"},
    };
    for (const auto& c : cases) {
        const EntryFill fill = c.folder ? FillForFolder(c.path) : FillForProgram(c.path);
        EXPECT_EQ(fill.path, c.path);
        EXPECT_EQ(fill.work, c.work) << c.path;
        EXPECT_EQ(fill.name, c.name) << c.path;
        EXPECT_EQ(fill.comment, c.name) << c.path;
        EXPECT_FALSE(fill.args.has_value()) << "browse leaves the arguments alone: " << c.path;
    }
}

TEST(EntryFill, ShortcutBringsItsArgumentsWorkingFolderAndDescription) {
    EntryFill fill = FillForShortcut(false, L"C:\\Tools\\run.exe", L"-v", L"D:\\work", L"运行工具");
    EXPECT_EQ(fill.path, L"C:\\Tools\\run.exe");
    EXPECT_EQ(fill.name, L"run");
    EXPECT_EQ(fill.args, std::wstring(L"-v"));
    EXPECT_EQ(fill.work, L"D:\\work");
    EXPECT_EQ(fill.comment, L"运行工具");
    // Without a working folder or description the target's fill stays; the
    // (empty) arguments still replace whatever was there.
    fill = FillForShortcut(true, L"D:\\Music", L"", L"", L"");
    EXPECT_EQ(fill.work, L"D:\\Music");
    EXPECT_EQ(fill.comment, L"Music");
    EXPECT_EQ(fill.args, std::wstring());
}

namespace {

DroppedEntry Item(bool folder, const wchar_t* name) {
    DroppedEntry e;
    e.folder = folder;
    e.fill.name = name;
    return e;
}

}  // namespace

TEST(DropQueue, OpensOneItemAfterAnotherAndWaitsForTypedDialogs) {
    using D = DropQueue::Dialog;
    DropQueue q;
    EXPECT_FALSE(q.Next(D::Closed, D::Closed));
    q.Push(Item(false, L"p1"));
    q.Push(Item(true, L"f1"));
    q.Push(Item(false, L"p2"));

    auto open = q.Next(D::Closed, D::Closed);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->entry.fill.name, L"p1");
    EXPECT_FALSE(open->reuse);
    EXPECT_TRUE(q.InDialog());
    // While p1 is in its dialog nothing else opens, even with the folder dialog free.
    EXPECT_FALSE(q.Next(D::OpenTyped, D::Closed));
    q.Closed(true);  // another dialog closing changes nothing
    EXPECT_FALSE(q.Next(D::OpenTyped, D::Closed));
    q.Closed(false);  // p1 confirmed or cancelled
    open = q.Next(D::Closed, D::Closed);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->entry.fill.name, L"f1");
    q.Closed(true);

    // The program dialog holds what the user typed: p2 waits for it, in order.
    EXPECT_FALSE(q.Next(D::OpenTyped, D::Closed));
    EXPECT_EQ(q.Size(), 1u);
    EXPECT_FALSE(q.InDialog());
    // An open but empty dialog is filled in place.
    open = q.Next(D::OpenEmpty, D::Closed);
    ASSERT_TRUE(open);
    EXPECT_EQ(open->entry.fill.name, L"p2");
    EXPECT_TRUE(open->reuse);
    q.Closed(false);
    EXPECT_TRUE(q.Empty());
    EXPECT_FALSE(q.Next(D::Closed, D::Closed));
}

TEST(DropQueue, AFolderWaitsOnlyForTheFolderDialog) {
    using D = DropQueue::Dialog;
    DropQueue q;
    q.Push(Item(true, L"f"));
    EXPECT_FALSE(q.Next(D::Closed, D::OpenTyped));
    auto open = q.Next(D::OpenTyped, D::Closed);  // a typed program dialog is no obstacle
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->entry.folder);
    q.Push(Item(false, L"p"));
    q.Clear();
    EXPECT_TRUE(q.Empty());
    EXPECT_FALSE(q.InDialog());
}
