#include "mainform/TMainForm.h"

#include "16x16chipedit/Chip16x16EditClass.h"
#include "32x32chipedit/Chip32x32EditClass.h"
#include "ImageEx/TImageEx.h"
#include "atomicfile/SaveJournal.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "edit_flag/EditFlagManagement.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RestorePoint.h"
#include "fileio/RomImageData.h"
#include "fileio/SettingsFileLocation.h"
#include "fileio/SupportFiles.h"
#include "graphics/EditorGraphics.h"
#include "history/EditHistory.h"
#include "history/StageArrays.h"
#include "inifile/IniFile.h"
#include "mainform/BuiltInLists.h"
#include "mainform/DroppedImage.h"
#include "mainform/ListFileReader.h"
#include "mainform/PaletteAnimationSettings.h"
#include "mainform/RecentFilesMenu.h"
#include "mainform/TabScrollArea.h"
#include "mapsetedit/MapSetEditClass.h"
#include "objectedit/ObjectEditClass.h"
#include "paletteedit/PaletteEditClass.h"
#include "prompts/UserPrompts.h"
#include "showUnusedChipNumForm/TShowUnusedChipNumForm.h"
#include "stageOverviewForm/TStageOverviewForm.h"
#include "translation/Translations.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QUndoView>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <tuple>

namespace {

// The file dialogs' filters, written as "description|pattern|description|pattern".
// "*" and not "*.*": on Linux many files have no dot in their names.
const char* const OpenFilter =
    QT_TRANSLATE_NOOP("TMainForm", "ケストリン6 ROMイメージ (*.nes)|*.nes|すべてのファイル (*)|*");
const char* const SaveFilter =
    QT_TRANSLATE_NOOP("TMainForm", "ケストリン6 ROMイメージ (*.nes)|*.nes");
const char* const SaveDefaultExtension = "nes";
// %1: the image's path.
const char* const SaveChangesQuestion =
    QT_TRANSLATE_NOOP("TMainForm", "%1への変更を保存しますか？");
// %1: the bare name of a list file or recent image that cannot be read.
const char* const CannotReadMessage = QT_TRANSLATE_NOOP("TMainForm", "%1を読み込めませんでした。");
// %1: the bare name of an image whose last save was cut short while it was rewritten.
const char* const InterruptedSaveQuestion = QT_TRANSLATE_NOOP(
    "TMainForm",
    "%1の前回の保存は中断されました。保存を完了しますか？（「いいえ」で中断した保存を破棄します）");
// %1: the bare name of the image, %2: the journal's full path.
const char* const DamagedJournalQuestion = QT_TRANSLATE_NOOP(
    "TMainForm", "%1の中断した保存の記録が壊れているため、使えません：%2この記録を削除しますか？");
const char* const PaletteFilter =
    QT_TRANSLATE_NOOP("TMainForm", "パレットファイル (*.pal)|*.pal|すべてのファイル (*)|*");

// The edit menu's undo and redo, bare or with the step's name (%1): "元に戻す(&U)",
// "元に戻す マップチップの配置(&U)".
struct EditCaptions {
    const char* Bare;
    const char* WithStep;
};
const EditCaptions UndoCaptions{QT_TRANSLATE_NOOP("TMainForm", "元に戻す(&U)"),
                                QT_TRANSLATE_NOOP("TMainForm", "元に戻す %1(&U)")};
const EditCaptions RedoCaptions{QT_TRANSLATE_NOOP("TMainForm", "やり直し(&R)"),
                                QT_TRANSLATE_NOOP("TMainForm", "やり直し %1(&R)")};
const char* const HistoryTitle = QT_TRANSLATE_NOOP("TMainForm", "履歴");
const char* const HistoryEmptyLabel = QT_TRANSLATE_NOOP("TMainForm", "<開いたときの状態>");

QString Tr(const char* source) {
    return QCoreApplication::translate("TMainForm", source);
}

QString EditCaption(const EditCaptions& captions, const QString& step) {
    return step.isEmpty() ? Tr(captions.Bare) : Tr(captions.WithStep).arg(step);
}

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

// The platform's keys for a standard command, or the usual desktop keys where the platform
// defines none (some define no Save As or Quit keys).
QList<QKeySequence> StandardShortcuts(QKeySequence::StandardKey key, const char* usual) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty())
        keys << QKeySequence(usual);
    return keys;
}

} // namespace

// The command line finds the window's settings and restore points through these names.
static_assert(std::string_view(TMainForm::ApplicationTitle) ==
              SettingsFileLocation::ApplicationName);
static_assert(std::string_view(TMainForm::RestoreFolderName) == RestorePoint::FallbackFolderName);

TMainForm::TMainForm(const StartupOptions& options) : Options(options) {
    if (Options.Prompts) {
        PromptsInUse = Options.Prompts;
    } else {
        OwnPrompts = std::make_unique<QtUserPrompts>();
        PromptsInUse = OwnPrompts.get();
    }
    if (Options.ExecutableDir.isEmpty())
        Options.ExecutableDir = QCoreApplication::applicationDirPath();
    if (Options.ConfigDir.isEmpty())
        Options.ConfigDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (Options.AppDataDir.isEmpty())
        Options.AppDataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (Options.DataDir.isEmpty())
        Options.DataDir = FromStd(SupportFiles::DataFolder(Options.ExecutableDir.toStdString()));

    setWindowTitle(ApplicationTitle);
    setAcceptDrops(true);
    CreateMenu();
    CreateStatusBar();

    Settings = std::make_unique<IniFile>(SettingsFileLocation::Choose(
        Options.ExecutableDir.toStdString(), Options.ConfigDir.toStdString()));
    if (!LoadMasterPalette()) {
        StartupFailedFlag = true;
        return;
    }
    if (!Settings->LoadResult().Ok)
        ShowMessage(DisplayText::Of(Settings->LoadResult().Message));
    Document = std::make_unique<LevelDocument>(*Settings, [this](const std::string& text) {
        StatusText = text;
        StatusPanels[0]->setText(DisplayText::Of(text));
    });
    GraphicsEngine = std::make_unique<EditorGraphics>(*MasterPalette, Document->Image().Buffer());
    const PaletteAnimationTables animation = PaletteAnimationSettings::Read(*Settings);
    AnimationConfigured = animation.Complete();
    GraphicsEngine->SetAnimationTables(animation);
    Document->SetJournalFolder(Options.AppDataDir.toStdString());
    const QString restoreFallback = Options.AppDataDir.isEmpty()
                                        ? QString()
                                        : QDir(Options.AppDataDir).filePath(RestoreFolderName);
    RestorePoints = std::make_unique<RestorePoint>(
        Settings->ReadBool(RestorePoint::SettingsSection, RestorePoint::SettingsKey, true),
        restoreFallback.toStdString());
    Recent.Load(*Settings);
    RecentFiles1->SetPaths(Recent.Paths());
    ChooseLanguage(FromStd(Settings->ReadString(ViewSection, LanguageKey, Translations::Japanese)));
    // Read now, so that their messages come before the window shows.
    ObjectListLines = LoadListFile(ObjectListFileName);
    ScrollListLines = LoadListFile(ScrollListFileName);
    ConnectHistory();
    if (!Options.BuildPagesAfterFirstFrame)
        EnsurePages();
}

// The tabs' controls, the stored settings applied to them, and the editors bound to them.
void TMainForm::EnsurePages() {
    if (PagesBuiltFlag || StartupFailedFlag)
        return;
    PagesBuiltFlag = true;
    CreatePages();
    ApplySettings();
    SetScrollBarMaxima();
    FillListBoxes();
    CreateEditors();
}

// The first expose of the window paints its first frame; the pages are made by an event of
// low priority posted then, so that the frame (and anything else already waiting) goes first.
void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!PagesBuiltFlag && windowHandle() != nullptr)
        windowHandle()->installEventFilter(this);
    // The overview the settings left shown comes back with the window.
    if (PagesBuiltFlag && StageOverview1->isChecked() &&
        (StageOverviewForm == nullptr || !StageOverviewForm->isVisible()))
        ShowStageOverview(true);
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == BuildPagesEvent()) {
        EnsurePages();
        return true;
    }
    return QMainWindow::event(event);
}

QEvent::Type TMainForm::BuildPagesEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TMainForm::~TMainForm() {
    // Controls still report events while the window tears them down (a view under the pointer
    // gets a leave); none of them may reach an editor that is already gone.
    // The editors go first (they are declared last), then what they refer to.
    for (QObject* control : findChildren<QObject*>())
        disconnect(control, nullptr, this, nullptr);
}

void TMainForm::CreateMenu() {
    N1 = Captions.Set(menuBar()->addMenu(QString()), QT_TR_NOOP("ファイル(&F)"));
    Open1 = Captions.Set(N1->addAction(QString(), this, &TMainForm::Open1Click),
                         QT_TR_NOOP("開く(&O)"));
    RecentFiles1 = new RecentFilesMenu(this);
    N1->addMenu(RecentFiles1);
    connect(RecentFiles1, &RecentFilesMenu::FileChosen, this, &TMainForm::OpenRecentFile);
    N1->addSeparator();
    Save1 = Captions.Set(N1->addAction(QString(), this, &TMainForm::Save1Click),
                         QT_TR_NOOP("上書き保存(&S)"));
    SaveAs1 = Captions.Set(N1->addAction(QString(), this, &TMainForm::SaveAs1Click),
                           QT_TR_NOOP("名前を付けて保存(&A)"));
    N1->addSeparator();
    OpenMasterPalette1 =
        Captions.Set(N1->addAction(QString(), this, &TMainForm::OpenMasterPalette1Click),
                     QT_TR_NOOP("マスターパレットを開く(&M)..."));
    N1->addSeparator();
    Close1 = Captions.Set(N1->addAction(QString(), this, &TMainForm::Close1Click),
                          QT_TR_NOOP("閉じる(&C)"));
    N1->addSeparator();
    Exit1 = Captions.Set(N1->addAction(QString(), this, &QWidget::close), QT_TR_NOOP("終了(&X)"));
    Open1->setShortcuts(StandardShortcuts(QKeySequence::Open, "Ctrl+O"));
    Save1->setShortcuts(StandardShortcuts(QKeySequence::Save, "Ctrl+S"));
    SaveAs1->setShortcuts(StandardShortcuts(QKeySequence::SaveAs, "Ctrl+Shift+S"));
    Close1->setShortcuts(StandardShortcuts(QKeySequence::Close, "Ctrl+W"));
    Exit1->setShortcuts(StandardShortcuts(QKeySequence::Quit, "Ctrl+Q"));
    Save1->setEnabled(false);
    SaveAs1->setEnabled(false);
    Close1->setEnabled(false);
    CreateSharingMenuItems(SaveAs1);
    CreateEditMenu();
    CreateViewMenu();
}

// The view menu: how the views are shown, never what the image holds.
void TMainForm::CreateViewMenu() {
    ViewMenu = Captions.Set(menuBar()->addMenu(QString()), QT_TR_NOOP("表示(&V)"));
    CreateZoomMenuItems();
    CreateOverviewMenuItem();
    CreateLanguageMenu();
}

QLabel* TMainForm::NewUseCountLabel(const QString& caption) {
    auto* label = new QLabel(caption + "0");
    // 2048 map cells in a stage: no count has more than four digits.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(caption + "8888"));
    return label;
}

// Each language's item is captioned in its own language, whichever is shown.
void TMainForm::CreateLanguageMenu() {
    ViewMenu->addSeparator();
    LanguageMenu = Captions.Set(ViewMenu->addMenu(QString()), QT_TR_NOOP("言語(&L)"));
    auto* group = new QActionGroup(LanguageMenu);
    LanguageJapanese = LanguageMenu->addAction(QStringLiteral("日本語"));
    LanguageEnglish = LanguageMenu->addAction(QStringLiteral("English"));
    const std::pair<QAction*, const char*> items[] = {{LanguageJapanese, Translations::Japanese},
                                                      {LanguageEnglish, Translations::English}};
    for (const auto& [item, language] : items) {
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, language = QString(language)] { ChooseLanguage(language); });
    }
    LanguageJapanese->setChecked(true);
}

void TMainForm::ChooseLanguage(const QString& language) {
    Translations::Install(language);
    const bool english = Translations::Current() == Translations::English;
    LanguageEnglish->setChecked(english);
    LanguageJapanese->setChecked(!english);
    RetranslateUi();
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && Translations::Current() != ShownLanguage)
        RetranslateUi();
}

void TMainForm::RetranslateUi() {
    ShownLanguage = Translations::Current();
    Captions.Reapply();
    RetranslateComposedCaptions();
}

void TMainForm::RetranslateComposedCaptions() {
    RecentFiles1->RetranslateUi();
    StatusPanels[0]->setText(DisplayText::Of(StatusText));
    if (Document) {
        Undo1->setText(EditCaption(UndoCaptions, Document->Stack().undoText()));
        Redo1->setText(EditCaption(RedoCaptions, Document->Stack().redoText()));
    }
    if (HistoryView != nullptr) {
        HistoryView->setWindowTitle(Tr(HistoryTitle));
        HistoryView->setEmptyLabel(Tr(HistoryEmptyLabel));
    }
    if (!PagesBuiltFlag)
        return;
    // The built-in lists only: the lines of the user's list files are shown as they are.
    const std::tuple<QComboBox*, QStringList, bool> boxes[] = {
        {CBStage, BuiltInLists::StageCaptions(), true},
        {CBSelectObject, BuiltInLists::ObjectCaptions(), !ObjectListLines.has_value()},
        {CBSelectScroll, BuiltInLists::ScrollCaptions(), !ScrollListLines.has_value()}};
    for (const auto& [box, captions, builtIn] : boxes) {
        if (!builtIn)
            continue;
        const QSignalBlocker blocker(box);
        for (int i = 0; i < std::min(box->count(), static_cast<int>(captions.size())); ++i)
            box->setItemText(i, captions[i]);
    }
}

void TMainForm::CreateEditMenu() {
    EditMenu = Captions.Set(menuBar()->addMenu(QString()), QT_TR_NOOP("編集(&E)"));
    Undo1 = EditMenu->addAction(EditCaption(UndoCaptions, {}), this, &TMainForm::Undo1Click);
    Undo1->setShortcut(QKeySequence::Undo);
    Redo1 = EditMenu->addAction(EditCaption(RedoCaptions, {}), this, &TMainForm::Redo1Click);
    Redo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    EditMenu->addSeparator();
    History1 = Captions.Set(EditMenu->addAction(QString(), this, &TMainForm::History1Click),
                            QT_TR_NOOP("履歴(&H)..."));
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
    CreateClipboardMenuItems();
}

// The menu follows the history: enabled when there is a step, captioned with its name. An undo
// or redo elsewhere first shows the step's stage and tab.
void TMainForm::ConnectHistory() {
    QUndoStack& stack = Document->Stack();
    connect(&stack, &QUndoStack::canUndoChanged, Undo1, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, Redo1, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, this,
            [this](const QString& step) { Undo1->setText(EditCaption(UndoCaptions, step)); });
    connect(&stack, &QUndoStack::redoTextChanged, this,
            [this](const QString& step) { Redo1->setText(EditCaption(RedoCaptions, step)); });
    connect(Document.get(), &LevelDocument::PlaceRequested, this, &TMainForm::ShowStepPlace);
    // A palette edit may start or stop an animation.
    connect(Document.get(), &LevelDocument::BytesWritten, this, [this](const ByteNotice& notice) {
        const auto palette = [](const ByteChange& change) {
            return change.Array == EditorArray::StagePalette ||
                   change.Array == EditorArray::AnimePalette;
        };
        if (std::any_of(notice.Changes.begin(), notice.Changes.end(), palette))
            RestartFrameTimer();
    });
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
    const std::pair<QWidget*, const char*> tabs[] = {{TabMapSetEdit, QT_TR_NOOP("マップセット")},
                                                     {Tab32x32ChipEdit, QT_TR_NOOP("32x32チップ")},
                                                     {Tab16x16ChipEdit, QT_TR_NOOP("16x16チップ")},
                                                     {TabPaletteEdit, QT_TR_NOOP("パレット")},
                                                     {TabObjectEdit, QT_TR_NOOP("オブジェクト")}};
    for (const auto& [page, caption] : tabs) {
        EditPageControl->addTab(page, QString());
        Captions.Add([this, page, caption] {
            EditPageControl->setTabText(EditPageControl->indexOf(page),
                                        Captions.Translate(caption));
        });
    }
    EditPageControl->setCurrentWidget(Tab16x16ChipEdit);
    layout->addWidget(EditPageControl, 1);
    setCentralWidget(central);
    EditPageControl->installEventFilter(this);

    FrameTimer = new QTimer(this);
    FrameTimer->setInterval(DefaultTimerInterval);
    connect(FrameTimer, &QTimer::timeout, this, &TMainForm::FrameTimerElapsed);

    CreateMapSetTab();
    Create32x32ChipTab();
    Create16x16ChipTab();
    CreatePaletteTab();
    CreateObjectTab();
    for (const TabScrollArea* area : TabScrollAreas)
        UnzoomedTabMinimums.push_back(area->widget()->minimumSizeHint());
    for (TImageEx* view : ZoomingViews())
        connect(view, &TImageEx::zoomStepRequested, this,
                [this](int step) { SetZoom(ZoomLevel + step); });

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
    ChkPaletteSave->setChecked(Settings->ReadBool("PaletteEdit", "Save", true));
    // A zero interval would tick without pause: below 1 ms the default applies.
    StoredTimerInterval = Settings->ReadInteger("Timer", "Interval", DefaultTimerInterval);
    TickInterval = StoredTimerInterval < 1 ? DefaultTimerInterval : StoredTimerInterval;
    FrameTimer->setInterval(TickInterval);
    // A zoom the views do not have is a damaged or foreign file: the views stay unenlarged.
    const int zoom = Settings->ReadInteger(ViewSection, ZoomKey, MinZoom);
    SetZoom(zoom >= MinZoom && zoom <= MaxZoom ? zoom : MinZoom);
    ApplyOverviewSettings();
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

bool TMainForm::LoadMasterPalette() {
    const SupportFiles::PaletteLookup lookup = SupportFiles::LoadMasterPalette(
        Options.MasterPaletteName.toStdString(),
        Settings->ReadString(SupportFiles::PaletteSection, SupportFiles::PaletteKey, ""),
        Options.ExecutableDir.toStdString(), Options.DataDir.toStdString(), MasterPalette);
    if (!lookup.ChosenProblem.empty())
        ShowMessage(DisplayText::Of(lookup.ChosenProblem));
    if (!lookup.Loaded.Ok)
        ShowMessage(DisplayText::Of(lookup.Loaded.Message));
    return lookup.Loaded.Ok;
}

std::optional<QStringList> TMainForm::LoadListFile(const QString& name) {
    const ListFileReader::Result list = ListFileReader::Read(FromStd(SupportFiles::Find(
        name.toStdString(), {Options.ExecutableDir.toStdString(), Options.DataDir.toStdString()})));
    if (!list.Ok) {
        ShowMessage(Tr(CannotReadMessage).arg(name));
        return std::nullopt;
    }
    return list.Lines;
}

void TMainForm::FillListBoxes() {
    const std::pair<QComboBox*, const std::optional<QStringList>*> boxes[] = {
        {CBSelectObject, &ObjectListLines}, {CBSelectScroll, &ScrollListLines}};
    for (const auto& [box, lines] : boxes) {
        if (!lines->has_value())
            continue;
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(**lines);
    }
}

void TMainForm::OpenMasterPalette1Click() {
    const QString path = Prompts().ChooseOpenFile(this, QtFilterOf(Tr(PaletteFilter)));
    if (path.isEmpty())
        return;
    // Kept absolute: the next start may be from another folder.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::unique_ptr<FcPaletteData> chosen;
    const Outcome loaded = FcPaletteData::Create(absolute.toStdString(), chosen);
    if (!loaded.Ok) {
        ShowMessage(DisplayText::Of(loaded.Message));
        return;
    }
    // The graphics engine refers to this palette: its colours change in place.
    *MasterPalette = *chosen;
    Settings->WriteString(SupportFiles::PaletteSection, SupportFiles::PaletteKey,
                          absolute.toStdString());
    RecolourViews();
}

// Only what is shown changes: the image, its history and its changed marks stay as they are.
void TMainForm::RecolourViews() {
    GraphicsEngine->LoadMasterColors();
    if (StageOverviewForm != nullptr)
        StageOverviewForm->MasterColorsChanged();
    if (!PagesBuiltFlag)
        return;
    PaletteEdit->ShowMasterColors();
    if (!Document->Image().HasStages())
        return;
    RefreshChipSheets();
    // A tab still waiting for the stage draws it with the new colours when it comes to the front.
    for (const EditorTab& tab : EditorTabs) {
        if (!tab.StagePending)
            tab.Redraw();
    }
}

void TMainForm::SaveSettings() {
    Settings->WriteBool("ObjectEdit", "Sort", ChkSortObjectList->isChecked());
    Settings->WriteBool("ObjectEdit", "Popup", ChkPopupHint->isChecked());
    Settings->WriteBool("32x32ChipEdit", "Grid", Chk32x32ChipEditDrawGrid->isChecked());
    Settings->WriteBool("MapSetEdit", "Grid", ChkMapSetEditDrawGrid->isChecked());
    Settings->WriteBool("PaletteEdit", "Save", ChkPaletteSave->isChecked());
    Settings->WriteInteger("Timer", "Interval", StoredTimerInterval);
    Settings->WriteString(ViewSection, LanguageKey, Translations::Current().toStdString());
    Settings->WriteInteger(ViewSection, ZoomKey, ZoomLevel);
    Settings->WriteBool(RestorePoint::SettingsSection, RestorePoint::SettingsKey,
                        RestorePoints->IsEnabled());
    Recent.Save(*Settings);
    SaveOverviewSettings();
    // The configuration folder of an installed program is made by its first exit.
    QDir().mkpath(QFileInfo(FromStd(Settings->Path())).absolutePath());
    const Outcome flushed = Settings->Flush();
    if (!flushed.Ok)
        ShowMessage(DisplayText::Of(flushed.Message));
}

// --- File commands ---

QString TMainForm::OpenDialogFilter() {
    return QtFilterOf(Tr(OpenFilter));
}

QString TMainForm::SaveDialogFilter() {
    return QtFilterOf(Tr(SaveFilter));
}

void TMainForm::Open1Click() {
    const QString path = Prompts().ChooseOpenFile(this, OpenDialogFilter());
    if (path.isEmpty())
        return;
    OpenChosenFile(path);
}

void TMainForm::OpenChosenFile(const QString& path) {
    if (Document->IsModified() && !AskSaveChanges())
        return;
    OpenImage(path);
}

void TMainForm::OpenImage(const QString& path) {
    // Every way of opening an image comes here, perhaps before the window's first frame.
    EnsurePages();
    if (!FinishInterruptedSave(path))
        return;
    const Outcome outcome = Document->Open(path.toStdString());
    if (!outcome.Ok) {
        ShowMessage(DisplayText::Of(outcome.Message));
        return;
    }
    RememberRecentFile(path);
    ShowOpenedState();
}

// A journal left by a save cut short: the user finishes or discards it, or does not open the
// image. False when the open must stop.
bool TMainForm::FinishInterruptedSave(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    SaveJournal::Questions questions;
    questions.FinishInterruptedSave = [&](const std::string&) {
        switch (Prompts().AskYesNoCancel(this, ApplicationTitle,
                                         Tr(InterruptedSaveQuestion).arg(name))) {
        case UserPrompts::Answer::Yes:
            return SaveJournal::Answer::Finish;
        case UserPrompts::Answer::No:
            return SaveJournal::Answer::Discard;
        case UserPrompts::Answer::Cancel:
            break;
        }
        return SaveJournal::Answer::Cancel;
    };
    questions.DeleteDamagedJournal = [&](const std::string& journal) {
        return Prompts().AskYesNo(this, Tr(DamagedJournalQuestion).arg(name, FromStd(journal)));
    };
    const SaveJournal::RecoveryResult recovered =
        SaveJournal::Recover(Document->Image().JournalFolder(), path.toStdString(), questions);
    if (!recovered.Message.empty())
        ShowMessage(DisplayText::Of(recovered.Message));
    return recovered.MayOpen;
}

void TMainForm::OpenRecentFile(const QString& path) {
    if (!QFileInfo::exists(path)) {
        ShowMessage(Tr(CannotReadMessage).arg(QFileInfo(path).fileName()));
        Recent.Remove(path);
        RecentFiles1->SetPaths(Recent.Paths());
        return;
    }
    OpenChosenFile(path);
}

void TMainForm::RememberRecentFile(const QString& path) {
    Recent.Add(path);
    RecentFiles1->SetPaths(Recent.Paths());
}

void TMainForm::Save1Click() {
    SaveImageAs(FromStd(Document->Image().FileName()));
}

void TMainForm::SaveAs1Click() {
    const QString path = Prompts().ChooseSaveFile(this, SaveDialogFilter(), SaveDefaultExtension);
    if (path.isEmpty())
        return;
    if (SaveImageAs(path))
        SetWindowTitle(QString(ApplicationTitle) + TitleSeparator + path);
}

void TMainForm::Close1Click() {
    if (Document->IsModified() && !AskSaveChanges())
        return;
    Document->Close();
    ShowClosedState();
}

bool TMainForm::SaveImageAs(const QString& path) {
    // A restore point that cannot be made is reported; the save itself still goes ahead.
    // One kept elsewhere than beside the file is reported too, with where it went.
    const Outcome kept = RestorePoints->KeepBeforeSave(path.toStdString());
    if (!kept.Message.empty())
        ShowMessage(DisplayText::Of(kept.Message));
    const Outcome outcome = Document->Save(path.toStdString());
    if (!outcome.Ok) {
        ShowMessage(DisplayText::Of(outcome.Message));
        return false;
    }
    RememberRecentFile(path);
    ShowPaletteSetsNotWritten();
    return true;
}

// True when the command that asked may go on.
bool TMainForm::AskSaveChanges() {
    const QString question = Tr(SaveChangesQuestion).arg(FromStd(Document->Image().FileName()));
    switch (Prompts().AskYesNoCancel(this, ApplicationTitle, question)) {
    case UserPrompts::Answer::Yes: {
        const QString path =
            Prompts().ChooseSaveFile(this, SaveDialogFilter(), SaveDefaultExtension);
        // A save that had to leave some palette sets out keeps the image modified: the command
        // stops so that those edits are not lost with it.
        return !path.isEmpty() && SaveImageAs(path) && !Document->IsModified();
    }
    case UserPrompts::Answer::No:
        return true;
    case UserPrompts::Answer::Cancel:
        break;
    }
    return false;
}

void TMainForm::ShowOpenedState() {
    SetWindowTitle(QString(ApplicationTitle) + TitleSeparator +
                   FromStd(Document->Image().FileName()));
    {
        const QSignalBlocker blocker(CBStage);
        CBStage->setCurrentIndex(0);
    }
    CBStage->setVisible(true);
    Document->SetCurrentStage(CBStage->currentIndex());
    EditPageControl->setVisible(true);
    Save1->setEnabled(true);
    SaveAs1->setEnabled(true);
    Close1->setEnabled(true);
    ShowSharingState(true);
    LoadStageIntoEditors();
    UpdateClipboardActions();
    GraphicsEngine->ResetPaletteAnimation();
    RestartFrameTimer();
}

void TMainForm::ShowClosedState() {
    SetWindowTitle(ApplicationTitle);
    CBStage->setVisible(false);
    EditPageControl->setVisible(false);
    Save1->setEnabled(false);
    SaveAs1->setEnabled(false);
    Close1->setEnabled(false);
    ShowSharingState(false);
    UpdateClipboardActions();
    OverviewFollowStage();
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
    if (Document->IsModified() && !AskSaveChanges()) {
        event->ignore();
        return;
    }
    // A settings file that cannot be written is reported, but never keeps the user from
    // quitting. The settings are written from the controls that show them.
    EnsurePages();
    SaveSettings();
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!StartupFailedFlag && !DroppedImage::PathOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QString path = DroppedImage::PathOf(event->mimeData());
    if (StartupFailedFlag || path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drag source waits until the drop returns: the question about unsaved changes and the
    // open come after it.
    QMetaObject::invokeMethod(
        this, [this, path] { OpenChosenFile(path); }, Qt::QueuedConnection);
}

// --- Edit commands ---

void TMainForm::Undo1Click() {
    Document->Stack().undo();
}

void TMainForm::Redo1Click() {
    Document->Stack().redo();
}

void TMainForm::History1Click() {
    if (HistoryView == nullptr) {
        HistoryView = new QUndoView(&Document->Stack(), this);
        HistoryView->setWindowFlag(Qt::Tool);
        HistoryView->setWindowTitle(Tr(HistoryTitle));
        HistoryView->setEmptyLabel(Tr(HistoryEmptyLabel));
        HistoryView->resize(280, 360);
    }
    HistoryView->show();
    HistoryView->raise();
}

// A focused line edit takes Ctrl+Z for its own text; the history is what the user means.
bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EditPageControl && event->type() == QEvent::LayoutRequest)
        return !TabSizesChanged();
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        windowHandle()->removeEventFilter(this);
        QCoreApplication::postEvent(this, new QEvent(BuildPagesEvent()), Qt::LowEventPriority);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination pressed = key->keyCombination();
        for (const QAction* action : {Undo1, Redo1}) {
            for (const QKeySequence& sequence : action->shortcuts()) {
                if (sequence.count() == 1 && sequence[0] == pressed)
                    return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// A caption that changes on a tab asks every widget up to the tab widget to lay itself out
// again, and the tab widget answers by repainting the whole tab. When the tabs' size hints are
// what they were, nothing would move: the request is dropped and only the caption repaints.
bool TMainForm::TabSizesChanged() {
    const std::pair<QSize, QSize> sizes{EditPageControl->sizeHint(),
                                        EditPageControl->minimumSizeHint()};
    if (sizes == LaidOutTabSizes)
        return false;
    LaidOutTabSizes = sizes;
    return true;
}

// --- What the edit history asks of the window ---

QWidget* TMainForm::PageOfTab(EditorTabId tab) const {
    switch (tab) {
    case EditorTabId::MapSet:
        return TabMapSetEdit;
    case EditorTabId::Chip32x32:
        return Tab32x32ChipEdit;
    case EditorTabId::Chip16x16:
        return Tab16x16ChipEdit;
    case EditorTabId::Palette:
        return TabPaletteEdit;
    case EditorTabId::Object:
        break;
    }
    return TabObjectEdit;
}

// The user sees the step where it happened: its stage and its tab. The tab's editor shows the
// set it was made in.
void TMainForm::ShowStepPlace(const StepPlace& place) {
    if (CBStage->currentIndex() != place.Stage)
        CBStage->setCurrentIndex(place.Stage);
    QWidget* page = PageOfTab(place.Tab);
    if (EditPageControl->currentWidget() != page)
        EditPageControl->setCurrentWidget(page);
}

const RomImageData& TMainForm::ImageHolder() const {
    return Document->Image();
}

const EditFlagManagement& TMainForm::Tracker() const {
    return Document->Flags();
}

EditHistory& TMainForm::History() {
    return Document->History();
}

// --- Stage selection, tabs and the frame timer ---

void TMainForm::CBStageChange(int index) {
    if (index < 0)
        return;
    FrameTimer->stop();
    Document->SetCurrentStage(index);
    LoadStageIntoEditors();
    GraphicsEngine->ResetPaletteAnimation();
    RestartFrameTimer();
}

void TMainForm::EditPageControlChange(int index) {
    const QWidget* page = EditPageControl->widget(index);
    UpdateClipboardActions();
    if (!Document || !Document->Image().HasStages())
        return;
    for (EditorTab& tab : EditorTabs) {
        if (tab.Page != page)
            continue;
        if (tab.StagePending) {
            EnsureStageLoaded(tab);
            continue;
        }
        if (tab.NeedsFreshChipSheets)
            RefreshChipSheets();
        tab.Activate();
    }
}

void TMainForm::FrameTimerTimer() {
    if (PaletteEdit && PaletteEdit->StepAnimation())
        RedrawActiveTab();
}

void TMainForm::RestartFrameTimer() {
    if (AnimationConfigured && Document->Image().HasStages())
        ScheduleFrameTimer();
    else
        FrameTimer->stop();
}

// The timer sleeps through the ticks that change no colour and catches them up when it wakes:
// an idle window with an animation wakes a few times a second, not at every tick.
void TMainForm::ScheduleFrameTimer() {
    const std::optional<int> due = PaletteEdit->TicksUntilAnimationChange();
    // The settings may ask for ticks so long that a few of them exceed the timer's range.
    const int ticksThatFit = std::max(1, std::numeric_limits<int>::max() / TickInterval);
    TicksScheduled =
        std::clamp(due.value_or(MaxTicksAsleep), 1, std::min(MaxTicksAsleep, ticksThatFit));
    FrameTimer->start(TickInterval * TicksScheduled);
}

void TMainForm::FrameTimerElapsed() {
    for (int tick = 0; tick < TicksScheduled; ++tick)
        FrameTimerTimer();
    ScheduleFrameTimer();
}

void TMainForm::RedrawActiveTab() {
    const QWidget* page = EditPageControl->currentWidget();
    for (const EditorTab& tab : EditorTabs) {
        if (tab.Page == page)
            tab.Redraw();
    }
}

// --- The editors, in their fixed order ---

void TMainForm::CreateEditors() {
    // The unused-number reports share one window, made once after the main window itself.
    ShowUnusedChipNumForm = new TShowUnusedChipNumForm(this);
    CreatePaletteEditor();
    Create16x16ChipEditor();
    Create32x32ChipEditor();
    CreateMapSetEditor();
    CreateObjectEditor();
    EditorTabs = {
        {.Page = TabPaletteEdit,
         .LoadsWhileHidden = true,
         .LoadStage = [this] { PaletteEdit->LoadStage(); },
         .Activate = [this] { PaletteEdit->ActivateTab(); },
         .Redraw = [this] { PaletteEdit->DrawAnimeStrip(); }},
        {.Page = Tab16x16ChipEdit,
         .LoadsWhileHidden = true,
         .LoadStage = [this] { Chip16x16Edit->LoadStage(); },
         .Activate = [this] { Chip16x16Edit->ActivateTab(); },
         .Redraw = [this] { Chip16x16Edit->RedrawAll(); }},
        {.Page = Tab32x32ChipEdit,
         .NeedsFreshChipSheets = true,
         .LoadStage = [this] { Chip32x32Edit->LoadStage(); },
         .Activate = [this] { Chip32x32Edit->ActivateTab(); },
         .Redraw = [this] { Chip32x32Edit->RedrawAll(); }},
        {.Page = TabMapSetEdit,
         .NeedsFreshChipSheets = true,
         .LoadStage = [this] { MapSetEdit->LoadStage(); },
         .Activate = [this] { MapSetEdit->ActivateTab(); },
         .Redraw = [this] { MapSetEdit->RedrawAll(); }},
        {.Page = TabObjectEdit,
         .NeedsFreshChipSheets = true,
         .LoadStage = [this] { ObjectEdit->LoadStage(); },
         .Activate = [this] { ObjectEdit->ActivateTab(); },
         .Redraw = [this] { ObjectEdit->RedrawAll(); }},
    };
}

// In the editors' fixed order. A stage switch used to redraw every view of every tab, and the
// hidden ones were drawn again when they came to the front; now the hidden editors that only
// draw wait for their tab.
void TMainForm::LoadStageIntoEditors() {
    const QWidget* front = EditPageControl->currentWidget();
    for (EditorTab& tab : EditorTabs) {
        tab.StagePending = true;
        if (tab.LoadsWhileHidden || tab.Page == front)
            EnsureStageLoaded(tab);
    }
    OverviewFollowStage();
}

void TMainForm::EnsureStageLoaded(EditorTab& tab) {
    if (!tab.StagePending)
        return;
    tab.StagePending = false;
    if (tab.NeedsFreshChipSheets)
        RefreshChipSheets();
    tab.LoadStage();
}

TMainForm::EditorTab& TMainForm::TabOf(QWidget* page) {
    for (EditorTab& tab : EditorTabs) {
        if (tab.Page == page)
            return tab;
    }
    throw std::logic_error("a page without an editor");
}

void TMainForm::RefreshChipSheets() {
    Chip16x16Edit->SetChipSheetPalette();
    Chip16x16Edit->RenderChipSheet();
    Chip32x32Edit->SetChipSheetPalette();
    Chip32x32Edit->RenderChipSheet();
}
