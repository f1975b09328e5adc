// The resources inside the shipped exe, read back the way Windows reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <ctype.h>
#include <string.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "wine_test_support.h"

namespace {

class ExeResources : public testing::Test {
protected:
    void SetUp() override
    {
        exe_ = BinaryFolder() + "\\quorvel.exe";
        module_ = LoadLibraryExA(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }

    std::string Resource(LPCSTR type, LPCSTR name, WORD language = 0)
    {
        HRSRC found = language ? FindResourceExA(module_, type, name, language)
                               : FindResourceA(module_, name, type);
        if (!found)
            return std::string();
        const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return std::string(data, SizeofResource(module_, found));
    }

    std::string exe_;
    HMODULE module_ = nullptr;
};

// Reads a dialog template in its extended form.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}

    template <typename T>
    T Read()
    {
        T value{};
        if (position_ + sizeof(T) <= bytes_.size())
            memcpy(&value, bytes_.data() + position_, sizeof(T));
        position_ += sizeof(T);
        return value;
    }

    // A string in code page 932, or "#<ordinal>".
    std::string ReadStringOrOrdinal()
    {
        WORD first = Read<WORD>();
        if (first == 0xFFFF)
            return "#" + std::to_string(Read<WORD>());
        std::wstring text;
        for (WORD c = first; c != 0; c = Read<WORD>())
            text += static_cast<wchar_t>(c);
        if (text.empty())
            return std::string();
        char narrow[1024] = {};
        WideCharToMultiByte(932, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }

    void AlignToDword() { position_ = (position_ + 3) & ~size_t(3); }

private:
    const std::string& bytes_;
    size_t position_ = 0;
};

struct Control {
    int id;
    std::string windowClass;
    DWORD style;
    std::string text;
    short x, y, width, height;
    bool operator==(const Control& o) const
    {
        return id == o.id && windowClass == o.windowClass && style == o.style && text == o.text &&
               x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

void PrintTo(const Control& c, std::ostream* out)
{
    *out << "{" << c.id << ", " << c.windowClass << ", 0x" << std::hex << c.style << std::dec
         << ", " << c.text << ", " << c.x << "," << c.y << "," << c.width << "," << c.height << "}";
}

// Window classes are named without regard to case, or by ordinal.
std::string ClassName(const std::string& nameOrOrdinal)
{
    if (nameOrOrdinal == "#128")
        return "BUTTON";
    if (nameOrOrdinal == "#130")
        return "STATIC";
    if (nameOrOrdinal == "#133")
        return "COMBOBOX";
    std::string upper = nameOrOrdinal;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

TEST_F(ExeResources, PermissionDialogTemplateIsExactlyAsDesigned)
{
    std::string bytes = Resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_PERMISSIONS),
                                 MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_FALSE(bytes.empty()) << "no Japanese dialog 101";
    TemplateReader reader(bytes);
    EXPECT_EQ(reader.Read<WORD>(), 1);       // version of the extended form
    EXPECT_EQ(reader.Read<WORD>(), 0xFFFF);  // its signature
    reader.Read<DWORD>();                    // help ID
    EXPECT_EQ(reader.Read<DWORD>(), 0u);     // extended style
    EXPECT_EQ(reader.Read<DWORD>(), 0x80C800C0u);
    WORD count = reader.Read<WORD>();
    EXPECT_EQ(reader.Read<short>(), 0);
    EXPECT_EQ(reader.Read<short>(), 0);
    EXPECT_EQ(reader.Read<short>(), 159);
    EXPECT_EQ(reader.Read<short>(), 159);
    EXPECT_EQ(reader.ReadStringOrOrdinal(), "");  // no menu
    EXPECT_EQ(reader.ReadStringOrOrdinal(), "");  // the dialog class
    EXPECT_EQ(reader.ReadStringOrOrdinal(), "Quorvel");
    EXPECT_EQ(reader.Read<WORD>(), 9);    // points
    EXPECT_EQ(reader.Read<WORD>(), 400);  // weight
    EXPECT_EQ(reader.Read<BYTE>(), 0);    // not italic
    reader.Read<BYTE>();                  // character set
    EXPECT_EQ(reader.ReadStringOrOrdinal(), "ＭＳ Ｐゴシック");

    std::vector<Control> controls;
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        reader.Read<DWORD>();  // help ID
        EXPECT_EQ(reader.Read<DWORD>(), 0u) << "extended style of control " << i;
        Control c;
        c.style = reader.Read<DWORD>();
        c.x = reader.Read<short>();
        c.y = reader.Read<short>();
        c.width = reader.Read<short>();
        c.height = reader.Read<short>();
        c.id = static_cast<int>(reader.Read<DWORD>());
        c.windowClass = ClassName(reader.ReadStringOrOrdinal());
        c.text = reader.ReadStringOrOrdinal();
        EXPECT_EQ(reader.Read<WORD>(), 0) << "creation data of control " << i;
        controls.push_back(c);
    }

    const DWORD child = WS_CHILD | WS_VISIBLE;
    std::vector<Control> expected = {
        {-1, "BUTTON", child | BS_GROUPBOX, "アクセス許可", 7, 24, 146, 92},
        {IDC_FULL, "BUTTON", child | BS_AUTOCHECKBOX | WS_TABSTOP, "フルコントロール", 14, 37, 64,
         10},
        {IDC_READ, "BUTTON", child | BS_AUTOCHECKBOX | WS_TABSTOP, "読み取り", 14, 56, 42, 10},
        {IDC_WRITE, "BUTTON", child | BS_AUTOCHECKBOX | WS_TABSTOP, "書き込み", 14, 75, 42, 10},
        {IDC_CHANGE, "BUTTON", child | BS_AUTOCHECKBOX | WS_TABSTOP, "変更", 14, 94, 30, 10},
        {IDC_SUBDIRS, "BUTTON", child | BS_AUTOCHECKBOX | WS_TABSTOP,
         "すべてのサブディレクトリを対象にする。", 7, 120, 131, 10},
        {IDOK, "BUTTON", child | BS_DEFPUSHBUTTON | WS_TABSTOP, "適用(&A)", 42, 138, 50, 14},
        {IDCANCEL, "BUTTON", child | BS_PUSHBUTTON | WS_TABSTOP, "キャンセル", 103, 138, 50, 14},
        // The label right before the field it names, for screen readers.
        {-1, "STATIC", child | SS_LEFT | WS_GROUP, "対象ユーザー", 7, 7, 42, 8},
        {IDC_USER, "COMBOBOX", child | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, "", 56, 7, 97, 74},
    };
    ASSERT_EQ(controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(controls[i], expected[i]) << "control " << i;
}

TEST_F(ExeResources, IconGroupHoldsA32And16PixelSixteenColourImage)
{
    std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_APP));
    ASSERT_GE(group.size(), 6u);
    WORD count;
    memcpy(&count, group.data() + 4, sizeof count);
    ASSERT_EQ(count, 2);
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const unsigned char* entry =
            reinterpret_cast<const unsigned char*>(group.data()) + 6 + 14 * i;
        sizes.push_back(entry[0]);
        EXPECT_EQ(entry[0], entry[1]);  // square
        EXPECT_EQ(entry[2], 16);        // colours
        WORD bitCount, id;
        memcpy(&bitCount, entry + 6, sizeof bitCount);
        memcpy(&id, entry + 12, sizeof id);
        EXPECT_EQ(bitCount, 4);
        std::string image = Resource(RT_ICON, MAKEINTRESOURCEA(id));
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(header.biWidth, entry[0]);
        EXPECT_EQ(header.biHeight, 2 * entry[0]);  // colour and mask
        EXPECT_EQ(header.biBitCount, 4);
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
}

TEST_F(ExeResources, VersionBlockNamesTheProductInJapanese)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe_.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

#ifdef _WIN64
    const char* shippedName = "quorvel64.exe";
#else
    const char* shippedName = "quorvel.exe";
#endif
    const char* expected[][2] = {{"FileDescription", "Quorvel"},
                                 {"ProductName", "Quorvel"},
                                 {"FileVersion", "1, 1, 0, 0"},
                                 {"ProductVersion", "1, 1, 0, 0"},
                                 {"OriginalFilename", shippedName}};
    for (const auto& pair : expected) {
        char* value = nullptr;
        std::string path = std::string("\\StringFileInfo\\041104b0\\") + pair[0];
        ASSERT_TRUE(
            VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            << pair[0];
        EXPECT_STREQ(value, pair[1]) << pair[0];
    }
}

TEST_F(ExeResources, ManifestAsksForInvokerRightsSystemDpiAndCommonControls6)
{
    std::string manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_FALSE(manifest.empty());
    for (const char* part : {"level=\"asInvoker\"", "<dpiAware", ">true</dpiAware>",
                             "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
                             "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

}  // namespace
