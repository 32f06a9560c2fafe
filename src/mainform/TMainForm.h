#pragma once

#include "ImageEx/TImageEx.h"
#include "document/ClipboardContent.h"
#include "fileio/SupportFiles.h"
#include "history/StepPlace.h"
#include "mainform/LiveCaptions.h"
#include "mainform/RecentFiles.h"
#include "translation/Translations.h"

#include <QEvent>
#include <QMainWindow>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QTabWidget;
class QTemporaryDir;
class QTimer;
class QUndoView;

class Chip16x16EditClass;
class Chip32x32EditClass;
class EditFlagManagement;
class EditHistory;
class LevelDocument;
class EditorGraphics;
class FcPaletteData;
class IniFile;
class MapSetEditClass;
class ObjectEditClass;
class PaletteEditClass;
class RecentFilesMenu;
class RestorePoint;
class RomImageData;
class TImageEx;
class TRadioGroup;
class TabScrollArea;
class TShowUnusedChipNumForm;
class TStageOverviewForm;
class TUpDown;
class UserPrompts;

// Where the shell finds its files, and who answers its questions.
struct StartupOptions {
    // Folder of the list files, and of the settings file when it is there or the folder takes
    // it: the executable's folder by default.
    QString ExecutableDir;
    // Where the settings file goes otherwise: by default the platform's configuration folder
    // of the application.
    QString ConfigDir;
    // The installed data folder, where the palette and the list files are looked for last; by
    // default found from the executable's folder.
    QString DataDir;
    // The master palette; a bare name is looked up in the current directory, then the file
    // chosen in the menu (kept in the settings), then beside the executable, then in the data
    // folder.
    QString MasterPaletteName = SupportFiles::MasterPaletteName;
    // The program's own folder (journals of saves in place, restore points that cannot go
    // beside their files): by default the platform's application data folder.
    QString AppDataDir;
    // Null: the Qt message boxes and file dialogs.
    UserPrompts* Prompts = nullptr;
    // The tabs stay hidden until an image is open: with this set, their controls and the
    // editors are made right after the window's first frame is on screen (or at once when
    // something needs them sooner) instead of before it.
    bool BuildPagesAfterFirstFrame = false;
};

// The main window: start-up and shut-down, settings, the file commands with their one prompt
// about unsaved changes, stage selection and the five editor tabs. Its slots only forward to
// the image holder, the tracker and the editors.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* ApplicationTitle = "KESTRIN 6 EDITOR";
    static constexpr const char* ObjectListFileName = "ObjectList.txt";
    static constexpr const char* ScrollListFileName = "ScrollList.txt";
    // Inside the application data folder: restore points that cannot go beside their files.
    static constexpr const char* RestoreFolderName = "restore";
    static constexpr const char* TitleSeparator = " - ";
    static constexpr int DefaultTimerInterval = 16;
    // Where the settings file keeps the language: "ja" (the default) or "en".
    // How the views are shown (zoom, overview, language): one section of the settings file.
    static constexpr const char* ViewSection = Translations::SettingsSection;
    static constexpr const char* LanguageKey = Translations::SettingsKey;
    static constexpr const char* ZoomKey = "Zoom";

    explicit TMainForm(const StartupOptions& options);
    ~TMainForm() override;

    // Set when the master palette could not be loaded: the window must not be shown.
    bool StartupFailed() const { return StartupFailedFlag; }
    // Whether the tabs' controls and the editors exist yet (see BuildPagesAfterFirstFrame).
    bool PagesBuilt() const { return PagesBuiltFlag; }
    // Makes them now unless they exist; whatever needs them calls this first.
    void EnsurePages();

    // File commands, one per menu item.
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Close1Click();
    // A master palette file chosen in a dialog: shown at once in every view and kept in the
    // settings for the next start; a file that cannot be used leaves the colours as they are.
    void OpenMasterPalette1Click();
    // Opens path as if it had been chosen in the open dialog (the optional program argument).
    void OpenChosenFile(const QString& path);
    // Sharing: a patch, an image made from a patch, a picture (MainFormSharing.cpp).
    void MakePatch1Click();
    void ApplyPatch1Click();
    void ExportPicture1Click();
    // The current stage's map set to and from Tiled's TMX maps (MainFormSharing.cpp).
    void ExportTmx1Click();
    void ImportTmx1Click();
    // The image as a save would write it, started in the emulator (MainFormPlayTest.cpp).
    void PlayTest1Click();
    // The filters of the Open and Save As dialogs, in Qt's form.
    static QString OpenDialogFilter();
    static QString SaveDialogFilter();
    static constexpr const char* SaveDialogDefaultExtension = "nes";

    // Stage selection and tab change, as the combo box and the tabs report them.
    void CBStageChange(int index);
    void EditPageControlChange(int index);
    // One tick of the palette animation.
    void FrameTimerTimer();
    // The timer woke: the ticks it slept through, then the next wake-up.
    void FrameTimerElapsed();

    // The open image: read here, changed only through the document.
    const RomImageData& ImageHolder() const;
    const EditFlagManagement& Tracker() const;
    EditHistory& History();
    LevelDocument& Doc() { return *Document; }
    EditorGraphics& Graphics() { return *GraphicsEngine; }
    UserPrompts& Prompts() { return *PromptsInUse; }
    bool ApplyingSettings() const { return ApplyingSettingsFlag; }

    // Screen pixels per console pixel in the editing views of every tab, 1..4; the enlarged
    // previews and the palette tab keep their sizes. SetZoom clamps to that range.
    static constexpr int MinZoom = TImageEx::MinZoom;
    static constexpr int MaxZoom = TImageEx::MaxZoom;
    int Zoom() const { return ZoomLevel; }
    void SetZoom(int zoom);

    // --- The shell's own controls ---
    QMenu* N1 = nullptr;
    QAction* Open1 = nullptr;
    RecentFilesMenu* RecentFiles1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* MakePatch1 = nullptr;
    QAction* ApplyPatch1 = nullptr;
    QAction* ExportPicture1 = nullptr;
    QAction* PlayTest1 = nullptr;
    QAction* ExportTmx1 = nullptr;
    QAction* ImportTmx1 = nullptr;
    QAction* OpenMasterPalette1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* EditMenu = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QAction* History1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QMenu* ViewMenu = nullptr;
    // Its language submenu: two radio items, their captions never translated.
    QMenu* LanguageMenu = nullptr;
    QAction* LanguageJapanese = nullptr;
    QAction* LanguageEnglish = nullptr;
    QAction* StageOverview1 = nullptr;
    QAction* ZoomIn1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* ZoomReset1 = nullptr;
    // The history as a list, made at its first showing.
    QUndoView* HistoryView = nullptr;
    std::array<QLabel*, 3> StatusPanels{};
    QComboBox* CBStage = nullptr;
    QTabWidget* EditPageControl = nullptr;
    QWidget* TabMapSetEdit = nullptr;
    QWidget* Tab32x32ChipEdit = nullptr;
    QWidget* Tab16x16ChipEdit = nullptr;
    QWidget* TabPaletteEdit = nullptr;
    QWidget* TabObjectEdit = nullptr;
    QTimer* FrameTimer = nullptr;

    // --- Palette tab ---
    std::array<TImageEx*, 4> ImgPalView{};
    TImageEx* ImgColorTable = nullptr;
    TImageEx* ImgSelectColor = nullptr;
    std::array<TImageEx*, 4> ImgAnimePal{};
    std::array<QLineEdit*, 16> EditPal{};
    std::array<QLineEdit*, 4> EditAnimePal{};
    QLabel* LblSelectColor = nullptr;
    std::array<TUpDown*, 4> UDAnimePal{};
    QComboBox* CBSelectPaletteSet = nullptr;
    QPushButton* BtnPaletteReload = nullptr;
    QPushButton* BtnAnimationPaletteReload = nullptr;
    QGroupBox* GBAnimationPalette = nullptr;
    QGroupBox* GBPaletteEdit = nullptr;
    QCheckBox* ChkPaletteSave = nullptr;
    QLabel* LblPaletteWriteHint = nullptr;

    // --- 16x16 chip tab ---
    TImageEx* ImgBGBankTable = nullptr;
    TImageEx* ImgEdit16x16ChipView = nullptr;
    TImageEx* ImgEdit16x16Chip = nullptr;
    TImageEx* ImgSelectTile = nullptr;
    std::array<QFrame*, 16> PanelPaletteColor{};
    QLabel* LblSelectChipIndex = nullptr;
    QLabel* LblSelectBGBankTileIndex = nullptr;
    std::array<QLabel*, 4> LblSelectChipTile{};
    QLabel* LblSelectChipProperty = nullptr;
    QLabel* LblSelectScrollIndex = nullptr;
    TRadioGroup* RGChipPropertySelect = nullptr;
    TRadioGroup* RGPaletteSelect = nullptr;
    QScrollBar* ScrBarBGBank0 = nullptr;
    QScrollBar* ScrBarBGBank1 = nullptr;
    QScrollBar* ScrBarSelectScrollIndex = nullptr;
    QPushButton* BtnSwitch16X16ChipSet = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BtnUnused16x16ChipChk = nullptr;
    QPushButton* BtnUnusedTileChk = nullptr;
    QLabel* LblChip16x16UseCount = nullptr;

    // --- 32x32 chip tab ---
    TImageEx* ImgEdit32x32ChipView = nullptr;
    TImageEx* Img16x16ChipTable = nullptr;
    TImageEx* ImgEdit32x32Chip = nullptr;
    TImageEx* ImgSelect16x16Chip = nullptr;
    TUpDown* UDChange32x32ChipView = nullptr;
    QLabel* LblEdit32x32ChipView = nullptr;
    QLabel* LblSelect16x16ChipIndex = nullptr;
    QLabel* LblSelect16x16ChipProperty = nullptr;
    std::array<QLabel*, 4> LblStructChipIndex{};
    std::array<QLabel*, 4> LblStructChipProperty{};
    QLabel* LblSelect32x32ChipIndex = nullptr;
    QCheckBox* Chk32x32ChipEditDrawGrid = nullptr;
    QLabel* LblChip32x32UseCount = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* BtnUnused32x32ChipChk = nullptr;

    // --- Map-set tab ---
    TImageEx* ImgEditMapSetPage0 = nullptr;
    TImageEx* ImgEditMapSetPage1 = nullptr;
    TImageEx* ImgSelect32x32Chip = nullptr;
    TImageEx* Img32x32ChipTable = nullptr;
    QLabel* LblMapSetPage0 = nullptr;
    QLabel* LblMapSetPage1 = nullptr;
    QLabel* LblMapSetSelect32x32ChipIndex = nullptr;
    QLabel* LblMapSetStampSize = nullptr;
    std::array<QLabel*, 4> LblMapSetStructChipIndex{};
    std::array<QLabel*, 4> LblMapSetStructChipProperty{};
    QScrollBar* ScrBarMapSet = nullptr;
    QScrollBar* ScrBarSelectPage0 = nullptr;
    QScrollBar* ScrBarSelectPage1 = nullptr;
    QCheckBox* ChkMapSetEditDrawGrid = nullptr;
    QCheckBox* ChkMapSetFill = nullptr;
    QPushButton* Button3 = nullptr;

    // --- Object tab ---
    TImageEx* ImgObjectMapPage0 = nullptr;
    TImageEx* ImgObjectMapPage1 = nullptr;
    QScrollBar* ScrBarObjectMap = nullptr;
    QLabel* LblObjectRoom = nullptr;
    QLabel* LblObjectNum = nullptr;
    QLabel* LblObjectSum = nullptr;
    QLabel* LblObjectIndex = nullptr;
    QLabel* LblObjectScreen = nullptr;
    QLabel* LblObjectX = nullptr;
    QLabel* LblObjectY = nullptr;
    QLabel* LblAllObjectSum = nullptr;
    QComboBox* CBSelectObject = nullptr;
    QComboBox* CBSelectScroll = nullptr;
    TUpDown* UDObjectX = nullptr;
    TUpDown* UDObjectY = nullptr;
    QPushButton* BtnObjectCreate = nullptr;
    QPushButton* BtnObjectRemove = nullptr;
    QCheckBox* ChkSortObjectList = nullptr;
    QCheckBox* ChkPopupHint = nullptr;
    QPushButton* BtnObjectEditReload = nullptr;
    QMenu* PopupMenuObjectEdit = nullptr;
    QAction* MenuCreateObject = nullptr;
    QAction* MenuCopyObject = nullptr;
    QAction* MenuCutObject = nullptr;
    QAction* MenuPasteObject = nullptr;
    QAction* MenuRemoveObject = nullptr;
    QAction* N9 = nullptr;

    // The unused-number reports share one window, a child of this one.
    TShowUnusedChipNumForm* ShowUnusedChipNumForm = nullptr;
    // The stage overview, a tool window of this one; made at its first showing.
    TStageOverviewForm* StageOverviewForm = nullptr;
    // Shows or hides it, as the view menu's check does (MainFormOverview.cpp).
    void ShowStageOverview(bool shown);

    // Edit commands, one per menu item.
    void Undo1Click();
    void Redo1Click();
    void History1Click();
    // The clipboard, on the tab in front: what it shows goes out as the editor's own type
    // beside readable text; what comes in is checked before anything is written.
    void Copy1Click();
    void Paste1Click();

signals:
    void ZoomChanged(int zoom);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A change of language shows every caption again in the new one.
    void changeEvent(QEvent* event) override;
    // A ".nes" file dropped on the window is opened as if chosen in the open dialog.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Keeps Undo and Redo with the edit history while an entry field has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenu();
    void CreateSharingMenuItems(QAction* after);
    void ShowSharingState(bool imageOpen);
    void CreateEditMenu();
    void CreateViewMenu();
    // "使用数: 0", wide enough for any count, so that a stage switch never moves the layout.
    static QLabel* NewUseCountLabel(const QString& caption);
    void CreateLanguageMenu();
    // Installs the language (an unknown one counts as Japanese) and shows it at once.
    void ChooseLanguage(const QString& language);
    // Sets every caption of the window again in the installed language.
    void RetranslateUi();
    // The captions that depend on more than their source: the edit menu's step names, the
    // built-in object and scroll lists, the history window.
    void RetranslateComposedCaptions();
    // The overview window's menu item, after the view menu's other items.
    void CreateOverviewMenuItem();
    void EnsureStageOverview();
    // The overview's stage or what the map-set tab shows changed.
    void OverviewFollowStage();
    void OverviewFollowMapSetTab();
    // A press on the overview: the page becomes side's page on the map-set tab.
    void ShowOverviewPage(int side, int page);
    void ApplyOverviewSettings();
    void SaveOverviewSettings();
    // Where the overview goes when the settings name no place on a screen.
    QRect DefaultOverviewGeometry() const;
    void CreateZoomMenuItems();
    void UpdateZoomActions();
    // The views that follow the zoom; empty until the pages are made.
    std::vector<TImageEx*> ZoomingViews() const;
    // Gives the views and the controls sized by them the current zoom, and the window the
    // room they ask for, as far as the screen has it.
    void ApplyZoom();
    void FitWindowToViews();
    // Puts a scroll area filling page, and returns the widget inside it that takes the
    // page's controls.
    QWidget* ScrollingContent(QWidget* page);
    void ConnectHistory();
    void CreateClipboardMenuItems();
    // Copy when the tab in front has something to copy; paste when the clipboard holds
    // something it may take.
    void UpdateClipboardActions();
    // The kind of clipboard content the tab in front copies and takes; none without a stage.
    std::optional<ClipboardContent::Kind> ClipboardKindOfTab() const;
    void PutOnClipboard(const ClipboardContent& content);
    // The object type of the pop-up's copy or cut, for other stages and other editors.
    void PutObjectTypeOnClipboard();
    // The pop-up's paste: the clipboard's object type when it holds the editor's own type (a
    // message and nothing else when that is not an object type), else the last one copied here.
    void PasteObjectFromClipboard();
    // The editor's own type on the clipboard changed: an object type there is the one to paste.
    void ClipboardChanged();
    void CreateStatusBar();
    void CreateStageSelector();
    void CreatePages();
    void FillListBoxes();
    static QEvent::Type BuildPagesEvent();
    bool TabSizesChanged();
    void ApplySettings();
    void SetScrollBarMaxima();
    // The lines of a list file, or nothing (after its message) when it cannot be read.
    std::optional<QStringList> LoadListFile(const QString& name);
    void SaveSettings();
    // Loads the master palette from the places it is looked for; false (after the message)
    // when none holds a usable one.
    bool LoadMasterPalette();
    // Every view shows the master palette's colours as they are now.
    void RecolourViews();
    void OpenRecentFile(const QString& path);
    void RememberRecentFile(const QString& path);

    // Each tab's controls and its editor with its bindings live in the tab's own source file
    // (MainForm<Tab>Tab.cpp).
    void CreatePaletteTab();
    void CreatePaletteEditor();
    // After a save: names the palette sets that stayed out of the file, if any.
    void ShowPaletteSetsNotWritten();
    void Create16x16ChipTab();
    void Create16x16ChipEditor();
    void Create32x32ChipTab();
    void Create32x32ChipEditor();
    void CreateMapSetTab();
    void CreateMapSetEditor();
    void CreateObjectTab();
    void CreateObjectEditor();

    // What the shell asks of each tab's editor.
    struct EditorTab {
        QWidget* Page = nullptr;
        // The chip sheets are re-coloured and re-rendered before the tab shows, so that edits
        // made on other tabs show.
        bool NeedsFreshChipSheets = false;
        // Loads the stage even while hidden: what it loads feeds the other editors (the stage
        // colours, the pattern tables and the 16x16 sheet).
        bool LoadsWhileHidden = false;
        // A hidden editor takes a new stage when its tab comes to the front; until then every
        // view it would draw stays hidden.
        bool StagePending = false;
        std::function<void()> LoadStage;
        std::function<void()> Activate;
        std::function<void()> Redraw;
    };

    void CreateEditors();
    // What the edit history asks of the window to show an undone or redone step.
    void ShowStepPlace(const StepPlace& place);
    QWidget* PageOfTab(EditorTabId tab) const;
    void LoadStageIntoEditors();
    // Gives the editor of the tab the current stage now if it is still waiting for it.
    void EnsureStageLoaded(EditorTab& tab);
    EditorTab& TabOf(QWidget* page);
    void RefreshChipSheets();
    void RedrawActiveTab();
    // Runs the frame timer from now on while an image is open and the settings configure the
    // palette animation; otherwise keeps it still (no wake-ups for nothing).
    void RestartFrameTimer();
    void ScheduleFrameTimer();

    bool AskSaveChanges();
    bool SaveImageAs(const QString& path);
    void OpenImage(const QString& path);
    bool FinishInterruptedSave(const QString& path);
    void ShowOpenedState();
    void ShowClosedState();
    void SetWindowTitle(const QString& text);
    void ShowMessage(const QString& text);

    StartupOptions Options;
    LiveCaptions Captions{"TMainForm"};
    // The language the captions were last shown in: a change event for it again does nothing.
    QString ShownLanguage;
    std::unique_ptr<UserPrompts> OwnPrompts;
    UserPrompts* PromptsInUse = nullptr;
    bool StartupFailedFlag = false;
    bool ApplyingSettingsFlag = false;
    bool PagesBuiltFlag = false;
    // The size hint and minimum size hint of the tabs when they were last laid out.
    std::pair<QSize, QSize> LaidOutTabSizes;
    int ZoomLevel = MinZoom;
    std::vector<TabScrollArea*> TabScrollAreas;
    // What each tab needs at least when the views are not enlarged: at a larger zoom the
    // window may stay that small, the tab scrolls.
    std::vector<QSize> UnzoomedTabMinimums;
    // Controls as wide as a view beside them (page selectors, the room scroll bar), with their
    // width at zoom 1.
    std::vector<std::pair<QWidget*, int>> WidthsFollowingZoom;
    // The list files' lines, read at start-up; empty where a file could not be read (the box
    // keeps its built-in list).
    std::optional<QStringList> ObjectListLines;
    std::optional<QStringList> ScrollListLines;
    // The overview's place as the settings file gave it, kept until the window exists.
    QString OverviewGeometryText;

    std::unique_ptr<FcPaletteData> MasterPalette;
    std::unique_ptr<IniFile> Settings;
    // The first status panel's text as the document gave it, shown again in a new language.
    std::string StatusText;
    std::unique_ptr<RestorePoint> RestorePoints;
    RecentFiles Recent;
    std::unique_ptr<LevelDocument> Document;
    // Holds the play-test image for the whole run; made at the first play-test.
    std::unique_ptr<QTemporaryDir> PlayTestFolder;
    std::unique_ptr<EditorGraphics> GraphicsEngine;
    // The interval as the settings file holds it; written back unchanged.
    int StoredTimerInterval = DefaultTimerInterval;
    bool AnimationConfigured = false;
    // Milliseconds per animation tick, and how many ticks the running timer stands for. With
    // nothing due, the timer still looks again after MaxTicksAsleep ticks: a palette edit may
    // start an animation.
    static constexpr int MaxTicksAsleep = 60;
    int TickInterval = DefaultTimerInterval;
    int TicksScheduled = 1;

public:
    // --- The editors (created at start-up in this order, freed with the window before the
    // image holder, tracker and graphics engine they refer to) ---
    std::unique_ptr<PaletteEditClass> PaletteEdit;
    std::unique_ptr<Chip16x16EditClass> Chip16x16Edit;
    std::unique_ptr<Chip32x32EditClass> Chip32x32Edit;
    std::unique_ptr<MapSetEditClass> MapSetEdit;
    std::unique_ptr<ObjectEditClass> ObjectEdit;

private:
    // The editors in loading order: palette, 16x16 chip, 32x32 chip, map set, object.
    std::vector<EditorTab> EditorTabs;
};
