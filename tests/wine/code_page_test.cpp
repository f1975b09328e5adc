// The program on a Windows whose ANSI code page is not 932: an English or
// Western European one (1252) and a Simplified Chinese one (936), whose
// double-byte rule differs from 932's. The test bed runs each suite under
// the locale that gives Wine that code page (tests/wine/CMakeLists.txt); the
// program inherits it. Its own words must read as written, read here through
// the Unicode calls, and every path must reach the tool whole, as the tool
// splits its command line.
#include <string>
#include <vector>

#include "program_fixture.h"
#include "resources/resource.h"

namespace {

const wchar_t kStepFailureText[] = L" の指定ユーザーに対する変更アクセス権の設定に失敗しました。";

struct Label {
    int id;
    const wchar_t* text;
};
const Label kLabels[] = {
    {IDC_FULL, L"フルコントロール"},
    {IDC_READ, L"読み取り"},
    {IDC_WRITE, L"書き込み"},
    {IDC_CHANGE, L"変更"},
    {IDC_SUBDIRS, L"すべてのサブディレクトリを対象にする。"},
    {IDOK, L"適用(&A)"},
    {IDCANCEL, L"キャンセル"},
};

// The dialog's two labels without an identifier of their own, in order.
std::vector<std::wstring> StaticLabels(HWND dialog)
{
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == static_cast<int>(IDC_STATIC) || GetDlgCtrlID(child) == 0xFFFF)
            texts.push_back(ui::TextWide(child));
    return texts;
}

class OtherCodePageTest : public ProgramTest {
protected:
    explicit OtherCodePageTest(UINT codePage) : codePage_(codePage) {}

    void SetUp() override
    {
        ProgramTest::SetUp();
        ASSERT_EQ(GetACP(), codePage_)
            << "the test bed did not set the locale that gives this code page";
        // Code page 932 cannot hold é; UTF-8 holds every path as it is.
        SetVariable("QUORVEL_STANDIN_LOG_CODE_PAGE", "65001");
    }

    // A folder of that name in the work folder, made through the wide call.
    std::wstring MakeFolder(const std::wstring& name)
    {
        std::wstring path = WidenCp932(folder_) + L"\\" + name;
        EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        return path;
    }

    // Starts the program on target, quoted, from a wide command line.
    HWND OpenDialogOn(const std::wstring& target)
    {
        StartRawWide(L"\"" + WidenCp932(exe_) + L"\" \"" + target + L"\"");
        HWND dialog = ui::WaitForWindow(program_, ui::WindowKind::PermissionDialog);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }

    // Every label of the dialog, opened on the work folder, reads as the
    // template has it.
    void ExpectLabelsAsWritten()
    {
        HWND dialog = OpenDialogOn(WidenCp932(folder_));
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(StaticLabels(dialog),
                  (std::vector<std::wstring>{L"アクセス許可", L"対象ユーザー"}));
        for (const Label& label : kLabels)
            EXPECT_EQ(ui::TextWide(GetDlgItem(dialog, label.id)), label.text) << label.id;
        EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
    }

    // Read, then the subdirectories: the revoke and one grant, each with /T.
    void ExpectPathReachesTheToolWhole(const std::wstring& path)
    {
        HWND dialog = OpenDialogOn(path);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ui::TextWide(dialog), path + L" - Quorvel");
        ui::SetItemText(dialog, IDC_USER, "Users");
        for (int box : {IDC_FULL, IDC_WRITE, IDC_CHANGE})
            ui::SetCheckState(dialog, box, BST_UNCHECKED);
        ui::SetCheckState(dialog, IDC_SUBDIRS, BST_CHECKED);
        EXPECT_TRUE(ApplyAndAnswerBoxes(dialog).empty());
        std::vector<ToolRun> runs = Runs();
        ASSERT_EQ(runs.size(), 2u);
        EXPECT_EQ(runs[0].arguments,
                  (std::vector<std::string>{Utf8(path), "/E", "/R", "Users", "/T"}));
        EXPECT_EQ(runs[1].arguments,
                  (std::vector<std::string>{Utf8(path), "/E", "/G", "Users:R", "/T"}));
        EXPECT_EQ(runs[0].pathExists, "1");
        EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
    }

    // A failed step's box: the path as the system names it, then the
    // program's own text.
    void ExpectFailureBoxAsWritten(const std::wstring& path)
    {
        SetVariable("QUORVEL_STANDIN_FAIL_ON", "Users:C");
        HWND dialog = OpenDialogOn(path);
        ASSERT_NE(dialog, nullptr);
        ui::SetItemText(dialog, IDC_USER, "Users");
        std::vector<ui::MessageBoxText> boxes = ApplyAndAnswerBoxes(dialog);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, kWarning);
        EXPECT_EQ(boxes[0].wideText, path + kStepFailureText);
        EXPECT_EQ(Runs().size(), 5u);
        EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
    }

    UINT codePage_;
};

class CodePage1252 : public OtherCodePageTest {
protected:
    CodePage1252() : OtherCodePageTest(1252) {}
};

class CodePage936 : public OtherCodePageTest {
protected:
    CodePage936() : OtherCodePageTest(936) {}
};

TEST_F(CodePage1252, TheDialogsLabelsReadAsWritten)
{
    ExpectLabelsAsWritten();
}

// é is the byte 0xE9 in 1252, which 932 takes for the start of a character.
TEST_F(CodePage1252, APathEndingInEAcuteReachesTheToolWhole)
{
    ExpectPathReachesTheToolWhole(MakeFolder(L"caf\u00E9"));
}

TEST_F(CodePage1252, AndSoDoesItWithATrailingBackslash)
{
    ExpectPathReachesTheToolWhole(MakeFolder(L"caf\u00E9") + L"\\");
}

TEST_F(CodePage1252, AFailedStepsBoxReadsAsWritten)
{
    ExpectFailureBoxAsWritten(MakeFolder(L"caf\u00E9"));
}

// A user profile named in Japanese on an English Windows: every step runs
// there, in exactly that folder.
TEST_F(CodePage1252, EveryStepRunsInAWorkingFolderTheCodePageCannotName)
{
    ExpectEveryStepToRunInAWorkingFolderNamed(L"作業フォルダー");
}

TEST_F(CodePage1252, TheEmptyNameBoxReadsAsWritten)
{
    HWND dialog = OpenDialogOn(WidenCp932(folder_));
    ASSERT_NE(dialog, nullptr);
    ui::SetItemText(dialog, IDC_USER, "");
    std::vector<ui::MessageBoxText> boxes = ApplyAndAnswerBoxes(dialog);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, kWarning);
    EXPECT_EQ(boxes[0].wideText, L"対象ユーザー名を入力してください。");
    EXPECT_TRUE(Runs().empty());
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

// Refused at start-up, before the dialog: a name that 1252 cannot hold (on
// an English Windows, a Japanese one) and a wildcard.
struct RefusalCase {
    const char* name;
    const wchar_t* target;  // under the work folder
    const wchar_t* text;
};

class CodePage1252Refusal : public CodePage1252, public testing::WithParamInterface<RefusalCase> {};

TEST_P(CodePage1252Refusal, IsOneBoxThatReadsAsWritten)
{
    const RefusalCase& c = GetParam();
    StartRawWide(L"\"" + WidenCp932(exe_) + L"\" \"" + WidenCp932(folder_) + L"\\" + c.target +
                 L"\"");
    HWND box = ui::WaitForWindow(program_, ui::WindowKind::MessageBox);
    ASSERT_NE(box, nullptr);
    ui::MessageBoxText read = ui::ReadMessageBox(box);
    EXPECT_EQ(read.caption, kWarning);
    EXPECT_EQ(read.wideText, c.text);
    ui::AnswerMessageBox(box);
    EXPECT_EQ(ui::WaitForExit(program_), 0u);
    EXPECT_TRUE(Runs().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePage1252Refusal,
    testing::Values(RefusalCase{"JapaneseName", L"\u8868\u793A",
                                L"指定されたパスには、このシステムの文字コードで表せない文字が"
                                L"含まれています。名前を変えてから指定してください。"},
                    RefusalCase{"Wildcard", L"*.txt",
                                L"指定されたパスにワイルドカード文字 (* または ?) が含まれて"
                                L"います。ファイルまたはフォルダーを 1 つだけ指定してください。"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

TEST_F(CodePage1252, TheUsageBoxReadsAsWritten)
{
    StartWith("");
    HWND chooser = ui::WaitForWindow(program_, ui::WindowKind::OpenFileDialog);
    ASSERT_NE(chooser, nullptr);
    ui::PostCommand(chooser, IDCANCEL);
    HWND usage = ui::WaitForWindow(program_, ui::WindowKind::MessageBox);
    ASSERT_NE(usage, nullptr);
    ui::MessageBoxText read = ui::ReadMessageBox(usage);
    EXPECT_EQ(ui::TextWide(usage), L"使い方");
    EXPECT_EQ(read.wideText, L"ファイル名を指定するかファイルをドロップしてください。");
    ui::AnswerMessageBox(usage);
    EXPECT_EQ(ui::WaitForExit(program_), 0u);
}

// The progress is the program's own text, the rest of the caption the path
// as the system names it.
TEST_F(CodePage1252, TheProgressCaptionReadsAsWritten)
{
    std::wstring target = MakeFolder(L"caf\u00E9");
    SetVariable("QUORVEL_STANDIN_SLEEP_ON", "Users:R");
    SetVariable("QUORVEL_STANDIN_SLEEP_MS", "2500");
    HWND dialog = OpenDialogOn(target);
    ASSERT_NE(dialog, nullptr);
    ui::SetItemText(dialog, IDC_USER, "Users");
    for (int box : {IDC_FULL, IDC_WRITE, IDC_CHANGE})
        ui::SetCheckState(dialog, box, BST_UNCHECKED);
    const std::wstring title = target + L" - Quorvel";
    const std::wstring progress = L"[2/2 読み取り] " + title;

    ui::RunningApply apply = ui::StartApply(dialog);
    std::wstring seen;
    DWORD start = GetTickCount();
    while (!ui::ApplyIsOver(apply) && GetTickCount() - start < ui::kDefaultTimeoutMs) {
        seen = ui::TextWide(dialog);
        if (seen == progress)
            break;
        Sleep(10);
    }
    EXPECT_EQ(seen, progress);
    ASSERT_TRUE(ui::FinishApply(apply));
    EXPECT_EQ(ui::TextWide(dialog), title);
    EXPECT_EQ(CancelAndWaitForExit(dialog), 0u);
}

TEST_F(CodePage936, TheDialogsLabelsReadAsWritten)
{
    ExpectLabelsAsWritten();
}

// 腬 is C4 5C in 936: its trail byte is a backslash, and 932 takes C4 for a
// whole katakana, so by 932's rule the backslash before the closing quote
// would be one too many.
TEST_F(CodePage936, APathEndingInACharacterWithABackslashTrailThenABackslashReachesTheToolWhole)
{
    ExpectPathReachesTheToolWhole(MakeFolder(L"\u816C") + L"\\");
}

TEST_F(CodePage936, AFailedStepsBoxReadsAsWritten)
{
    ExpectFailureBoxAsWritten(MakeFolder(L"\u816C"));
}

}  // namespace
