#pragma once

#include "FakePrompts.h"
#include "mainform/TMainForm.h"
#include "support/TempDir.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class StageData;
struct ObjectRecord;

// A main window started the way the program starts it, in a temporary folder that serves as
// both the current directory (master palette) and the executable's folder (settings, lists).
class MainFormFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the files a normal start finds: the master palette and both list files.
    void WriteStartupFiles();
    // The options the program starts with, pointed at the folder and the fake prompts.
    StartupOptions FormOptions();
    TMainForm& StartForm();
    // Closes the window as the user would; true when it closed.
    bool CloseForm();

    // A generated cartridge image saved under name in the folder; returns its path.
    QString WriteCartridge(const std::string& name);
    // Runs Open with the dialog answering path.
    void OpenThroughMenu(const QString& path);
    // Starts the window as the program does and opens a generated "stage.nes" through the
    // menu; returns its path.
    QString StartWithGeneratedImage();
    std::string SettingsPath() const { return Dir.File("kestrin6editor.ini"); }
    // Gives a stage of the open image the given objects as if the image had held them when it
    // was opened: written through the document, with an empty history afterwards.
    void SetUpObjects(int stage, const std::vector<std::vector<ObjectRecord>>& rooms);
    // The same for one room of the current stage; the other rooms keep their objects.
    void SetUpRoom(int room, const std::vector<ObjectRecord>& objects);
    // An edit of the current stage's byte arrays made elsewhere than through a view: change
    // runs on a copy of them, and what it changed is handed to the document as one step.
    void EditStage(const std::function<void(StageData&)>& change);

    // Where a map-set edit went: the stage, the index in its map set and the chip placed.
    struct MapSetCellEdit {
        int Stage = 0;
        std::size_t Index = 0;
        std::uint8_t Chip = 0;
    };
    // One real edit of the open image, as the user makes it: on the map-set tab, a right press
    // picks the chip of the left page's first cell and a left press places it into the first
    // cell of that page holding another chip. Each call changes one more cell.
    MapSetCellEdit EditAMapSetCell();

    // Settings that turn the palette animation on with the generated image's tables; the
    // real timer never fires during a test, ticks are driven by hand.
    static std::string GeneratedAnimationSettings();
    // Runs frame ticks until stage colour index differs from what it was; false if it never
    // does within the given number of ticks.
    bool TickUntilStageColorChanges(int index, int maxTicks = 1000);

    TempDir Dir;
    // The application data folder: journals of saves in place, restore points kept elsewhere.
    TempDir AppData;
    // The user's configuration folder, where the settings go when the executable's folder
    // takes no new files.
    TempDir Config;
    FakePrompts Prompts;
    std::unique_ptr<TMainForm> Form;

private:
    QString PreviousCurrentDir;
};
