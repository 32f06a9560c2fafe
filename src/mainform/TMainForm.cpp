#include "mainform/TMainForm.h"

#include "edit_flag/EditFlagManagement.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "inifile/IniFile.h"
#include "mainform/BuiltInLists.h"
#include "mainform/ListFileReader.h"
#include "mainform/PaletteAnimationSettings.h"
#include "prompts/UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The file dialogs' filters, written as "description|pattern|description|pattern".
const char* const OpenFilter = "ケストリン6 ROMイメージ (*.nes)|*.nes|すべてのファイル (*.*)|*.*";
const char* const SaveFilter = "ケストリン6 ROMイメージ (*.nes)|*.nes";
const char* const SaveDefaultExtension = "nes";
const char* const SaveChangesQuestion = "への変更を保存しますか？";
const char* const SwitchToDestroyedCaption = "破壊後に切替";

// Qt takes the patterns from the descriptions: keep every other field.
QString QtFilterOf(const QString& filter) {
    const QStringList fields = filter.split('|');
    QStringList descriptions;
    for (qsizetype i = 0; i < fields.size(); i += 2)
        descriptions << fields[i];
    return descriptions.join(";;");
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TMainForm::TMainForm(const StartupOptions& options) : Options(options) {
    if (Options.Prompts) {
        PromptsInUse = Options.Prompts;
    } else {
        OwnPrompts = std::make_unique<QtUserPrompts>();
        PromptsInUse = OwnPrompts.get();
    }
    if (Options.ExecutableDir.isEmpty())
        Options.ExecutableDir = QCoreApplication::applicationDirPath();

    setWindowTitle(ApplicationTitle);
    CreateMenu();
    CreateStatusBar();
    CreatePages();

    std::string paletteMessage;
    MasterPalette = FcPaletteData::Create(Options.MasterPaletteName.toStdString(), paletteMessage);
    if (!MasterPalette) {
        StartupFailedFlag = true;
        ShowMessage(FromStd(paletteMessage));
        return;
    }
    EditFlags = std::make_unique<EditFlagManagement>(
        [this](const std::string& text) { StatusPanels[0]->setText(FromStd(text)); });
    Settings = std::make_unique<IniFile>(
        QDir(Options.ExecutableDir).filePath(SettingsFileName).toStdString());
    if (!Settings->LoadError().empty())
        ShowMessage(FromStd(Settings->LoadError()));
    ImageData = std::make_unique<RomImageData>(*EditFlags, *Settings);
    GraphicsEngine = std::make_unique<EditorGraphics>(*MasterPalette, ImageData->Buffer());
    GraphicsEngine->SetAnimationTables(PaletteAnimationSettings::Read(*Settings));
    ApplySettings();
    SetScrollBarMaxima();
    LoadListFile(CBSelectObject, ObjectListFileName);
    LoadListFile(CBSelectScroll, ScrollListFileName);
    CreateEditors();
}

TMainForm::~TMainForm() {
    // Controls still report events while the window tears them down (a view under the pointer
    // gets a leave); none of them may reach an editor that is already gone.
    for (QObject* control : findChildren<QObject*>())
        disconnect(control, nullptr, this, nullptr);
    DestroyEditors();
    ImageData.reset();
    EditFlags.reset();
    GraphicsEngine.reset();
    MasterPalette.reset();
}

void TMainForm::CreateMenu() {
    N1 = menuBar()->addMenu("ファイル(&F)");
    Open1 = N1->addAction("開く(&O)", QKeySequence::Open, this, &TMainForm::Open1Click);
    N1->addSeparator();
    Save1 = N1->addAction("上書き保存(&S)", QKeySequence::Save, this, &TMainForm::Save1Click);
    SaveAs1 =
        N1->addAction("名前を付けて保存(&A)", QKeySequence::SaveAs, this, &TMainForm::SaveAs1Click);
    N1->addSeparator();
    Close1 = N1->addAction("閉じる(&C)", QKeySequence::Close, this, &TMainForm::Close1Click);
    N1->addSeparator();
    Exit1 = N1->addAction("終了(&X)", QKeySequence::Quit, this, &QWidget::close);
    Save1->setEnabled(false);
    SaveAs1->setEnabled(false);
    Close1->setEnabled(false);
    CreateSharingMenuItems(SaveAs1);
}

void TMainForm::CreateStatusBar() {
    constexpr std::array<int, 3> widths = {100, 120, 50};
    for (std::size_t i = 0; i < StatusPanels.size(); ++i) {
        StatusPanels[i] = new QLabel(this);
        StatusPanels[i]->setFixedWidth(widths[i]);
        statusBar()->addWidget(StatusPanels[i]);
    }
}

void TMainForm::CreateStageSelector() {
    CBStage = new QComboBox;
    CBStage->setFixedWidth(177);
    CBStage->addItems(BuiltInLists::StageCaptions());
    connect(CBStage, &QComboBox::currentIndexChanged, this, &TMainForm::CBStageChange);
}

void TMainForm::CreatePages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    CreateStageSelector();
    layout->addWidget(CBStage, 0, Qt::AlignLeft);

    EditPageControl = new QTabWidget;
    TabMapSetEdit = new QWidget;
    Tab32x32ChipEdit = new QWidget;
    Tab16x16ChipEdit = new QWidget;
    TabPaletteEdit = new QWidget;
    TabObjectEdit = new QWidget;
    EditPageControl->addTab(TabMapSetEdit, "マップセット");
    EditPageControl->addTab(Tab32x32ChipEdit, "32x32チップ");
    EditPageControl->addTab(Tab16x16ChipEdit, "16x16チップ");
    EditPageControl->addTab(TabPaletteEdit, "パレット");
    EditPageControl->addTab(TabObjectEdit, "オブジェクト");
    EditPageControl->setCurrentWidget(Tab16x16ChipEdit);
    layout->addWidget(EditPageControl, 1);
    setCentralWidget(central);

    FrameTimer = new QTimer(this);
    FrameTimer->setInterval(DefaultTimerInterval);
    connect(FrameTimer, &QTimer::timeout, this, &TMainForm::FrameTimerTimer);

    CreateMapSetTab();
    Create32x32ChipTab();
    Create16x16ChipTab();
    CreatePaletteTab();
    CreateObjectTab();

    CBStage->setVisible(false);
    EditPageControl->setVisible(false);
    connect(EditPageControl, &QTabWidget::currentChanged, this, &TMainForm::EditPageControlChange);
}

void TMainForm::ApplySettings() {
    ApplyingSettingsFlag = true;
    ChkSortObjectList->setChecked(Settings->ReadBool("ObjectEdit", "Sort", true));
    ChkPopupHint->setChecked(Settings->ReadBool("ObjectEdit", "Popup", true));
    Chk32x32ChipEditDrawGrid->setChecked(Settings->ReadBool("32x32ChipEdit", "Grid", false));
    ChkMapSetEditDrawGrid->setChecked(Settings->ReadBool("MapSetEdit", "Grid", false));
    FrameTimer->setInterval(
        std::max(0, Settings->ReadInteger("Timer", "Interval", DefaultTimerInterval)));
    ApplyingSettingsFlag = false;
}

void TMainForm::SetScrollBarMaxima() {
    const std::pair<QScrollBar*, int> maxima[] = {
        {ScrBarObjectMap, 30},   {ScrBarMapSet, 30},   {ScrBarSelectPage0, 31},
        {ScrBarSelectPage1, 31}, {ScrBarBGBank0, 254}, {ScrBarBGBank1, 254},
    };
    for (const auto& [bar, maximum] : maxima) {
        const QSignalBlocker blocker(bar);
        bar->setRange(0, maximum);
    }
}

void TMainForm::LoadListFile(QComboBox* comboBox, const QString& name) {
    const ListFileReader::Result list =
        ListFileReader::Read(QDir(Options.ExecutableDir).filePath(name));
    if (!list.Ok) {
        ShowMessage(name + "を読み込めませんでした。");
        return;
    }
    const QSignalBlocker blocker(comboBox);
    comboBox->clear();
    comboBox->addItems(list.Lines);
}

void TMainForm::SaveSettings() {
    Settings->WriteBool("ObjectEdit", "Sort", ChkSortObjectList->isChecked());
    Settings->WriteBool("ObjectEdit", "Popup", ChkPopupHint->isChecked());
    Settings->WriteBool("32x32ChipEdit", "Grid", Chk32x32ChipEditDrawGrid->isChecked());
    Settings->WriteBool("MapSetEdit", "Grid", ChkMapSetEditDrawGrid->isChecked());
    Settings->WriteInteger("Timer", "Interval", FrameTimer->interval());
    const std::string error = Settings->Flush();
    if (!error.empty())
        ShowMessage(FromStd(error));
}

// --- File commands ---

QString TMainForm::OpenDialogFilter() {
    return QtFilterOf(OpenFilter);
}

QString TMainForm::SaveDialogFilter() {
    return QtFilterOf(SaveFilter);
}

void TMainForm::Open1Click() {
    const QString path = Prompts().ChooseOpenFile(this, QtFilterOf(OpenFilter));
    if (path.isEmpty())
        return;
    OpenChosenFile(path);
}

void TMainForm::OpenChosenFile(const QString& path) {
    if (EditFlags->IsModified() && !AskSaveChanges())
        return;
    OpenImage(path);
}

void TMainForm::OpenImage(const QString& path) {
    const RomImageData::Outcome outcome = ImageData->LoadFromFile(path.toStdString());
    if (!outcome.Ok) {
        ShowMessage(FromStd(outcome.Message));
        return;
    }
    EditFlags->ClearAll();
    ShowOpenedState();
}

void TMainForm::Save1Click() {
    SaveImageAs(FromStd(ImageData->FileName()));
}

void TMainForm::SaveAs1Click() {
    const QString path =
        Prompts().ChooseSaveFile(this, QtFilterOf(SaveFilter), SaveDefaultExtension);
    if (path.isEmpty())
        return;
    if (SaveImageAs(path))
        SetWindowTitle(QString(ApplicationTitle) + TitleSeparator + path);
}

void TMainForm::Close1Click() {
    if (EditFlags->IsModified() && !AskSaveChanges())
        return;
    ImageData->CloseImage();
    EditFlags->ClearAll();
    ShowClosedState();
}

bool TMainForm::SaveImageAs(const QString& path) {
    const RomImageData::Outcome outcome = ImageData->SaveToFile(path.toStdString());
    if (!outcome.Ok)
        ShowMessage(FromStd(outcome.Message));
    return outcome.Ok;
}

// True when the command that asked may go on.
bool TMainForm::AskSaveChanges() {
    const QString question = FromStd(ImageData->FileName()) + SaveChangesQuestion;
    switch (Prompts().AskYesNoCancel(this, ApplicationTitle, question)) {
    case UserPrompts::Answer::Yes: {
        const QString path =
            Prompts().ChooseSaveFile(this, QtFilterOf(SaveFilter), SaveDefaultExtension);
        return !path.isEmpty() && SaveImageAs(path);
    }
    case UserPrompts::Answer::No:
        return true;
    case UserPrompts::Answer::Cancel:
        break;
    }
    return false;
}

void TMainForm::ShowOpenedState() {
    SetWindowTitle(QString(ApplicationTitle) + TitleSeparator + FromStd(ImageData->FileName()));
    {
        const QSignalBlocker blocker(CBStage);
        CBStage->setCurrentIndex(0);
    }
    CBStage->setVisible(true);
    ImageData->SetCurrentStage(CBStage->currentIndex());
    EditPageControl->setVisible(true);
    Save1->setEnabled(true);
    SaveAs1->setEnabled(true);
    Close1->setEnabled(true);
    ShowSharingState(true);
    BtnSwitch16X16ChipSet->setText(SwitchToDestroyedCaption);
    LoadStageIntoEditors();
    GraphicsEngine->ResetPaletteAnimation();
    FrameTimer->start();
}

void TMainForm::ShowClosedState() {
    SetWindowTitle(ApplicationTitle);
    CBStage->setVisible(false);
    EditPageControl->setVisible(false);
    Save1->setEnabled(false);
    SaveAs1->setEnabled(false);
    Close1->setEnabled(false);
    ShowSharingState(false);
}

void TMainForm::SetWindowTitle(const QString& text) {
    setWindowTitle(text);
}

void TMainForm::ShowMessage(const QString& text) {
    Prompts().ShowMessage(this, text);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (StartupFailedFlag) {
        event->accept();
        return;
    }
    if (EditFlags->IsModified() && !AskSaveChanges()) {
        event->ignore();
        return;
    }
    // A settings file that cannot be written is reported, but never keeps the user from
    // quitting.
    SaveSettings();
    event->accept();
}

// --- Stage selection, tabs and the frame timer ---

void TMainForm::CBStageChange(int index) {
    if (index < 0)
        return;
    FrameTimer->stop();
    ImageData->SetCurrentStage(index);
    LoadStageIntoEditors();
    GraphicsEngine->ResetPaletteAnimation();
    FrameTimer->start();
}

void TMainForm::EditPageControlChange(int index) {
    const QWidget* page = EditPageControl->widget(index);
    if (!ImageData || !ImageData->HasStages())
        return;
    if (page == TabPaletteEdit) {
        ActivatePaletteTab();
    } else if (page == Tab16x16ChipEdit) {
        Activate16x16ChipTab();
    } else if (page == Tab32x32ChipEdit) {
        RefreshChipSheets();
        Activate32x32ChipTab();
    } else if (page == TabMapSetEdit) {
        RefreshChipSheets();
        ActivateMapSetTab();
    } else if (page == TabObjectEdit) {
        RefreshChipSheets();
        ActivateObjectTab();
    }
}

void TMainForm::FrameTimerTimer() {
    if (StepPaletteAnimationTick())
        RedrawActiveTab();
}

void TMainForm::RedrawActiveTab() {
    const QWidget* page = EditPageControl->currentWidget();
    if (page == TabPaletteEdit)
        RedrawPaletteTab();
    else if (page == Tab16x16ChipEdit)
        Redraw16x16ChipTab();
    else if (page == Tab32x32ChipEdit)
        Redraw32x32ChipTab();
    else if (page == TabMapSetEdit)
        RedrawMapSetTab();
    else if (page == TabObjectEdit)
        RedrawObjectTab();
}

// --- The editors, in their fixed order ---

void TMainForm::CreateEditors() {
    CreatePaletteEditor();
    Create16x16ChipEditor();
    Create32x32ChipEditor();
    CreateMapSetEditor();
    CreateObjectEditor();
}

void TMainForm::DestroyEditors() {
    DestroyObjectEditor();
    DestroyMapSetEditor();
    Destroy32x32ChipEditor();
    Destroy16x16ChipEditor();
    DestroyPaletteEditor();
}

void TMainForm::LoadStageIntoEditors() {
    LoadPaletteStage();
    Load16x16ChipStage();
    Load32x32ChipStage();
    LoadMapSetStage();
    LoadObjectStage();
}

void TMainForm::RefreshChipSheets() {
    Refresh16x16ChipSheet();
    Refresh32x32ChipSheet();
}
