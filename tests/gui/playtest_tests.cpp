// Play-testing from the window with a stand-in emulator: a script that copies the image it is
// given and records its arguments.
#include "MainFormFixture.h"

#include "edit_flag/EditFlagManagement.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"
#include "mainform/PlayTestLauncher.h"
#include "support/GeneratedCartridge.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QUndoStack>

#include <filesystem>
#include <string>

namespace {

// The reason the system gives, as Qt words it in the language installed (Qt's own Japanese
// catalogue, where installed, translates it).
std::string SystemError(const char* text) {
    return QCoreApplication::translate("QIODevice", text).toStdString();
}

using Bytes = std::vector<std::uint8_t>;

class PlayTest : public MainFormFixture {
protected:
    // The stand-in copies its first argument, then writes all its arguments one a line; each
    // file appears whole (written aside, then renamed).
    std::string WriteStandIn(const std::string& name) {
        const std::string path = Dir.File(name);
        WriteTextFile(path, "#!/bin/sh\n"
                            "/bin/cp \"$1\" \"" +
                                Dir.File("copy.tmp") +
                                "\"\n"
                                "/bin/mv \"" +
                                Dir.File("copy.tmp") + "\" \"" + Dir.File("copy.nes") +
                                "\"\n"
                                "printf '%s\\n' \"$@\" > \"" +
                                Dir.File("args.tmp") +
                                "\"\n"
                                "/bin/mv \"" +
                                Dir.File("args.tmp") + "\" \"" + Dir.File("args.txt") + "\"\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    void StartWithSettings(const std::string& playTestSection) {
        WriteTextFile(SettingsPath(), "[PlayTest]\n" + playTestSection);
        ImagePath = StartWithGeneratedImage();
    }

    // The stand-in's arguments, once it has run.
    std::vector<std::string> WaitForArguments() {
        const std::string path = Dir.File("args.txt");
        for (int i = 0; i < 500 && !std::filesystem::exists(path); ++i)
            QTest::qWait(10);
        std::vector<std::string> lines;
        std::string text = std::filesystem::exists(path) ? ReadTextFile(path) : "";
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    void PressF5() {
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : Form.get();
        QTest::keyClick(target, Qt::Key_F5);
    }

    Bytes SavedNow() {
        Bytes image;
        EXPECT_TRUE(Form->ImageHolder().ComposeSavedImage(image).Ok);
        return image;
    }

    QString ImagePath;
};

TEST_F(PlayTest, F5RunsTheImageAsASaveWouldWriteItAndChangesNothingOpen) {
    const std::string standIn = WriteStandIn("emulator.sh");
    StartWithSettings("Command=\"" + standIn + "\" \"%image\" --stage %stage\n");
    const QList<QAction*> items = Form->N1->actions();
    ASSERT_EQ(items.indexOf(Form->PlayTest1), items.indexOf(Form->ExportPicture1) + 1);
    EXPECT_EQ(Form->PlayTest1->text(), "テストプレイ(&T)");
    Form->CBStage->setCurrentIndex(3);
    EditAMapSetCell();
    const Bytes expected = SavedNow();
    const int steps = Form->History().Stack().count();
    const QString title = Form->windowTitle();

    PressF5();
    const std::vector<std::string> arguments = WaitForArguments();
    ASSERT_EQ(arguments.size(), 3u);
    EXPECT_NE(arguments[0], ImagePath.toStdString());
    EXPECT_EQ(QFileInfo(QString::fromStdString(arguments[0])).fileName(), "playtest.nes");
    EXPECT_EQ(arguments[1], "--stage");
    EXPECT_EQ(arguments[2], "3");
    EXPECT_TRUE(ReadWholeFile(Dir.File("copy.nes")) == expected);

    EXPECT_TRUE(Prompts.Messages().empty());
    EXPECT_TRUE(ReadWholeFile(ImagePath.toStdString()) == GeneratedImage());
    EXPECT_EQ(Form->ImageHolder().FileName(), ImagePath.toStdString());
    EXPECT_EQ(Form->StatusPanels[0]->text(), "変更あり");
    EXPECT_EQ(Form->windowTitle(), title);
    EXPECT_EQ(Form->History().Stack().count(), steps);
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(3));

    // The folder of the test image goes with the window.
    Prompts.YesNoCancelAnswers.push_back(UserPrompts::Answer::No);
    ASSERT_TRUE(CloseForm());
    Form.reset();
    EXPECT_FALSE(std::filesystem::exists(arguments[0]));
}

TEST_F(PlayTest, StartStageOffsetWritesTheStageThereAndNowhereElse) {
    const std::string standIn = WriteStandIn("emulator.sh");
    StartWithSettings("Command=\"" + standIn + "\" %image\nStartStageOffset=7FF00\n");
    Form->CBStage->setCurrentIndex(11);
    Bytes expected = SavedNow();
    expected[0x7FF00] = 11;
    ASSERT_NE(SavedNow()[0x7FF00], 11);
    Form->PlayTest1->trigger();
    ASSERT_EQ(WaitForArguments().size(), 1u);
    EXPECT_TRUE(ReadWholeFile(Dir.File("copy.nes")) == expected);
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_TRUE(SavedNow() == GeneratedImage());
}

TEST_F(PlayTest, RefusedOffsetsAndProgramsGetTheirMessages) {
    const std::string standIn = WriteStandIn("emulator.sh");
    struct Case {
        std::string Settings;
        std::string MessageStart;
        std::string MessageAlsoHas;
    };
    const std::string missing = "\"" + Dir.File("no-such-emulator") + "\" \"%image\"";
    const Case cases[] = {
        {"Command=" + standIn + " %image\nStartStageOffset=80010\n",
         "StartStageOffsetの値がイメージの範囲外です", ""},
        {"Command=" + standIn + " %image\nStartStageOffset=zz\n",
         "StartStageOffsetの値がイメージの範囲外です", ""},
        {"Command=" + missing + "\n", missing + "を起動できませんでした\n",
         SystemError("No such file or directory")},
        {"Command=\"" + Dir.File("copy.nes") + "\"\n", "", SystemError("Permission denied")},
    };
    WriteTextFile(Dir.File("copy.nes"), "not a program");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Settings);
        std::filesystem::remove(Dir.File("args.txt"));
        StartWithSettings(c.Settings);
        Form->PlayTest1->trigger();
        const std::vector<std::string> messages = Prompts.Messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind(c.MessageStart, 0), 0u) << messages[0];
        EXPECT_NE(messages[0].find(c.MessageAlsoHas), std::string::npos) << messages[0];
        EXPECT_FALSE(std::filesystem::exists(Dir.File("args.txt")));
        Prompts.Log.clear();
        Form.reset();
    }
}

TEST_F(PlayTest, WithoutACommandAKnownEmulatorOrTheChosenProgramIsKept) {
    const QByteArray path = qgetenv("PATH");
    std::filesystem::create_directory(Dir.File("bin"));
    const std::string nestopia = WriteStandIn("bin/nestopia");
    qputenv("PATH", QByteArray::fromStdString(Dir.File("bin")));
    StartWithSettings("");
    Prompts.Log.clear();
    Form->PlayTest1->trigger();
    EXPECT_EQ(WaitForArguments().size(), 1u);
    EXPECT_TRUE(Prompts.Log.empty());
    ASSERT_TRUE(CloseForm());
    EXPECT_NE(ReadTextFile(SettingsPath()).find("Command=\"" + nestopia + "\" \"%image\""),
              std::string::npos);

    // None on the PATH: the user is asked for the program.
    std::filesystem::remove(nestopia);
    std::filesystem::remove(Dir.File("args.txt"));
    const std::string chosen = WriteStandIn("my emulator.sh");
    WriteTextFile(SettingsPath(), "");
    StartWithSettings("");
    Prompts.OpenFiles.push_back(QString::fromStdString(chosen));
    Form->PlayTest1->trigger();
    qputenv("PATH", path);
    EXPECT_EQ(WaitForArguments().size(), 1u);
    EXPECT_EQ(Prompts.Log.back(), "open:プログラム (*)");
    ASSERT_TRUE(CloseForm());
    EXPECT_NE(ReadTextFile(SettingsPath()).find("Command=\"" + chosen + "\" \"%image\""),
              std::string::npos);
}

} // namespace
