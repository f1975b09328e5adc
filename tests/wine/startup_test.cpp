// Start-up: where the target comes from, and what reaches the dialog's caption.
#include <string>
#include <vector>

#include "program_fixture.h"

namespace {

const char kUsageText[] = "ファイル名を指定するかファイルをドロップしてください。";
const char kUsageCaption[] = "使い方";
const char kTooLongText[] = "指定されたパスが長すぎます。263 バイトまでのパスを指定してください。";
const char kNotInCodePageText[] =
    "指定されたパスには、このシステムの文字コードで表せない文字が含まれています。"
    "名前を変えてから指定してください。";
const char kWildcardText[] = "指定されたパスにワイルドカード文字 (* または ?) が含まれています。"
                             "ファイルまたはフォルダーを 1 つだけ指定してください。";

// The open-file dialog's file-type list.
const int kFileTypeCombo = 0x470;

using StartupTest = ProgramTest;

// A refused target: one warning box naming the problem, never the
// permission dialog, exit code 0, and no tool run.
void ExpectRefused(ui::Program& program, const char* text, const std::vector<ToolRun>& runs)
{
    HWND box = ui::WaitForWindow(program, ui::WindowKind::MessageBox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::ReadMessageBox(box), (ui::MessageBoxText{kWarning, text}));
    for (HWND window : ui::VisibleWindows(program.processId))
        EXPECT_NE(ui::KindOf(window), ui::WindowKind::PermissionDialog);
    ui::AnswerMessageBox(box);
    EXPECT_EQ(ui::WaitForExit(program), 0u);
    EXPECT_TRUE(runs.empty());
}

// Beside the names the tests give: in code page 932, 한.txt reads as ?.txt,
// which matches these as well.
void WriteNeighbours(const std::string& folder)
{
    WriteFileText(folder + "\\a.txt", "x");
    WriteFileText(folder + "\\b.txt", "x");
}

TEST_F(StartupTest, EmptyCommandLineOpensFileDialogAndCancelShowsUsage)
{
    StartWith("");
    HWND chooser = ui::WaitForWindow(program_, ui::WindowKind::OpenFileDialog);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(ui::ItemText(chooser, FileNameField(chooser)), "");
    EXPECT_TRUE(ui::ComboItems(chooser, kFileTypeCombo).empty());  // no filter: all files
    ui::PostCommand(chooser, IDCANCEL);

    HWND usage = ui::WaitForWindow(program_, ui::WindowKind::MessageBox);
    ASSERT_NE(usage, nullptr);
    EXPECT_EQ(ui::ReadMessageBox(usage), (ui::MessageBoxText{kUsageCaption, kUsageText}));
    for (HWND window : ui::VisibleWindows(program_.processId))
        EXPECT_NE(ui::KindOf(window), ui::WindowKind::PermissionDialog);
    ui::AnswerMessageBox(usage);
    EXPECT_EQ(ui::WaitForExit(program_), 0u);
}

TEST_F(StartupTest, BlanksAfterTheProgramNameCountAsAnEmptyTail)
{
    StartRaw("\"" + exe_ + "\" \t \x01 ");
    HWND chooser = ui::WaitForWindow(program_, ui::WindowKind::OpenFileDialog);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(CancelChooserAndAnswerUsage(chooser), 0u);
}

TEST_F(StartupTest, ChosenFileWithBlanksIsTheTargetWhole)
{
    std::string path = folder_ + "\\a file with blanks.txt";
    WriteFileText(path, "x");
    StartWith("");
    HWND chooser = ui::WaitForWindow(program_, ui::WindowKind::OpenFileDialog);
    ASSERT_NE(chooser, nullptr);
    ui::SetItemText(chooser, FileNameField(chooser), path);
    ui::PostCommand(chooser, IDOK);

    HWND dialog = ui::WaitForWindow(program_, ui::WindowKind::PermissionDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui::Text(dialog), path + " - Quorvel");
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

struct CaptionCase {
    const char* name;
    std::string tail;
    std::string caption;
};

class StartupCaption : public ProgramTest, public testing::WithParamInterface<CaptionCase> {};

TEST_P(StartupCaption, ShowsTheFirstArgumentAsTheTarget)
{
    HWND dialog = OpenDialog(GetParam().tail);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui::Text(dialog), GetParam().caption);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartupCaption,
    testing::Values(CaptionCase{"Quoted", "\"C:\\My Documents\\a.txt\" /x",
                                "C:\\My Documents\\a.txt - Quorvel"},
                    CaptionCase{"Unquoted", "C:\\My Documents\\a.txt", "C:\\My - Quorvel"},
                    CaptionCase{"NamesNothing", "Q:\\nowhere\\none", "Q:\\nowhere\\none - Quorvel"},
                    CaptionCase{"EmptyQuoted", "\"\"", " - Quorvel"},
                    CaptionCase{"QuoteInsideUnquoted", "abc\"def ghi", "abc\"def - Quorvel"},
                    CaptionCase{"Cp932", "\"C:\\\x95\x5C\x8E\xA6 \x83\x5C\"",
                                "C:\\\x95\x5C\x8E\xA6 \x83\x5C - Quorvel"},
                    CaptionCase{"Longest", "\"C:\\" + std::string(260, 'a') + "\"",
                                "C:\\" + std::string(260, 'a') + " - Quorvel"}),
    [](const testing::TestParamInfo<CaptionCase>& info) { return info.param.name; });

TEST_F(StartupTest, OverlongArgumentIsRefusedAndNothingRuns)
{
    StartWith("\"C:\\" + std::string(261, 'a') + "\"");
    HWND box = ui::WaitForWindow(program_, ui::WindowKind::MessageBox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ui::ReadMessageBox(box), (ui::MessageBoxText{kWarning, kTooLongText}));
    for (HWND window : ui::VisibleWindows(program_.processId))
        EXPECT_NE(ui::KindOf(window), ui::WindowKind::PermissionDialog);
    ui::AnswerMessageBox(box);
    EXPECT_EQ(ui::WaitForExit(program_), 0u);
    EXPECT_TRUE(Runs().empty());
}

struct RefusedCase {
    const char* name;
    std::wstring fileName;  // in the work folder
    const char* text;
};

class StartupRefusal : public ProgramTest, public testing::WithParamInterface<RefusedCase> {};

// The command line as the shell hands it over, in UTF-16: in code page 932
// the name would reach the tool changed (한 and an emoji become ?, é becomes
// e), and * and ? are wildcards to it.
TEST_P(StartupRefusal, NameFromAWideCommandLineIsRefusedAndNothingRuns)
{
    WriteNeighbours(folder_);
    std::wstring path = WidenCp932(folder_) + L"\\" + GetParam().fileName;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    StartRawWide(L"\"" + WidenCp932(exe_) + L"\" \"" + path + L"\"");
    ExpectRefused(program_, GetParam().text, Runs());
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartupRefusal,
    testing::Values(RefusedCase{"Hangul", L"\uD55C.txt", kNotInCodePageText},
                    RefusedCase{"Emoji", L"\xD83D\xDE00.txt", kNotInCodePageText},
                    RefusedCase{"BestFitLetter", L"caf\u00E9.txt", kNotInCodePageText},
                    RefusedCase{"QuestionMark", L"?.txt", kWildcardText},
                    RefusedCase{"Star", L"*.txt", kWildcardText}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST_F(StartupTest, WildcardTypedInAnAnsiCommandLineIsRefused)
{
    StartWith(folder_ + "\\*");
    ExpectRefused(program_, kWildcardText, Runs());
}

// Only the target is checked: the program's own path may hold any name, and
// a path in the verbatim form keeps the one ? it must have.
TEST_F(StartupTest, ProgramInAFolderTheCodePageCannotNameTakesAnExactTarget)
{
    std::wstring folder = WidenCp932(folder_) + L"\\caf\u00E9 \uD55C";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring exe = folder + L"\\quorvel.exe";
    ASSERT_TRUE(CopyFileW(WidenCp932(exe_).c_str(), exe.c_str(), FALSE));
    std::string target = "\\\\?\\" + folder_ + "\\\x95\x5C\x8E\xA6.txt";  // 表示.txt
    StartRawWide(L"\"" + exe + L"\" \"" + WidenCp932(target) + L"\"");
    HWND dialog = ui::WaitForWindow(program_, ui::WindowKind::PermissionDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui::Text(dialog), target + " - Quorvel");
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// The open-file dialog answers in UTF-16 too; a name it gives that code page
// 932 cannot hold is refused the same way.
TEST_F(StartupTest, ChosenFileTheCodePageCannotNameIsRefused)
{
    WriteNeighbours(folder_);
    std::wstring path = WidenCp932(folder_) + L"\\\uD55C.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    StartWith("");
    HWND chooser = ui::WaitForWindow(program_, ui::WindowKind::OpenFileDialog);
    ASSERT_NE(chooser, nullptr);
    ui::SetItemTextWide(chooser, FileNameField(chooser), path);
    ui::PostCommand(chooser, IDOK);
    ExpectRefused(program_, kNotInCodePageText, Runs());
}

// The start-up code of the C runtime reads an unquoted program path with
// bytes above 0x7F wrongly; the program must not.
TEST_F(StartupTest, UnquotedProgramPathWithJapaneseText)
{
    std::string japaneseFolder =
        folder_ + "\\\x95\x5C\x8E\xA6\x83\x65\x83\x58\x83\x67";  // 表示テスト
    ASSERT_TRUE(CreateDirectoryA(japaneseFolder.c_str(), nullptr));
    std::string exe = japaneseFolder + "\\quorvel.exe";
    ASSERT_TRUE(CopyFileA(exe_.c_str(), exe.c_str(), FALSE));
    StartRaw(exe + " C:\\data\\a.txt");
    HWND dialog = ui::WaitForWindow(program_, ui::WindowKind::PermissionDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ui::Text(dialog), "C:\\data\\a.txt - Quorvel");
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

}  // namespace
