// The texts of the editors, the undo steps and the data layer's messages in English: through
// the compiled English catalogue, installed and removed while the window runs, as the language
// menu does.
#include "MainFormFixture.h"
#include "support/TempDir.h"

#include "ImageEx/TRadioGroup.h"
#include "atomicfile/AtomicFileWriter.h"
#include "cli/CommandLineTool.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "document/TmxMap.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RestorePoint.h"
#include "inifile/IniFile.h"
#include "patch/PatchMessages.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>
#include <QTranslator>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <string>

namespace {

// The catalogue installed for the scope; the windows hear of the change (posted events) before
// the scope's first check and after its end.
class EnglishCatalogue {
public:
    EnglishCatalogue() {
        Loaded = Translator.load(QStringLiteral(K6_MESSAGES_QM));
        QCoreApplication::installTranslator(&Translator);
        QCoreApplication::processEvents();
    }
    ~EnglishCatalogue() {
        QCoreApplication::removeTranslator(&Translator);
        QCoreApplication::processEvents();
    }
    EnglishCatalogue(const EnglishCatalogue&) = delete;
    EnglishCatalogue& operator=(const EnglishCatalogue&) = delete;

    bool Loaded = false;

private:
    QTranslator Translator;
};

std::string Shown(const std::string& message) {
    return DisplayText::Of(message).toStdString();
}

struct MessageCase {
    const char* Name;
    std::string Japanese;
    std::string English;
};

const std::vector<MessageCase>& MessageCases() {
    static const std::vector<MessageCase> cases = {
        {"name and phrase", std::string("fcpalette.pal") + FcPaletteData::CannotReadPhrase,
         "fcpalette.pal could not be read"},
        {"a Japanese file name stays", std::string("ステージ.pal") + FcPaletteData::BadSizePhrase,
         "ステージ.pal has an invalid size"},
        {"two phrases in a row",
         std::string("/etc/k6.ini") + IniFile::CannotReadPhrase + IniFile::NotRegularPhrase,
         "/etc/k6.ini could not be read. (not a regular file)"},
        {"the platform's reason stays",
         std::string("a.nes") + AtomicFileWriter::CannotWritePhrase + "(No space left on device)",
         "a.nes could not be written. (No space left on device)"},
        {"phrases around two paths",
         std::string("a.nes") + AtomicFileWriter::CannotWritePhrase + "(I/O error)" +
             AtomicFileWriter::MayBeDamagedPhrase + AtomicFileWriter::JournalBeforePhrase +
             "/j/a.journal" + AtomicFileWriter::JournalAfterPhrase,
         "a.nes could not be written. (I/O error) It could not be restored either, so the file "
         "may be damaged. The save can be completed, the next time the file is opened, from "
         "/j/a.journal."},
        {"restore point elsewhere",
         std::string("a.nes.bak") + RestorePoint::FallbackBeforePhrase + "/d/a.nes.bak" +
             RestorePoint::FallbackAfterPhrase,
         "a.nes.bak could not be created, so the restore point was made as /d/a.nes.bak "
         "instead."},
        {"a map's problem after its name",
         std::string("m.tmx") + TmxMap::CannotReadPhrase + TmxMap::EmptyCell,
         "m.tmx could not be read: some cells are empty"},
        {"a whole message", PatchMessages::Truncated, "The patch is cut short"},
        {"the settings file's line break",
         std::string("k.ini") + IniFile::TooLargePhrase + IniFile::NotWrittenPhrase,
         "k.ini was not read: it is too large for a settings file.\nThe settings file was not "
         "written."},
        {"no phrase", "read error", "read error"},
        {"empty", "", ""},
    };
    return cases;
}

TEST(DisplayTextTest, MessagesStayJapaneseWithoutCatalogue) {
    for (const MessageCase& c : MessageCases())
        EXPECT_EQ(Shown(c.Japanese), c.Japanese) << c.Name;
}

TEST(DisplayTextTest, MessagesShowInEnglishWithCatalogue) {
    const EnglishCatalogue english;
    ASSERT_TRUE(english.Loaded);
    for (const MessageCase& c : MessageCases())
        EXPECT_EQ(Shown(c.Japanese), c.English) << c.Name;
}

// A phrase the display knows but the catalogue does not (unmarked, another context, or left
// untranslated) would stay Japanese in an English window.
TEST(DisplayTextTest, EveryPhraseHasAnEnglishText) {
    const EnglishCatalogue english;
    ASSERT_TRUE(english.Loaded);
    for (const DisplayText::Phrase& phrase : DisplayText::Phrases())
        EXPECT_NE(QCoreApplication::translate(phrase.Context, phrase.Source).toStdString(),
                  phrase.Source)
            << phrase.Context << ": " << phrase.Source;
}

// The command line's help, usage errors and the data layer's refusals it passes on.
TEST(CommandLineTextsTest, ShowInEnglishWithCatalogue) {
    const TempDir dir;
    const QString missing = QString::fromStdString(dir.File("missing.nes"));
    struct Case {
        const char* Name;
        QStringList Arguments;
        bool ToOut;
        QString Expected;
    };
    const std::vector<Case> cases = {
        {"option description", {"--help"}, true, "Write all pages of STAGE to a PNG"},
        {"description's stage line",
         {"--help"},
         true,
         "STAGE: 0-15 (decimal, or hexadecimal with 0x)"},
        {"positional argument", {"--help"}, true, "The files of the command"},
        {"usage error",
         {"--export-map", "99", "o.png", "i.nes"},
         false,
         "kestrin6editor: STAGE is 0 to 15: 99\nkestrin6editor --help shows the usage\n"},
        {"refusal of the file layer",
         {"--check", missing},
         false,
         missing + " could not be opened. (No such file or directory)\n"},
    };
    const EnglishCatalogue english;
    ASSERT_TRUE(english.Loaded);
    for (const Case& c : cases) {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        CommandLineTool tool(outStream, errStream);
        tool.Execute(QStringList{"kestrin6editor"} + c.Arguments);
        const QString& written = c.ToOut ? out : err;
        EXPECT_TRUE(written.contains(c.Expected)) << c.Name << ": " << written.toStdString();
    }
}

class TranslatedTextsTest : public MainFormFixture {};

// Each editor's own texts, read from the widgets they are shown in.
struct EditorText {
    const char* Name;
    QWidget* TMainForm::*Tab;
    std::function<QString(TMainForm&)> Read;
    std::string Japanese;
    std::string English;
};

TEST_F(TranslatedTextsTest, EditorsShowTheirTextsAgainWhenTheLanguageChanges) {
    StartWithGeneratedImage();
    const std::vector<EditorText> texts = {
        {"16x16 attribute type", &TMainForm::Tab16x16ChipEdit,
         [](TMainForm& f) { return f.RGChipPropertySelect->ItemText(0); }, "0x 00 背景",
         "0x 00 Background"},
        {"16x16 chip set switch", &TMainForm::Tab16x16ChipEdit,
         [](TMainForm& f) { return f.BtnSwitch16X16ChipSet->text(); }, "破壊後に切替",
         "Switch to destroyed"},
        {"32x32 chosen chip's attribute", &TMainForm::Tab32x32ChipEdit,
         [](TMainForm& f) { return f.LblSelect16x16ChipProperty->text(); }, "00 背景",
         "00 Background"},
        {"map set structure's attribute", &TMainForm::TabMapSetEdit,
         [](TMainForm& f) { return f.LblMapSetStructChipProperty[0]->text(); }, "00 背景",
         "00 Background"},
        {"palette group while saved", &TMainForm::TabPaletteEdit,
         [](TMainForm& f) { return f.GBPaletteEdit->title(); }, "パレット編集", "Palette editing"},
        {"object menu's paste item", &TMainForm::TabObjectEdit,
         [](TMainForm& f) { return f.MenuPasteObject->text(); }, "オブジェクトを貼り付け",
         "Paste object"},
    };
    for (const EditorText& text : texts) {
        Form->EditPageControl->setCurrentWidget(Form.get()->*text.Tab);
        ASSERT_EQ(text.Read(*Form).toStdString(), text.Japanese) << text.Name;
    }
    {
        const EnglishCatalogue english;
        ASSERT_TRUE(english.Loaded);
        for (const EditorText& text : texts)
            EXPECT_EQ(text.Read(*Form).toStdString(), text.English) << text.Name;
    }
    for (const EditorText& text : texts)
        EXPECT_EQ(text.Read(*Form).toStdString(), text.Japanese) << text.Name;
}

// Steps made before the change name themselves in the new language, in the stack and in the
// undo and redo items.
TEST_F(TranslatedTextsTest, UndoStepsFollowTheLanguage) {
    StartWithGeneratedImage();
    EditAMapSetCell();
    EditAMapSetCell();
    QUndoStack& stack = Form->Doc().Stack();
    ASSERT_EQ(stack.undoText().toStdString(), "マップチップの配置");
    stack.undo();
    {
        const EnglishCatalogue english;
        ASSERT_TRUE(english.Loaded);
        EXPECT_EQ(stack.undoText().toStdString(), "Place map chip");
        EXPECT_EQ(stack.redoText().toStdString(), "Place map chip");
        EXPECT_TRUE(Form->Undo1->text().contains("Place map chip"))
            << Form->Undo1->text().toStdString();
        EXPECT_TRUE(Form->Redo1->text().contains("Place map chip"))
            << Form->Redo1->text().toStdString();
    }
    EXPECT_EQ(stack.undoText().toStdString(), "マップチップの配置");
    EXPECT_TRUE(Form->Undo1->text().contains("マップチップの配置"))
        << Form->Undo1->text().toStdString();
}

} // namespace
