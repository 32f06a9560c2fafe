#pragma once

#include "FakePrompts.h"
#include "mainform/TMainForm.h"
#include "support/TempDir.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>

// A main window started the way the program starts it, in a temporary folder that serves as
// both the current directory (master palette) and the executable's folder (settings, lists).
class MainFormFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the files a normal start finds: the master palette and both list files.
    void WriteStartupFiles();
    TMainForm& StartForm();
    // Closes the window as the user would; true when it closed.
    bool CloseForm();

    // A generated cartridge image saved under name in the folder; returns its path.
    QString WriteCartridge(const std::string& name);
    // Runs Open with the dialog answering path.
    void OpenThroughMenu(const QString& path);
    std::string SettingsPath() const { return Dir.File("kestrin6editor.ini"); }

    TempDir Dir;
    FakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

private:
    QString PreviousCurrentDir;
};
