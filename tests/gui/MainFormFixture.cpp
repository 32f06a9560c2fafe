#include "MainFormFixture.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "ViewDriver.h"
#include "document/LevelDocument.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"
#include "history/StageArrays.h"

#include "graphics/EditorGraphics.h"
#include "mapsetedit/MapSetEditClass.h"
#include "romgen/CartridgeGenerator.h"

#include <QDir>
#include <QScrollBar>
#include <QTabWidget>

#include <cstdio>
#include <filesystem>

void MainFormFixture::SetUp() {
    PreviousCurrentDir = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(Dir.Path().string()));
}

void MainFormFixture::TearDown() {
    Form.reset();
    QDir::setCurrent(PreviousCurrentDir);
}

void MainFormFixture::WriteStartupFiles() {
    const auto palette = CartridgeGenerator::MakeMasterPalette();
    WriteWholeFile(Dir.File("fcpalette.pal"), {palette.begin(), palette.end()});
    for (const char* name : {"ObjectList.txt", "ScrollList.txt"})
        std::filesystem::copy_file(std::filesystem::path(K6_DATA_DIR) / name, Dir.File(name),
                                   std::filesystem::copy_options::overwrite_existing);
}

StartupOptions MainFormFixture::FormOptions() {
    StartupOptions options;
    options.ExecutableDir = QString::fromStdString(Dir.Path().string());
    options.DataDir = QString::fromStdString(Dir.File("share"));
    options.AppDataDir = QString::fromStdString(AppData.Path().string());
    options.ConfigDir = QString::fromStdString(Config.Path().string());
    options.Prompts = &Prompts;
    return options;
}

TMainForm& MainFormFixture::StartForm() {
    Form = std::make_unique<TMainForm>(FormOptions());
    if (!Form->StartupFailed())
        Form->show();
    return *Form;
}

bool MainFormFixture::CloseForm() {
    return Form->close();
}

QString MainFormFixture::WriteCartridge(const std::string& name) {
    WriteWholeFile(Dir.File(name), CartridgeGenerator::MakeImage());
    return QString::fromStdString(Dir.File(name));
}

void MainFormFixture::SetUpObjects(int stage, const std::vector<std::vector<ObjectRecord>>& rooms) {
    const StageData& data = Form->ImageHolder().Stage(stage);
    ChangeList list;
    list.Place = {stage, EditorTabId::Object, -1};
    std::uint32_t id = data.NextFreeObjectId();
    for (int room = 0; room < LevelFormat::PageCount; ++room) {
        std::vector<ObjectRecord> after;
        if (static_cast<std::size_t>(room) < rooms.size())
            after = rooms[static_cast<std::size_t>(room)];
        for (ObjectRecord& record : after)
            record.Id = id++;
        list.ObjectPages.push_back({room, data.PageRecords(room), std::move(after)});
    }
    Form->Doc().Apply(std::move(list), "test set-up");
    Form->History().Clear();
}

void MainFormFixture::SetUpRoom(int room, const std::vector<ObjectRecord>& objects) {
    const int stage = Form->ImageHolder().CurrentStage();
    std::vector<std::vector<ObjectRecord>> rooms;
    for (int page = 0; page < LevelFormat::PageCount; ++page)
        rooms.push_back(page == room ? objects
                                     : Form->ImageHolder().Stage(stage).PageRecords(page));
    SetUpObjects(stage, rooms);
}

void MainFormFixture::EditStage(const std::function<void(StageData&)>& change) {
    const RomImageData& image = Form->ImageHolder();
    const int stage = image.CurrentStage();
    const StageData& now = image.Stage(stage);
    std::vector<std::uint8_t> buffer(image.Buffer().begin(), image.Buffer().end());
    StageData copy(stage, *image.Address(), buffer);
    constexpr EditorArray Arrays[] = {EditorArray::MapSet,
                                      EditorArray::Chip32x32,
                                      EditorArray::NormalChip16x16,
                                      EditorArray::NormalProperty,
                                      EditorArray::DestroyedChip16x16,
                                      EditorArray::DestroyedProperty,
                                      EditorArray::StagePalette,
                                      EditorArray::AnimePalette};
    for (EditorArray array : Arrays) {
        const auto from = StageArrays::Bytes(now, array);
        std::copy(from.begin(), from.end(), StageArrays::Bytes(copy, array).begin());
    }
    if (copy.Chip16x16SetIndexValue() != now.Chip16x16SetIndexValue())
        copy.ToggleChip16x16Set();
    change(copy);
    ChangeList list;
    list.Place = {stage, EditorTabId::MapSet, -1};
    for (EditorArray array : Arrays)
        StageArrays::AppendDifferences(stage, array, StageArrays::Bytes(now, array),
                                       StageArrays::Bytes(copy, array), list.Bytes);
    Form->Doc().Apply(std::move(list), "test edit");
}

void MainFormFixture::OpenThroughMenu(const QString& path) {
    Prompts.OpenFiles.push_back(path);
    Form->Open1Click();
}

std::string MainFormFixture::GeneratedAnimationSettings() {
    using G = CartridgeGenerator;
    char text[256];
    std::snprintf(text, sizeof text,
                  "[Timer]\nInterval=3600000\n[PaletteAnimation]\nAnimeLowTable=%zX\n"
                  "AnimeHighTable=%zX\nAnimeColorTable=%zX\nAnimeBase=%zX\n",
                  G::AnimeLowTable, G::AnimeHighTable, G::AnimeColorTable, G::AnimeBase);
    return text;
}

bool MainFormFixture::TickUntilStageColorChanges(int index, int maxTicks) {
    const std::uint32_t before = Form->Graphics().GetStageColor(index);
    for (int tick = 0; tick < maxTicks; ++tick) {
        Form->FrameTimerTimer();
        if (Form->Graphics().GetStageColor(index) != before)
            return true;
    }
    return false;
}

QString MainFormFixture::StartWithGeneratedImage() {
    WriteStartupFiles();
    StartForm();
    EXPECT_FALSE(Form->StartupFailed());
    const QString path = WriteCartridge("stage.nes");
    OpenThroughMenu(path);
    return path;
}

MainFormFixture::MapSetCellEdit MainFormFixture::EditAMapSetCell() {
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    TImageEx* page = Form->ImgEditMapSetPage0;
    const StageData& stage = Form->ImageHolder().CurrentStageData();
    const int shown = Form->MapSetEdit->PageIndex(0);
    const auto indexOf = [shown](int cell) { return static_cast<std::size_t>(shown * 64 + cell); };
    const auto press = [page](Qt::MouseButton button, int cell) {
        const int x = (cell % 8) * 32 + 10;
        const int y = (cell / 8) * 32 + 10;
        ViewDriver::Move(page, x, y);
        ViewDriver::Click(page, button, x, y);
    };
    const std::uint8_t chip = stage.MapSetTable[indexOf(0)];
    press(Qt::RightButton, 0);
    for (int cell = 1; cell < 64; ++cell) {
        if (stage.MapSetTable[indexOf(cell)] == chip)
            continue;
        press(Qt::LeftButton, cell);
        EXPECT_EQ(stage.MapSetTable[indexOf(cell)], chip) << "the press placed nothing";
        return {Form->ImageHolder().CurrentStage(), indexOf(cell), chip};
    }
    ADD_FAILURE() << "page " << shown << " holds only chip " << int{chip};
    return {};
}
