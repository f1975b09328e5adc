// How the program narrows the DLL search on each kind of system: the newer
// call where the system has it, else the older call and the full-path loads.
// The system's functions are handed in, so each system is played here by
// stand-ins that record their calls; the full-path loads are real.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/system_folder.h"
#include "wine_test_support.h"

namespace {

// The DLLs that the dialogs and the shell load by name, as the program
// loads them from the system folder where it cannot narrow the search.
const char* const kLoadedByName[] = {"uxtheme", "userenv", "setupapi",  "apphelp",
                                     "propsys", "dwmapi",  "cryptbase", "oleacc",
                                     "clbcatq", "version", "shcore"};

struct System {
    bool hasSetDefaultDllDirectories;
    BOOL setDefaultDllDirectoriesResult;
    bool hasSetDllDirectory;
};

System g_system;
std::vector<std::string> g_calls;

BOOL WINAPI RecordSetDefaultDllDirectories(DWORD flags)
{
    g_calls.push_back("SetDefaultDllDirectories " + std::to_string(flags));
    return g_system.setDefaultDllDirectoriesResult;
}

BOOL WINAPI RecordSetDllDirectory(LPCWSTR folder)
{
    g_calls.push_back(std::string("SetDllDirectoryW ") + (folder == nullptr    ? "null"
                                                          : folder[0] == L'\0' ? "\"\""
                                                                               : "a folder"));
    return TRUE;
}

void* LookUp(const char* module, const char* name)
{
    std::string asked = std::string(module) + "!" + name;
    if (asked == "kernel32.dll!SetDefaultDllDirectories" && g_system.hasSetDefaultDllDirectories)
        return reinterpret_cast<void*>(RecordSetDefaultDllDirectories);
    if (asked == "kernel32.dll!SetDllDirectoryW" && g_system.hasSetDllDirectory)
        return reinterpret_cast<void*>(RecordSetDllDirectory);
    return nullptr;
}

// The names above that this system's folder holds, and whether each is
// loaded now from exactly there.
std::vector<std::string> LoadedFromTheSystemFolder()
{
    std::vector<std::string> loaded;
    for (const char* name : kLoadedByName) {
        std::string path = SystemFolder() + "\\" + name + ".dll";
        HMODULE module = GetModuleHandleA((std::string(name) + ".dll").c_str());
        char modulePath[MAX_PATH] = {};
        if (module != nullptr)
            GetModuleFileNameA(module, modulePath, MAX_PATH);
        if (module != nullptr && lstrcmpiA(modulePath, path.c_str()) == 0)
            loaded.push_back(name);
    }
    return loaded;
}

std::vector<std::string> HeldByTheSystemFolder()
{
    std::vector<std::string> held;
    for (const char* name : kLoadedByName) {
        std::string path = SystemFolder() + "\\" + name + ".dll";
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            held.push_back(name);
    }
    return held;
}

struct ChoiceCase {
    const char* name;
    System system;
    std::vector<std::string> calls;
    bool loadsByFullPath;
};

class DllSearchChoice : public testing::TestWithParam<ChoiceCase> {};

std::vector<std::string> Without(const std::vector<std::string>& names,
                                 const std::vector<std::string>& leftOut)
{
    std::vector<std::string> kept;
    for (const std::string& name : names)
        if (std::find(leftOut.begin(), leftOut.end(), name) == leftOut.end())
            kept.push_back(name);
    return kept;
}

// Each case runs in a process of its own. Wine's start-up has loaded some of
// the DLLs already; the others show whether the program loaded them.
TEST_P(DllSearchChoice, TakesTheNewerCallWhereItWorksAndElseLoadsFromTheSystemFolder)
{
    std::vector<std::string> loadedBefore = LoadedFromTheSystemFolder();
    std::vector<std::string> toLoad = Without(HeldByTheSystemFolder(), loadedBefore);
    ASSERT_FALSE(toLoad.empty()) << "every DLL was loaded before: the test would prove nothing";
    g_system = GetParam().system;
    g_calls.clear();

    RestrictDllSearch(LookUp);

    EXPECT_EQ(g_calls, GetParam().calls);
    std::vector<std::string> loadedNow = Without(LoadedFromTheSystemFolder(), loadedBefore);
    if (GetParam().loadsByFullPath)
        EXPECT_EQ(loadedNow, toLoad);
    else
        EXPECT_EQ(loadedNow, std::vector<std::string>{});
}

const std::string kSetDefault = "SetDefaultDllDirectories 2048";  // LOAD_LIBRARY_SEARCH_SYSTEM32
const std::string kSetDllDirectoryEmpty = "SetDllDirectoryW \"\"";

INSTANTIATE_TEST_SUITE_P(
    Table, DllSearchChoice,
    testing::Values(
        // Windows 8 on, and Vista and 7 with their 2011 update.
        ChoiceCase{"NewerCall", {true, TRUE, true}, {kSetDefault}, false},
        // The call is there but refuses: the older way, rather than nothing.
        ChoiceCase{
            "NewerCallRefused", {true, FALSE, true}, {kSetDefault, kSetDllDirectoryEmpty}, true},
        // XP SP1 on, Vista and 7 without the update.
        ChoiceCase{"OnlyTheOlderCall", {false, FALSE, true}, {kSetDllDirectoryEmpty}, true},
        // NT 4.0, 2000, XP before SP1.
        ChoiceCase{"NeitherCall", {false, FALSE, false}, {}, true}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return info.param.name; });

// Where the search is not narrowed, a DLL loaded by its full path must not
// have its own dependencies searched for beside the program first.
TEST(SystemDll, IsLoadedByItsFullPathFromTheSystemFolderOnly)
{
    g_system = {false, FALSE, false};
    RestrictDllSearch(LookUp);
    HMODULE loaded = LoadSystemDll("\\comdlg32.dll");
    ASSERT_NE(loaded, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(loaded, path, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(path, (SystemFolder() + "\\comdlg32.dll").c_str()), 0) << path;
    EXPECT_EQ(LoadSystemDll("\\no-such-dll-here.dll"), nullptr);
}

}  // namespace
