// The master palette chosen through the file menu: shown at once, kept for the next start,
// never a change of the image.
#include "MainFormFixture.h"
#include "ViewDriver.h"

#include "document/LevelDocument.h"
#include "edit_flag/EditFlagManagement.h"
#include "fileio/RomImageData.h"
#include "romgen/CartridgeGenerator.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QUndoStack>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string PaletteDialog = "open:パレットファイル (*.pal);;すべてのファイル (*)";

std::uint32_t Complement(std::uint32_t colour) {
    return ~colour & 0xFFFFFFu;
}

class MasterPaletteMenu : public MainFormFixture {
protected:
    // Every colour of the generated palette complemented, in a file of eight tables whose
    // other seven are black: a colour from any of them would show.
    std::string WriteComplementPalette() {
        std::vector<std::uint8_t> bytes(1536, 0);
        const auto generated = CartridgeGenerator::MakeMasterPalette();
        for (std::size_t i = 0; i < generated.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(~generated[i]);
        std::filesystem::create_directories(Dir.Path() / "palettes");
        const std::string path = Dir.File("palettes/complement.pal");
        WriteWholeFile(path, bytes);
        return path;
    }

    void ChoosePalette(const std::string& path) {
        Prompts.OpenFiles.push_back(QString::fromStdString(path));
        Form->OpenMasterPalette1->trigger();
    }

    struct View {
        QWidget* Tab;
        TImageEx* Image;
    };
    // The views of every tab that show colours of the master palette.
    std::vector<View> Views() const {
        return {{Form->TabPaletteEdit, Form->ImgColorTable},
                {Form->TabPaletteEdit, Form->ImgPalView[1]},
                {Form->TabPaletteEdit, Form->ImgAnimePal[2]},
                {Form->Tab16x16ChipEdit, Form->ImgBGBankTable},
                {Form->Tab16x16ChipEdit, Form->ImgEdit16x16ChipView},
                {Form->Tab32x32ChipEdit, Form->Img16x16ChipTable},
                {Form->Tab32x32ChipEdit, Form->ImgEdit32x32ChipView},
                {Form->TabMapSetEdit, Form->Img32x32ChipTable},
                {Form->TabObjectEdit, Form->ImgObjectMapPage1},
                {Form->TabMapSetEdit, Form->ImgEditMapSetPage0}};
    }
    // A pixel of each view, each seen on its tab; the last tab stays in front.
    std::vector<std::uint32_t> SamplePixels() {
        std::vector<std::uint32_t> pixels;
        for (const View& view : Views()) {
            Form->EditPageControl->setCurrentWidget(view.Tab);
            pixels.push_back(ViewDriver::PixelOf(view.Image, 5, 5));
        }
        return pixels;
    }
};

TEST_F(MasterPaletteMenu, AChosenFileRecoloursEveryViewAtOnceAndLeavesTheImageAlone) {
    StartWithGeneratedImage();
    const std::vector<std::uint32_t> before = SamplePixels();
    const std::vector<std::uint8_t> bytes(Form->ImageHolder().Buffer().begin(),
                                          Form->ImageHolder().Buffer().end());
    const QString title = Form->windowTitle();
    const QString status = Form->StatusPanels[0]->text();
    Prompts.Log.clear();

    const std::string path = WriteComplementPalette();
    ChoosePalette(path);
    EXPECT_EQ(Prompts.Log, std::vector<std::string>{PaletteDialog});
    // The view in front shows it without any further step.
    EXPECT_EQ(ViewDriver::PixelOf(Form->ImgEditMapSetPage0, 5, 5), Complement(before.back()));
    const std::vector<std::uint32_t> after = SamplePixels();
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], Complement(before[i])) << "view " << i;

    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), Form->ImageHolder().Buffer().begin(),
                           Form->ImageHolder().Buffer().end()));
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->Doc().Stack().count(), 0);
    EXPECT_EQ(Form->windowTitle(), title);
    EXPECT_EQ(Form->StatusPanels[0]->text(), status);
    ASSERT_TRUE(CloseForm());
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{});
}

TEST_F(MasterPaletteMenu, AFileChosenBeforeAnyOpenIsKeptAndUsedAtTheNextStart) {
    const auto generated = CartridgeGenerator::MakeMasterPalette();
    const std::uint32_t colourZero = generated[0] | (generated[1] << 8) | (generated[2] << 16);
    WriteStartupFiles();
    StartForm();
    const std::string path = WriteComplementPalette();
    ChoosePalette(path);
    OpenThroughMenu(WriteCartridge("game.nes"));
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    EXPECT_EQ(ViewDriver::PixelOf(Form->ImgColorTable, 2, 2), Complement(colourZero));
    ASSERT_TRUE(CloseForm());
    EXPECT_NE(ReadTextFile(SettingsPath()).find("[Palette]\nFile=" + path + "\n"),
              std::string::npos);

    // Started from a folder without a palette: the chosen file comes before the one beside the
    // executable.
    std::filesystem::create_directories(Dir.Path() / "elsewhere");
    QDir::setCurrent(QString::fromStdString(Dir.File("elsewhere")));
    StartForm();
    ASSERT_FALSE(Form->StartupFailed());
    OpenThroughMenu(WriteCartridge("game.nes"));
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    EXPECT_EQ(ViewDriver::PixelOf(Form->ImgColorTable, 2, 2), Complement(colourZero));
    EXPECT_TRUE(Prompts.Messages().empty());
}

enum class Pick { Cancelled, Gone, WrongSize, Folder };

struct RefusedCase {
    const char* Name;
    Pick Choice;
    const char* Message; // after the path; nullptr: no message
};

class RefusedPalette : public MasterPaletteMenu, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedPalette, KeepsTheColoursAndTheSettings) {
    const RefusedCase& test = GetParam();
    StartWithGeneratedImage();
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    const std::uint32_t before = ViewDriver::PixelOf(Form->ImgColorTable, 5, 5);
    std::string path = Dir.File("chosen.pal");
    if (test.Choice == Pick::Cancelled)
        path.clear();
    if (test.Choice == Pick::WrongSize)
        WriteWholeFile(path, std::vector<std::uint8_t>(1537, 0xFF));
    if (test.Choice == Pick::Folder)
        std::filesystem::create_directories(path);
    Prompts.Log.clear();

    ChoosePalette(path);
    std::vector<std::string> messages;
    if (test.Message != nullptr)
        messages.push_back(path + test.Message);
    EXPECT_EQ(Prompts.Messages(), messages);
    EXPECT_EQ(ViewDriver::PixelOf(Form->ImgColorTable, 5, 5), before);
    ASSERT_TRUE(CloseForm());
    EXPECT_EQ(ReadTextFile(SettingsPath()).find("[Palette]"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, RefusedPalette,
    testing::Values(RefusedCase{"cancelled", Pick::Cancelled, nullptr},
                    RefusedCase{"gone", Pick::Gone, "が読み込めませんでした"},
                    RefusedCase{"wrong_size", Pick::WrongSize, "のサイズが不正です"},
                    RefusedCase{"folder", Pick::Folder, "が読み込めませんでした"}),
    [](const testing::TestParamInfo<RefusedCase>& tested) { return tested.param.Name; });

} // namespace
