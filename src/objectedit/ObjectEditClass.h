#pragma once

#include "base/LevelFormat.h"
#include "document/ChangeList.h"
#include "graphics/ViewRecord.h"

#include <QObject>
#include <QString>
#include <Qt>

#include <array>
#include <memory>
#include <span>
#include <vector>

class LanguageChangeWatch;
class LevelDocument;
struct ObjectNotice;
class EditorGraphics;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QWidget;
class RomImageData;
class StageData;
class TImageEx;
class TUpDown;
class UserPrompts;
class ViewSurface;
struct ObjectNode;

// The object tab: two neighbouring rooms with their map pages and a mark for every object;
// selecting, dragging, nudging, retyping, creating, copying, cutting, pasting and removing
// objects of the current stage within the per-stage and all-stage limits.
//
// Object references point into the current stage's room lists. Every removal (and every
// re-decode) clears each reference to the freed node, so none of them ever dangles.
class ObjectEditClass {
public:
    static constexpr int RoomCount = LevelFormat::PageCount;
    static constexpr int LastLeftRoom = 30;
    static constexpr int RoomSize = 256;
    static constexpr int MaxObjectsPerStage = LevelFormat::MaxObjectsPerStage;
    static constexpr int MaxObjectsInAllStages = LevelFormat::MaxObjectsAllStages;
    static constexpr int ScrollObjectType = LevelFormat::ScrollObjectType;
    // Half the side of the square around an object that the pointer hits.
    static constexpr int HitRadius = 9;

    static constexpr const char* LimitMessage = QT_TRANSLATE_NOOP(
        "ObjectEditClass", "オブジェクトの総数を越えるため、オブジェクトを作成できませんでした");
    static constexpr const char* ReloadQuestion = QT_TRANSLATE_NOOP(
        "ObjectEditClass", "このステージのオブジェクトデータを読み込み直します。よろしいですか？");

    static constexpr const char* CreateCaption =
        QT_TRANSLATE_NOOP("EditHistory", "オブジェクトの作成");
    static constexpr const char* PasteCaption =
        QT_TRANSLATE_NOOP("EditHistory", "オブジェクトの貼り付け");
    static constexpr const char* CutCaption =
        QT_TRANSLATE_NOOP("EditHistory", "オブジェクトの切り取り");
    static constexpr const char* RemoveCaption =
        QT_TRANSLATE_NOOP("EditHistory", "オブジェクトの削除");
    static constexpr const char* TypeCaption =
        QT_TRANSLATE_NOOP("EditHistory", "オブジェクトの種類の変更");
    static constexpr const char* ScrollCaption =
        QT_TRANSLATE_NOOP("EditHistory", "スクロールの変更");
    static constexpr const char* MoveCaption =
        QT_TRANSLATE_NOOP("EditHistory", "オブジェクトの移動");
    static constexpr const char* ReloadCaption =
        QT_TRANSLATE_NOOP("EditHistory", "オブジェクトの読み込み直し");

    ObjectEditClass(LevelDocument& document, EditorGraphics& graphics, UserPrompts& prompts);
    ~ObjectEditClass();
    ObjectEditClass(const ObjectEditClass&) = delete;
    ObjectEditClass& operator=(const ObjectEditClass&) = delete;

    // The labels the tab shows its counts and the edited object's place in.
    struct Labels {
        QLabel* Room = nullptr;
        QLabel* Num = nullptr;
        QLabel* Sum = nullptr;
        QLabel* Index = nullptr;
        QLabel* Screen = nullptr;
        QLabel* X = nullptr;
        QLabel* Y = nullptr;
        QLabel* AllSum = nullptr;
    };
    // The pop-up menu and its items (the cancel item needs nothing).
    struct PopupMenu {
        QMenu* Menu = nullptr;
        QAction* Create = nullptr;
        QAction* Copy = nullptr;
        QAction* Cut = nullptr;
        QAction* Paste = nullptr;
        QAction* Remove = nullptr;
    };

    // Binding, in the shell's order.
    void BindRoomImages(TImageEx* side0, TImageEx* side1);
    void BindScrollBar(QScrollBar* rooms);
    void BindLabels(const Labels& labels);
    void BindLists(QComboBox* objectTypes, QComboBox* scrollTypes);
    void BindUpDowns(TUpDown* x, TUpDown* y);
    void BindButtons(QPushButton* create, QPushButton* remove);
    void BindCheckBoxes(QCheckBox* sort, QCheckBox* hint);
    void BindPopupMenu(const PopupMenu& popup);

    // Stage and view.
    void LoadStage();
    void ReloadStage();
    void RedrawAll();
    void ActivateTab();
    void SetRooms(int n);

    // Mouse events of a room image (side 0 or 1), positions in view pixels.
    void RoomMouseDown(int side, Qt::MouseButton button, int x, int y);
    void RoomMouseMove(int side, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                       int y);
    // The end of a press: a drag from press to release is one step.
    void RoomMouseUp(Qt::MouseButton button);

    // The arrows of the up-downs: +1 right / down, -1 left / up.
    void ArrowX(int direction);
    void ArrowY(int direction);

    void HitTest(int side, int x, int y);
    void RefreshMarks();
    void DrawEditMark();
    void SelectHovered();
    QString HintText(int side) const;
    void ShowHintAgain();
    void PreparePopupMenu();

    void ShowEditObject();
    void ShowCounts();
    bool CanCreate() const;

    void CreateObjectAtClick();
    void CreateObjectAtPopup();
    void CopyObject();
    void CutObject();
    void PasteObject();
    void RemoveHovered();
    void RemoveEditObject();

    void SetEditType(int type);
    void SetEditScroll(int value);
    void NudgeX(int d);
    void NudgeY(int d);
    void DragTo(int x, int y);

    // State, for the window and for checks.
    int LeftRoom() const { return Room0Index; }
    const ObjectNode* HoveredNode() const { return HoverObject; }
    const ObjectNode* SelectedNode() const { return EditObject; }
    int SelectedRoom() const { return EditRoom; }
    int ClipboardType() const { return CopiedType; }
    // A type another copy put on the clipboard becomes the one the next paste places.
    void TakeClipboardType(int type);

private:
    struct ClickPoint {
        int Side = 0;
        int X = 0;
        int Y = 0;
    };
    struct RoomPoint {
        int Room = 0;
        int X = 0;
        int Y = 0;
    };

    const StageData& Stage() const;
    int AllStagesTotal() const;
    QWidget* DialogParent() const;
    // -1 when the room is not on either side.
    int SideOfRoom(int room) const;
    void DrawRooms();
    void DrawRoom(int side);
    void AddAtPopupPoint(int type, const char* caption);
    // Clears every reference to a node the stage no longer holds.
    void ForgetFreed();
    void ForgetAll();
    ObjectSelection CurrentSelection() const;
    // One step: room page's list becomes after, with the object selectedAfter selected.
    void ApplyPage(int page, std::vector<ObjectRecord> after, ObjectSelection selectedAfter,
                   const char* caption, ChangeList::Merge merge = ChangeList::Merge::Never);
    // The page's records with the object of id changed by change.
    template <class Change>
    void ChangeObject(int page, std::uint32_t id, const char* caption, ChangeList::Merge merge,
                      Change change);
    bool SortsByX() const;
    void RemoveFromPage(const ObjectNode* node, int page, const char* caption);
    // Shows what a step wrote: the rooms, the counts and the selected object.
    void ObjectsWritten(const ObjectNotice& notice);
    QString ObjectCaption(int type) const;
    QString ScrollCaptionOf(int value) const;

    LevelDocument& Document;
    const RomImageData& ImageHolder;
    EditorGraphics& Graphics;
    UserPrompts& Prompts;

    std::array<TImageEx*, 2> RoomImages{};
    std::array<std::unique_ptr<ViewSurface>, 2> RoomSurfaces;
    // What each room view was last drawn from.
    std::array<ViewRecord, 2> RoomRecords;
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
    QMenu* PopupMenuObjectEdit = nullptr;
    QAction* MenuCreateObject = nullptr;
    QAction* MenuCopyObject = nullptr;
    QAction* MenuCutObject = nullptr;
    QAction* MenuPasteObject = nullptr;
    QAction* MenuRemoveObject = nullptr;

    int Room0Index = 0;
    int Room1Index = 1;
    const ObjectNode* HoverObject = nullptr;
    int HoverRoom = 0;
    const ObjectNode* HoverObjectPrev = nullptr;
    const ObjectNode* EditObject = nullptr;
    int EditRoom = 0;
    const ObjectNode* DrawnEditObject = nullptr;
    bool NeedRedraw = false;
    ClickPoint CreatePoint;
    RoomPoint PopupPoint;
    int CopiedType = -1; // -1: nothing copied yet
    // Each press that may drag an object numbers its moves' steps, so they merge into one.
    std::uint32_t DragGesture = 0;
    bool Dragging = false;
    // The document's notices reach this editor while it lives.
    QObject Listener;
    // Shows the editor's texts again when the language changes.
    std::unique_ptr<LanguageChangeWatch> LanguageWatch;
};
