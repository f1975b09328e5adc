// A test that starts the real quorvel.exe, with the stand-in tool in the
// system folders, in a fresh work folder, and makes sure it is gone afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui_driver.h"
#include "wine_test_support.h"

class ProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = FreshWorkFolder();
        log_ = ResetToolStandIn(folder_);
        exe_ = BinaryFolder() + "\\quorvel.exe";
    }

    void TearDown() override
    {
        ui::Close(program_);
        ResetToolStandIn(folder_);
        SetVariable("QUORVEL_STANDIN_LOG", "");
    }

    // Starts the program with its quoted path and then the given tail.
    ui::Program& StartWith(const std::string& tail)
    {
        return StartRaw("\"" + exe_ + "\"" + (tail.empty() ? "" : " " + tail));
    }

    ui::Program& StartRaw(const std::string& commandLine)
    {
        program_ = ui::Start(commandLine, folder_);
        EXPECT_NE(program_.process, nullptr) << commandLine;
        return program_;
    }

    ui::Program& StartRawWide(const std::wstring& commandLine)
    {
        program_ = ui::StartWide(commandLine, folder_);
        EXPECT_NE(program_.process, nullptr);
        return program_;
    }

    // Starts the program on a target and waits for its dialog.
    HWND OpenDialog(const std::string& tail)
    {
        StartWith(tail);
        HWND dialog = ui::WaitForWindow(program_, ui::WindowKind::PermissionDialog);
        EXPECT_NE(dialog, nullptr) << "no permission dialog for: " << tail;
        return dialog;
    }

    DWORD CancelAndWaitForExit(HWND dialog)
    {
        ui::PostCommand(dialog, IDCANCEL);
        return ui::WaitForExit(program_);
    }

    std::vector<ToolRun> Runs() const { return ReadToolRuns(log_); }

    std::string folder_;
    std::string log_;
    std::string exe_;
    ui::Program program_;
};

inline std::string CurrentUserName()
{
    char name[256] = {};
    DWORD size = sizeof name;
    GetUserNameA(name, &size);
    return name;
}
