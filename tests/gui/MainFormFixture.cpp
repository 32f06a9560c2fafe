#include "MainFormFixture.h"

#include "romgen/CartridgeGenerator.h"

#include <QDir>

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

TMainForm& MainFormFixture::StartForm() {
    StartupOptions options;
    options.ExecutableDir = QString::fromStdString(Dir.Path().string());
    options.Prompts = &Prompts;
    Form = std::make_unique<TMainForm>(options);
    if (!Form->StartupFailed())
        Form->show();
    return *Form;
}

bool MainFormFixture::CloseForm() { return Form->close(); }

QString MainFormFixture::WriteCartridge(const std::string& name) {
    WriteWholeFile(Dir.File(name), CartridgeGenerator::MakeImage());
    return QString::fromStdString(Dir.File(name));
}

void MainFormFixture::OpenThroughMenu(const QString& path) {
    Prompts.OpenFiles.push_back(path);
    Form->Open1Click();
}
