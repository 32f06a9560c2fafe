// The commands that let the work leave the editor without the whole image: a patch from an
// original to the image as it would be saved now, an image made from an original and a patch,
// and pictures of the current stage.
#include "mainform/TMainForm.h"

#include "atomicfile/AtomicFileWriter.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "document/TmxMap.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RestorePoint.h"
#include "fileio/RomImageData.h"
#include "graphics/StagePicture.h"
#include "inifile/IniFile.h"
#include "mainform/TExportPictureDialog.h"
#include "patch/PatchFiles.h"
#include "prompts/UserPrompts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

namespace {

const char* const PatchSaveFilters =
    QT_TRANSLATE_NOOP("TMainForm", "IPSパッチ (*.ips);;BPSパッチ (*.bps)");
const char* const PatchOpenFilters = QT_TRANSLATE_NOOP(
    "TMainForm",
    "パッチ (*.ips *.bps);;IPSパッチ (*.ips);;BPSパッチ (*.bps);;すべてのファイル (*)");
const char* const PictureFilter = QT_TRANSLATE_NOOP("TMainForm", "PNG画像 (*.png)");
const char* const PictureDefaultExtension = "png";
const char* const TmxFilter = QT_TRANSLATE_NOOP("TMainForm", "Tiledマップ (*.tmx)");
const char* const TmxDefaultExtension = "tmx";

QString Tr(const char* source) {
    return QCoreApplication::translate("TMainForm", source);
}

// Empty on success, else the message to show.
QString WriteFile(const QString& path, const std::uint8_t* data, std::size_t size) {
    return DisplayText::Of(AtomicFileWriter::Write(path.toStdString(), data, size).Message);
}

} // namespace

// The items go right after the given one.
void TMainForm::CreateSharingMenuItems(QAction* after) {
    const QList<QAction*> items = N1->actions();
    const qsizetype next = items.indexOf(after) + 1;
    QAction* before = next > 0 && next < items.size() ? items[next] : nullptr;
    MakePatch1 = Captions.Set(new QAction(this), QT_TR_NOOP("パッチを作成(&P)..."));
    ApplyPatch1 = Captions.Set(new QAction(this), QT_TR_NOOP("パッチを当てて開く(&T)..."));
    ExportPicture1 = Captions.Set(new QAction(this), QT_TR_NOOP("画像として書き出す(&E)..."));
    PlayTest1 = Captions.Set(new QAction(this), QT_TR_NOOP("テストプレイ(&T)"));
    PlayTest1->setShortcut(QKeySequence(Qt::Key_F5));
    ExportTmx1 = Captions.Set(new QAction(this), QT_TR_NOOP("TMX形式で書き出す(&M)..."));
    ImportTmx1 = Captions.Set(new QAction(this), QT_TR_NOOP("TMX形式から読み込む(&L)..."));
    N1->insertActions(before,
                      {MakePatch1, ApplyPatch1, ExportPicture1, PlayTest1, ExportTmx1, ImportTmx1});
    connect(MakePatch1, &QAction::triggered, this, &TMainForm::MakePatch1Click);
    connect(ApplyPatch1, &QAction::triggered, this, &TMainForm::ApplyPatch1Click);
    connect(ExportPicture1, &QAction::triggered, this, &TMainForm::ExportPicture1Click);
    connect(PlayTest1, &QAction::triggered, this, &TMainForm::PlayTest1Click);
    connect(ExportTmx1, &QAction::triggered, this, &TMainForm::ExportTmx1Click);
    connect(ImportTmx1, &QAction::triggered, this, &TMainForm::ImportTmx1Click);
    ShowSharingState(false);
}

void TMainForm::ShowSharingState(bool imageOpen) {
    MakePatch1->setEnabled(imageOpen);
    ExportPicture1->setEnabled(imageOpen);
    PlayTest1->setEnabled(imageOpen);
    ExportTmx1->setEnabled(imageOpen);
    ImportTmx1->setEnabled(imageOpen);
}

void TMainForm::MakePatch1Click() {
    const QString originalPath = Prompts().ChooseOpenFile(this, OpenDialogFilter());
    if (originalPath.isEmpty())
        return;
    const QString patchPath = Prompts().ChooseSaveFileWithFilters(this, Tr(PatchSaveFilters));
    if (patchPath.isEmpty())
        return;
    std::vector<std::uint8_t> original;
    const Outcome read = PatchFiles::ReadFile(originalPath.toStdString(), original);
    if (!read.Ok) {
        ShowMessage(DisplayText::Of(read.Message));
        return;
    }
    // The image as a save would write it now; the open image and its flags stay as they are.
    std::vector<std::uint8_t> edited;
    const Outcome composed = Document->Image().ComposeSavedImage(edited);
    if (!composed.Ok) {
        ShowMessage(DisplayText::Of(composed.Message));
        return;
    }
    const auto format =
        PatchFiles::FormatOfName(patchPath.toStdString()).value_or(PatchFiles::Format::Ips);
    const std::vector<std::uint8_t> patch = PatchFiles::Create(format, original, edited);
    const QString error = WriteFile(patchPath, patch.data(), patch.size());
    if (!error.isEmpty())
        ShowMessage(error);
}

void TMainForm::ApplyPatch1Click() {
    const QString originalPath = Prompts().ChooseOpenFile(this, OpenDialogFilter());
    if (originalPath.isEmpty())
        return;
    const QString patchPath = Prompts().ChooseOpenFile(this, Tr(PatchOpenFilters));
    if (patchPath.isEmpty())
        return;
    const QString imagePath =
        Prompts().ChooseSaveFile(this, SaveDialogFilter(), SaveDialogDefaultExtension);
    if (imagePath.isEmpty())
        return;

    std::vector<std::uint8_t> original;
    std::vector<std::uint8_t> patch;
    for (const auto& [path, bytes] :
         {std::pair{originalPath, &original}, std::pair{patchPath, &patch}}) {
        const Outcome read = PatchFiles::ReadFile(path.toStdString(), *bytes);
        if (!read.Ok) {
            ShowMessage(DisplayText::Of(read.Message));
            return;
        }
    }
    std::vector<std::uint8_t> patched;
    const Outcome applied = PatchFiles::Apply(original, patch, patched);
    if (!applied.Ok) {
        ShowMessage(DisplayText::Of(applied.Message));
        return;
    }
    // What Open would refuse is not written: the chosen file stays as it is.
    const Outcome openable = RomImageData::CheckImage(patched, *Settings);
    if (!openable.Ok) {
        ShowMessage(DisplayText::Of(openable.Message));
        return;
    }
    if (Document->IsModified() && !AskSaveChanges())
        return;
    // The file replaced is kept first, as before a save; if that fails, the write still goes on.
    const Outcome kept = RestorePoints->KeepBeforeSave(imagePath.toStdString());
    if (!kept.Ok)
        ShowMessage(DisplayText::Of(kept.Message));
    const QString error = WriteFile(imagePath, patched.data(), patched.size());
    if (!error.isEmpty()) {
        ShowMessage(error);
        return;
    }
    OpenImage(imagePath);
}

void TMainForm::ExportPicture1Click() {
    TExportPictureDialog dialog(this);
    Prompts().ShowModal(&dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    const QString path = Prompts().ChooseSaveFile(this, Tr(PictureFilter), PictureDefaultExtension);
    if (path.isEmpty())
        return;
    StagePicture::Options options;
    options.What = dialog.ChosenKind();
    options.Stage = Document->Image().CurrentStage();
    options.PaletteSet = std::clamp(CBSelectPaletteSet->currentIndex(), 0, 1);
    options.Objects = dialog.WithObjects();
    options.ExtraPatternEntry = ScrBarSelectScrollIndex->value();
    const QByteArray png =
        StagePicture::EncodePng(StagePicture::Render(*MasterPalette, Document->Image(), options));
    if (png.isEmpty()) {
        ShowMessage(QCoreApplication::translate("StagePicture", StagePicture::WriteFailedMessage));
        return;
    }
    const QString error = WriteFile(path, reinterpret_cast<const std::uint8_t*>(png.constData()),
                                    static_cast<std::size_t>(png.size()));
    if (!error.isEmpty())
        ShowMessage(error);
}

void TMainForm::ExportTmx1Click() {
    const QString path = Prompts().ChooseSaveFile(this, Tr(TmxFilter), TmxDefaultExtension);
    if (path.isEmpty())
        return;
    // The tileset's picture first: a map whose picture is missing would show nothing in Tiled.
    StagePicture::Options options;
    options.What = StagePicture::Kind::Chip32x32Sheet;
    options.Stage = Document->Image().CurrentStage();
    options.PaletteSet = std::clamp(CBSelectPaletteSet->currentIndex(), 0, 1);
    const QByteArray png =
        StagePicture::EncodePng(StagePicture::Render(*MasterPalette, Document->Image(), options));
    if (png.isEmpty()) {
        ShowMessage(QCoreApplication::translate("StagePicture", StagePicture::WriteFailedMessage));
        return;
    }
    const QString sheetPath = TmxMap::SheetPathFor(path);
    QString error = WriteFile(sheetPath, reinterpret_cast<const std::uint8_t*>(png.constData()),
                              static_cast<std::size_t>(png.size()));
    if (error.isEmpty()) {
        const QByteArray tmx =
            TmxMap::Write(Document->Image().CurrentStageData().MapSetTable,
                          QFileInfo(sheetPath).fileName(), QFileInfo(path).completeBaseName());
        error = WriteFile(path, reinterpret_cast<const std::uint8_t*>(tmx.constData()),
                          static_cast<std::size_t>(tmx.size()));
    }
    if (!error.isEmpty())
        ShowMessage(error);
}

void TMainForm::ImportTmx1Click() {
    const QString path = Prompts().ChooseOpenFile(this, Tr(TmxFilter));
    if (path.isEmpty())
        return;
    TmxMap::MapSet mapSet{};
    const Outcome read = TmxMap::ReadFile(path, mapSet);
    if (!read.Ok) {
        ShowMessage(DisplayText::Of(read.Message));
        return;
    }
    const int stage = Document->Image().CurrentStage();
    Document->Apply(
        TmxMap::ImportChanges(stage, Document->Image().CurrentStageData().MapSetTable, mapSet),
        TmxMap::ImportCaption);
}
