// Sharing the work from the window: making a patch, opening an image made from a patch, and
// writing pictures of the current stage, all through the file menu's items.
#include "MainFormFixture.h"
#include "ViewDriver.h"
#include "support/AppliedPatch.h"

#include "ImageEx/TImageEx.h"
#include "address/LevelDataLayout.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "mainform/TExportPictureDialog.h"
#include "patch/BpsPatch.h"
#include "patch/IpsPatch.h"
#include "patch/PatchFiles.h"
#include "romgen/CartridgeGenerator.h"
#include "support/GeneratedCartridge.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <filesystem>

namespace {

using Bytes = std::vector<std::uint8_t>;

class Sharing : public MainFormFixture {
protected:
    void StartWithImage() {
        WriteStartupFiles();
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        ImagePath = WriteCartridge("stage.nes");
        OpenThroughMenu(ImagePath);
    }

    // A map cell changed with the mouse on the map-set tab: chip 0x21 into page 0, cell 9.
    void EditMapCell() {
        Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
        ViewDriver::Click(Form->Img32x32ChipTable, Qt::LeftButton, 1 * 16 + 7, 2 * 16 + 7);
        ViewDriver::Click(Form->ImgEditMapSetPage0, Qt::LeftButton, 1 * 32 + 10, 1 * 32 + 10);
        ASSERT_EQ(Form->ImageHolder().CurrentStageData().MapSetTable[9], 0x21);
        ASSERT_TRUE(Form->Tracker().IsModified());
    }

    Bytes SavedNow() {
        Bytes image;
        EXPECT_TRUE(Form->ImageHolder().ComposeSavedImage(image).Ok);
        return image;
    }

    // Answers the picture dialog: kind chosen, marks or not, then OK.
    void AnswerPictureDialog(StagePicture::Kind kind, bool objects) {
        Prompts.OnModal = [kind, objects](QDialog* dialog) {
            auto* pictures = qobject_cast<TExportPictureDialog*>(dialog);
            ASSERT_NE(pictures, nullptr);
            (kind == StagePicture::Kind::Map              ? pictures->RBMap
             : kind == StagePicture::Kind::Chip16x16Sheet ? pictures->RBChip16x16Sheet
                                                          : pictures->RBChip32x32Sheet)
                ->click();
            if (pictures->ChkObjects->isChecked() != objects)
                pictures->ChkObjects->click();
            pictures->accept();
        };
    }

    QImage ExportPicture(StagePicture::Kind kind, bool objects = false) {
        AnswerPictureDialog(kind, objects);
        const std::string path = Dir.File("picture.png");
        std::filesystem::remove(path);
        Prompts.SaveFiles.push_back(QString::fromStdString(path));
        Form->ExportPicture1->trigger();
        return QImage(QString::fromStdString(path));
    }

    QString ImagePath;
};

TEST_F(Sharing, MenuItemsFollowSaveAsAndTheOpenImage) {
    WriteStartupFiles();
    StartForm();
    const QList<QAction*> items = Form->N1->actions();
    const qsizetype saveAs = items.indexOf(Form->SaveAs1);
    ASSERT_GE(saveAs, 0);
    ASSERT_LT(saveAs + 6, items.size());
    EXPECT_EQ(items[saveAs + 1]->text(), "パッチを作成(&P)...");
    EXPECT_EQ(items[saveAs + 2]->text(), "パッチを当てて開く(&T)...");
    EXPECT_EQ(items[saveAs + 3]->text(), "画像として書き出す(&E)...");
    EXPECT_EQ(items[saveAs + 4]->text(), "テストプレイ(&T)");
    EXPECT_EQ(items[saveAs + 4]->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(items[saveAs + 5]->text(), "TMX形式で書き出す(&M)...");
    EXPECT_EQ(items[saveAs + 6]->text(), "TMX形式から読み込む(&L)...");

    const auto enabled = [&] {
        return std::vector<bool>{Form->MakePatch1->isEnabled(),     Form->ApplyPatch1->isEnabled(),
                                 Form->ExportPicture1->isEnabled(), Form->PlayTest1->isEnabled(),
                                 Form->ExportTmx1->isEnabled(),     Form->ImportTmx1->isEnabled()};
    };
    const std::vector<bool> closed{false, true, false, false, false, false};
    EXPECT_EQ(enabled(), closed);
    OpenThroughMenu(WriteCartridge("stage.nes"));
    EXPECT_EQ(enabled(), std::vector<bool>(6, true));
    Form->Close1Click();
    EXPECT_EQ(enabled(), closed);
}

TEST_F(Sharing, PatchHoldsUnsavedEditsAndLeavesTheImageAlone) {
    StartWithImage();
    EditMapCell();
    const Bytes original = GeneratedImage();
    const Bytes edited = SavedNow();
    const QString title = Form->windowTitle();
    for (const char* name : {"hack.ips", "hack.bps"}) {
        SCOPED_TRACE(name);
        Prompts.Log.clear();
        Prompts.OpenFiles.push_back(ImagePath);
        Prompts.SaveFiles.push_back(QString::fromStdString(Dir.File(name)));
        Form->MakePatch1->trigger();
        EXPECT_EQ(Prompts.Log, (std::vector<std::string>{
                                   "open:ケストリン6 ROMイメージ (*.nes);;すべてのファイル (*)",
                                   "save:IPSパッチ (*.ips);;BPSパッチ (*.bps)|ips"}));
        const Bytes patch = ReadWholeFile(Dir.File(name));
        EXPECT_EQ(IpsPatch::HasMagic(patch), name == std::string("hack.ips"));
        const Applied applied = ApplyWith(PatchFiles::Apply, original, patch);
        ASSERT_TRUE(applied.Ok) << applied.Message;
        EXPECT_TRUE(applied.Patched == edited);
    }
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(0));
    EXPECT_EQ(Form->windowTitle(), title);
    EXPECT_TRUE(ReadWholeFile(ImagePath.toStdString()) == original);
}

TEST_F(Sharing, PatchedImageIsWrittenAndOpened) {
    WriteStartupFiles();
    StartForm();
    const QString original = WriteCartridge("original.nes");
    Bytes edited = GeneratedImage();
    const std::size_t cell = 0x40000;
    edited[cell] ^= 0xFF;
    WriteWholeFile(Dir.File("hack.bps"), BpsPatch::Create(GeneratedImage(), edited));
    const QString output = QString::fromStdString(Dir.File("patched.nes"));
    Prompts.OpenFiles = {original, QString::fromStdString(Dir.File("hack.bps"))};
    Prompts.SaveFiles = {output};
    Form->ApplyPatch1->trigger();
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{});
    EXPECT_TRUE(ReadWholeFile(output.toStdString()) == edited);
    EXPECT_EQ(Form->ImageHolder().FileName(), output.toStdString());
    EXPECT_TRUE(Form->ImageHolder().Buffer()[cell] == edited[cell]);
    EXPECT_FALSE(Form->Tracker().IsModified());
}

// The file the result replaces is kept first, as before a save: once per file and run.
TEST_F(Sharing, PatchedImageOverAnExistingFileKeepsARestorePoint) {
    WriteStartupFiles();
    StartForm();
    const QString original = WriteCartridge("original.nes");
    Bytes edited = GeneratedImage();
    edited[0x40000] ^= 0xFF;
    WriteWholeFile(Dir.File("hack.ips"), IpsPatch::Create(GeneratedImage(), edited));
    const std::string output = Dir.File("patched.nes");
    WriteTextFile(output, "before");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        Prompts.OpenFiles = {original, QString::fromStdString(Dir.File("hack.ips"))};
        Prompts.SaveFiles = {QString::fromStdString(output)};
        Form->ApplyPatch1->trigger();
        EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{});
        EXPECT_TRUE(ReadWholeFile(output) == edited);
        EXPECT_TRUE(ReadTextFile(output + ".bak") == "before");
    }
}

TEST_F(Sharing, UnsavedChangesAreAskedAboutBeforeThePatchedImageIsWritten) {
    StartWithImage();
    EditMapCell();
    Bytes edited = GeneratedImage();
    edited[0x40000] ^= 0xFF;
    WriteWholeFile(Dir.File("hack.ips"), IpsPatch::Create(GeneratedImage(), edited));
    const std::string output = Dir.File("patched.nes");
    Prompts.OpenFiles = {ImagePath, QString::fromStdString(Dir.File("hack.ips"))};
    Prompts.SaveFiles = {QString::fromStdString(output)};
    Prompts.YesNoCancelAnswers = {UserPrompts::Answer::Cancel};
    Form->ApplyPatch1->trigger();
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(Form->ImageHolder().FileName(), ImagePath.toStdString());
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(0));
}

TEST_F(Sharing, RefusedPatchesLeaveEverythingAsItWas) {
    StartWithImage();
    EditMapCell();
    Bytes edited = GeneratedImage();
    edited[0x40000] ^= 0xFF;
    Bytes badChecksum = BpsPatch::Create(GeneratedImage(), edited);
    badChecksum.back() ^= 1;
    Bytes otherOriginal = GeneratedImage();
    otherOriginal[0x100] ^= 1;
    Bytes notAnImage = GeneratedImage();
    notAnImage[0] = 'X';
    Bytes levelDataOutside = GeneratedImage();
    levelDataOutside[0x7DF35] = 0xFF; // stage 0's map bank lies far past the end
    struct Case {
        const char* What;
        Bytes Patch;
        std::string Message;
    } cases[] = {
        {"patch checksum", badChecksum, PatchMessages::PatchChecksumMismatch},
        {"another original", BpsPatch::Create(otherOriginal, edited),
         PatchMessages::SourceChecksumMismatch},
        {"truncated IPS", Bytes{'P', 'A', 'T', 'C', 'H', 0, 0}, PatchMessages::Truncated},
        {"result is no image", IpsPatch::Create(GeneratedImage(), notAnImage),
         RomImageData::BadHeaderMessage},
        {"result Open refuses", IpsPatch::Create(GeneratedImage(), levelDataOutside),
         LevelDataLayout::BadLayoutMessage},
    };
    // The file chosen for the result already exists: a refusal must not touch it.
    const std::string output = Dir.File("patched.nes");
    WriteTextFile(output, "kept");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Prompts.Log.clear();
        WriteWholeFile(Dir.File("hack.bin"), c.Patch);
        Prompts.OpenFiles = {ImagePath, QString::fromStdString(Dir.File("hack.bin"))};
        Prompts.SaveFiles = {QString::fromStdString(output)};
        Form->ApplyPatch1->trigger();
        EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{c.Message});
        EXPECT_TRUE(ReadTextFile(output) == "kept");
        EXPECT_FALSE(std::filesystem::exists(output + ".bak"));
        EXPECT_EQ(Form->ImageHolder().FileName(), ImagePath.toStdString());
        EXPECT_TRUE(Form->Tracker().IsMapSetModified(0));
    }
}

// Each 256 x 256 cell of the picture is what the map-set tab shows for that page; the pixel
// values are the sheet's colour numbers, the table the stage colours of the chosen set.
TEST_F(Sharing, MapPictureEqualsTheMapSetTabPageByPage) {
    StartWithImage();
    Form->CBStage->setCurrentIndex(3);
    EditMapCell();
    for (int set : {0, 1}) {
        SCOPED_TRACE(set);
        Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
        Form->CBSelectPaletteSet->setCurrentIndex(set);
        Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
        const QImage picture = ExportPicture(StagePicture::Kind::Map);
        ASSERT_EQ(picture.size(), QSize(2048, 1024));
        EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
        const PalettedImage& sheet = Form->Graphics().Chip32x32Sheet();
        const QVector<QRgb> table = picture.colorTable();
        ASSERT_LE(table.size(), 16);
        for (int i = 0; i < table.size(); ++i)
            EXPECT_EQ(ViewSurface::FromRgb32(table[i]) & 0xFFFFFF, sheet.GetColor(i)) << i;
        int wrong = 0;
        for (int page = 0; page < 32; ++page) {
            Form->ScrBarSelectPage0->setValue(page);
            const int left = (page % 8) * 256;
            const int top = (page / 8) * 256;
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x)
                    if ((ViewSurface::FromRgb32(picture.pixel(left + x, top + y)) & 0xFFFFFF) !=
                        ViewDriver::PixelOf(Form->ImgEditMapSetPage0, x, y))
                        ++wrong;
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(Sharing, ObjectMarksAreDrawnAsTheObjectTabDrawsThem) {
    StartWithImage();
    const StageData& stage = Form->ImageHolder().CurrentStageData();
    int page = 0;
    while (page < 31 && stage.ObjectsOfPage(page).empty())
        ++page;
    ASSERT_FALSE(stage.ObjectsOfPage(page).empty());
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    Form->ScrBarObjectMap->setValue(std::min(page, 30));
    const TImageEx* room = page <= 30 ? Form->ImgObjectMapPage0 : Form->ImgObjectMapPage1;

    const QImage picture = ExportPicture(StagePicture::Kind::Map, true);
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    const int left = (page % 8) * 256;
    const int top = (page / 8) * 256;
    int wrong = 0;
    int marked = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const std::uint32_t shown = ViewDriver::PixelOf(room, x, y);
            wrong += (ViewSurface::FromRgb32(picture.pixel(left + x, top + y)) & 0xFFFFFF) != shown;
            marked += shown == EditorGraphics::WhiteColor;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(marked, 0);
    // The stage colours keep their numbers; the marks' white comes after them.
    EXPECT_EQ(picture.colorTable().last() & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(Sharing, ChipSheetPicturesKeepTheSheetsColourNumbers) {
    StartWithImage();
    Form->CBStage->setCurrentIndex(5);
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    const struct {
        StagePicture::Kind Kind;
        const PalettedImage& Sheet;
    } cases[] = {{StagePicture::Kind::Chip16x16Sheet, Form->Graphics().Chip16x16Sheet()},
                 {StagePicture::Kind::Chip32x32Sheet, Form->Graphics().Chip32x32Sheet()}};
    for (const auto& c : cases) {
        const QImage picture = ExportPicture(c.Kind);
        ASSERT_EQ(picture.size(), QSize(c.Sheet.Width(), c.Sheet.Height()));
        ASSERT_EQ(picture.format(), QImage::Format_Indexed8);
        int wrong = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                wrong += picture.pixelIndex(x, y) != c.Sheet.PixelAt(x, y);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(Sharing, CancelledPictureDialogWritesNothing) {
    StartWithImage();
    Prompts.OnModal = [](QDialog* dialog) { dialog->reject(); };
    Form->ExportPicture1->trigger();
    EXPECT_EQ(Prompts.Log.back(), "modal:画像として書き出す");
}

} // namespace
