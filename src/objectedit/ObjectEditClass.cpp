#include "objectedit/ObjectEditClass.h"

#include "base/LevelFormat.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "document/LevelDocument.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/HexText.h"
#include "graphics/ViewSurface.h"
#include "history/LanguageChangeWatch.h"
#include "prompts/UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <span>
#include <utility>

namespace {

constexpr int PageBytes = LevelFormat::MapCellsPerPage;
const char* const LineBreak = "\r\n";
const char* const NoValue = "--";

int ClampByte(int value) {
    return std::clamp(value, 0, 255);
}

// Snapping truncates toward zero, so positions left of or above the view snap to 0 or below
// and are clamped afterwards.
int SnapDown(int value, int step) {
    return (value / step) * step;
}

QString Translated(const char* source) {
    return QCoreApplication::translate("ObjectEditClass", source);
}

void SetText(QLabel* label, const QString& text) {
    if (label != nullptr)
        label->setText(text);
}

void SetEnabled(QWidget* widget, bool enabled) {
    if (widget != nullptr)
        widget->setEnabled(enabled);
}

// Selects an item without reporting a change; a value without an item selects none.
void SelectItem(QComboBox* list, int index) {
    if (list == nullptr)
        return;
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

} // namespace

ObjectEditClass::ObjectEditClass(LevelDocument& document, EditorGraphics& graphics,
                                 UserPrompts& prompts)
    : Document(document), ImageHolder(document.Image()), Graphics(graphics), Prompts(prompts) {
    QObject::connect(&document, &LevelDocument::ObjectsWritten, &Listener,
                     [this](const ObjectNotice& notice) { ObjectsWritten(notice); });
}

// The surfaces tell their views to let go when they are freed.
ObjectEditClass::~ObjectEditClass() = default;

// ---- Binding ----

void ObjectEditClass::BindRoomImages(TImageEx* side0, TImageEx* side1) {
    RoomImages = {side0, side1};
    for (std::size_t side = 0; side < RoomImages.size(); ++side) {
        RoomSurfaces[side] = Graphics.CreateViewBitmap(RoomSize, RoomSize);
        RoomImages[side]->SetSurface(RoomSurfaces[side].get());
    }
}

void ObjectEditClass::BindScrollBar(QScrollBar* rooms) {
    ScrBarObjectMap = rooms;
}

void ObjectEditClass::BindLabels(const Labels& labels) {
    LblObjectRoom = labels.Room;
    LblObjectNum = labels.Num;
    LblObjectSum = labels.Sum;
    LblObjectIndex = labels.Index;
    LblObjectScreen = labels.Screen;
    LblObjectX = labels.X;
    LblObjectY = labels.Y;
    LblAllObjectSum = labels.AllSum;
}

void ObjectEditClass::BindLists(QComboBox* objectTypes, QComboBox* scrollTypes) {
    CBSelectObject = objectTypes;
    CBSelectScroll = scrollTypes;
}

void ObjectEditClass::BindUpDowns(TUpDown* x, TUpDown* y) {
    UDObjectX = x;
    UDObjectY = y;
}

void ObjectEditClass::BindButtons(QPushButton* create, QPushButton* remove) {
    BtnObjectCreate = create;
    BtnObjectRemove = remove;
}

void ObjectEditClass::BindCheckBoxes(QCheckBox* sort, QCheckBox* hint) {
    ChkSortObjectList = sort;
    ChkPopupHint = hint;
    if (hint != nullptr)
        LanguageWatch = std::make_unique<LanguageChangeWatch>(hint, [this] {
            PreparePopupMenu();
            ShowHintAgain();
        });
}

void ObjectEditClass::BindPopupMenu(const PopupMenu& popup) {
    PopupMenuObjectEdit = popup.Menu;
    MenuCreateObject = popup.Create;
    MenuCopyObject = popup.Copy;
    MenuCutObject = popup.Cut;
    MenuPasteObject = popup.Paste;
    MenuRemoveObject = popup.Remove;
}

// ---- Helpers ----

const StageData& ObjectEditClass::Stage() const {
    return ImageHolder.CurrentStageData();
}

int ObjectEditClass::AllStagesTotal() const {
    int total = 0;
    for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
        total += ImageHolder.Stage(stage).ObjectTotal();
    return total;
}

QWidget* ObjectEditClass::DialogParent() const {
    return RoomImages[0] != nullptr ? RoomImages[0]->window() : nullptr;
}

int ObjectEditClass::SideOfRoom(int room) const {
    if (room == Room0Index)
        return 0;
    if (room == Room1Index)
        return 1;
    return -1;
}

ObjectSelection ObjectEditClass::CurrentSelection() const {
    if (EditObject == nullptr)
        return {};
    return {EditRoom, EditObject->Id};
}

bool ObjectEditClass::SortsByX() const {
    return ChkSortObjectList != nullptr && ChkSortObjectList->isChecked();
}

void ObjectEditClass::ApplyPage(int page, std::vector<ObjectRecord> after,
                                ObjectSelection selectedAfter, const char* caption,
                                ChangeList::Merge merge) {
    ChangeList list;
    list.Place = {ImageHolder.CurrentStage(), EditorTabId::Object, -1};
    list.ObjectPages.push_back({page, Stage().PageRecords(page), std::move(after)});
    list.SelectedBefore = CurrentSelection();
    list.SelectedAfter = selectedAfter;
    // Without a selection the step still shows the room it changed.
    for (ObjectSelection* selection : {&list.SelectedBefore, &list.SelectedAfter})
        if (selection->Id == 0)
            selection->Page = page;
    list.MergeKind = merge;
    if (merge == ChangeList::Merge::Drag)
        list.Gesture = DragGesture;
    Document.Apply(std::move(list), caption);
}

template <class Change>
void ObjectEditClass::ChangeObject(int page, std::uint32_t id, const char* caption,
                                   ChangeList::Merge merge, Change change) {
    std::vector<ObjectRecord> after = Stage().PageRecords(page);
    for (ObjectRecord& record : after)
        if (record.Id == id)
            change(record);
    ApplyPage(page, std::move(after), CurrentSelection(), caption, merge);
}

// A step may free the nodes of objects it removed; the references kept to others stay valid.
void ObjectEditClass::ForgetFreed() {
    const auto held = [this](const ObjectNode* node) {
        for (int page = 0; page < RoomCount; ++page)
            for (const ObjectNode& object : Stage().ObjectsOfPage(page))
                if (&object == node)
                    return true;
        return false;
    };
    for (const ObjectNode** reference :
         {&HoverObject, &HoverObjectPrev, &EditObject, &DrawnEditObject})
        if (*reference != nullptr && !held(*reference))
            *reference = nullptr;
}

void ObjectEditClass::ObjectsWritten(const ObjectNotice& notice) {
    if (!ImageHolder.HasStages() || notice.Stage != ImageHolder.CurrentStage()) {
        ForgetAll();
        return;
    }
    ForgetFreed();
    const ObjectSelection& selected = notice.Selected;
    EditObject = nullptr;
    if (selected.Id != 0) {
        // The stage is the document's; the editor only keeps where its object is.
        EditObject = Stage().FindObject(selected.Page, selected.Id);
        EditRoom = selected.Page;
    }
    if (SideOfRoom(selected.Page) < 0) {
        const int left = std::clamp(selected.Page, 0, LastLeftRoom);
        if (ScrBarObjectMap != nullptr) {
            const QSignalBlocker blocker(ScrBarObjectMap);
            ScrBarObjectMap->setValue(left);
        }
        SetRooms(left);
    }
    NeedRedraw = true;
    ShowEditObject();
    ShowCounts();
    RefreshMarks();
    DrawEditMark();
}

void ObjectEditClass::ForgetAll() {
    HoverObject = nullptr;
    HoverObjectPrev = nullptr;
    EditObject = nullptr;
    DrawnEditObject = nullptr;
}

// A list file may hold fewer than 256 lines: a value without an item shows as its number.
QString ObjectEditClass::ObjectCaption(int type) const {
    if (CBSelectObject != nullptr && type >= 0 && type < CBSelectObject->count())
        return CBSelectObject->itemText(type);
    return HexText::Two(type);
}

QString ObjectEditClass::ScrollCaptionOf(int value) const {
    if (CBSelectScroll != nullptr && value >= 0 && value < CBSelectScroll->count())
        return CBSelectScroll->itemText(value);
    return HexText::Two(value);
}

// ---- Drawing ----

void ObjectEditClass::DrawRoom(int side) {
    ViewSurface* view = RoomSurfaces[static_cast<std::size_t>(side)].get();
    if (view == nullptr || !ImageHolder.HasStages())
        return;
    const int room = side == 0 ? Room0Index : Room1Index;
    const std::span<const std::uint8_t> map(Stage().MapSetTable);
    const auto roomMap = map.subspan(static_cast<std::size_t>(room * PageBytes), PageBytes);
    const auto& objects = Stage().ObjectsOfPage(room);
    ViewRecord::Inputs inputs;
    inputs.Add(roomMap).Add(Graphics.Chip32x32Sheet());
    for (const ObjectNode& object : objects) {
        inputs.Add(static_cast<std::uint64_t>(object.X)).Add(static_cast<std::uint64_t>(object.Y));
        inputs.Add(static_cast<std::uint64_t>(object.Type));
    }
    ViewRecord& record = RoomRecords[static_cast<std::size_t>(side)];
    if (record.Shows(*view, inputs))
        return;
    Graphics.DrawMapPage(*view, roomMap);
    for (const ObjectNode& object : objects)
        Graphics.DrawObjectMarker(*view, object.X, object.Y, object.Type);
    record.Remember(*view, std::move(inputs));
}

void ObjectEditClass::DrawRooms() {
    DrawRoom(0);
    DrawRoom(1);
}

void ObjectEditClass::RefreshMarks() {
    if (!ImageHolder.HasStages())
        return;
    if (EditObject != DrawnEditObject || NeedRedraw || HoverObject != HoverObjectPrev) {
        DrawRooms();
        DrawnEditObject = EditObject;
        NeedRedraw = false;
    }
    const int side = SideOfRoom(HoverRoom);
    if (HoverObject != nullptr && side >= 0)
        Graphics.DrawObjectFrame24(*RoomSurfaces[static_cast<std::size_t>(side)], HoverObject->X,
                                   HoverObject->Y);
}

void ObjectEditClass::DrawEditMark() {
    const int side = SideOfRoom(EditRoom);
    if (EditObject != nullptr && side >= 0)
        Graphics.DrawObjectFrame32(*RoomSurfaces[static_cast<std::size_t>(side)], EditObject->X,
                                   EditObject->Y);
}

void ObjectEditClass::RedrawAll() {
    if (!ImageHolder.HasStages())
        return;
    Graphics.RefreshChip32x32SheetColors();
    DrawRooms();
    RefreshMarks();
    DrawEditMark();
}

// The chip sheets have just been re-rendered; the marks come back with the next mouse move.
void ObjectEditClass::ActivateTab() {
    if (ImageHolder.HasStages())
        DrawRooms();
}

void ObjectEditClass::SetRooms(int n) {
    Room0Index = std::clamp(n, 0, LastLeftRoom);
    Room1Index = Room0Index + 1;
    if (!ImageHolder.HasStages())
        return;
    DrawRooms();
    DrawEditMark();
    SetText(LblObjectRoom, HexText::Two(Room0Index) + "-" + HexText::Two(Room1Index));
    SetText(LblObjectNum, QString::number(Stage().ObjectCountOfPage(Room0Index)) + "-" +
                              QString::number(Stage().ObjectCountOfPage(Room1Index)));
}

// ---- Stage ----

void ObjectEditClass::LoadStage() {
    ForgetAll();
    Dragging = false;
    if (!ImageHolder.HasStages())
        return;
    if (ScrBarObjectMap != nullptr) {
        const QSignalBlocker blocker(ScrBarObjectMap);
        ScrBarObjectMap->setValue(0);
    }
    SetRooms(0);
    ShowEditObject();
    ShowCounts();
    CreatePoint = {};
}

void ObjectEditClass::ReloadStage() {
    if (!ImageHolder.HasStages() || !Prompts.AskYesNo(DialogParent(), Translated(ReloadQuestion)))
        return;
    const int stage = ImageHolder.CurrentStage();
    ChangeList list =
        Document.ReloadChanges(stage, ReloadScope::Objects, {stage, EditorTabId::Object, -1});
    list.SelectedBefore = CurrentSelection();
    list.SelectedAfter = {Room0Index, 0};
    Document.Apply(std::move(list), ReloadCaption);
    LoadStage();
}

// ---- Pointer ----

void ObjectEditClass::HitTest(int side, int x, int y) {
    const int room = side == 0 ? Room0Index : Room1Index;
    HoverObjectPrev = HoverObject;
    HoverObject = nullptr;
    if (!ImageHolder.HasStages())
        return;
    for (const ObjectNode& object : Stage().ObjectsOfPage(room)) {
        if (std::abs(x - object.X) <= HitRadius && std::abs(y - object.Y) <= HitRadius) {
            HoverObject = &object;
            HoverRoom = room;
            return;
        }
    }
}

void ObjectEditClass::SelectHovered() {
    EditObject = HoverObject;
    EditRoom = HoverRoom;
    ShowEditObject();
}

void ObjectEditClass::RoomMouseDown(int side, Qt::MouseButton button, int x, int y) {
    if (!ImageHolder.HasStages())
        return;
    if (button == Qt::LeftButton) {
        CreatePoint = {side, x, y};
        // The rooms may have scrolled under a resting pointer since its last move.
        HitTest(side, x, y);
        SelectHovered();
        // The moves of this press are one step.
        ++DragGesture;
        Dragging = HoverObject != nullptr;
        RefreshMarks();
        DrawEditMark();
    } else if (button == Qt::RightButton) {
        HitTest(side, x, y);
        RefreshMarks();
        DrawEditMark();
        PopupPoint = {side == 0 ? Room0Index : Room1Index, ClampByte(x), ClampByte(y)};
        PreparePopupMenu();
        if (PopupMenuObjectEdit != nullptr) {
            TImageEx* image = RoomImages[static_cast<std::size_t>(side)];
            Prompts.PopupMenu(PopupMenuObjectEdit, image->mapToGlobal(QPoint(x, y)));
        }
    }
}

void ObjectEditClass::RoomMouseMove(int side, Qt::MouseButtons buttons,
                                    Qt::KeyboardModifiers modifiers, int x, int y) {
    if (!ImageHolder.HasStages())
        return;
    TImageEx* image = RoomImages[static_cast<std::size_t>(side)];
    const bool leftHeld = buttons.testFlag(Qt::LeftButton);
    if (leftHeld && HoverObject != nullptr) {
        image->ShowHint(false);
        const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
        const bool shift = modifiers.testFlag(Qt::ShiftModifier);
        if (ctrl && shift)
            return;
        if (ctrl) {
            x = SnapDown(x, 8);
            y = SnapDown(y, 8);
        } else if (shift) {
            x = SnapDown(x, 4);
            y = SnapDown(y, 4);
        }
        DragTo(x, y);
    } else if (!leftHeld) {
        HitTest(side, x, y);
        if (ChkPopupHint != nullptr && ChkPopupHint->isChecked()) {
            const QString hint = HintText(side);
            image->SetHintText(hint);
            image->ShowHint(!hint.isEmpty());
        } else {
            image->ShowHint(false);
        }
    }
    RefreshMarks();
    DrawEditMark();
}

QString ObjectEditClass::HintText(int side) const {
    if (HoverObject == nullptr)
        return {};
    const int room = side == 0 ? Room0Index : Room1Index;
    QStringList lines;
    lines << Translated(QT_TRANSLATE_NOOP("ObjectEditClass", "設置番号:")) +
                 HexText::Two(Stage().ObjectIndexOf(HoverObject, room))
          << Translated(QT_TRANSLATE_NOOP("ObjectEditClass", "X座標:")) +
                 HexText::Two(HoverObject->X)
          << Translated(QT_TRANSLATE_NOOP("ObjectEditClass", "Y座標:")) +
                 HexText::Two(HoverObject->Y)
          << Translated(QT_TRANSLATE_NOOP("ObjectEditClass", "種類:"))
          << ObjectCaption(HoverObject->Type);
    if (HoverObject->Type == ScrollObjectType) {
        QString scroll = ScrollCaptionOf(HoverObject->Y);
        scroll.replace('\t', LineBreak);
        lines << "------" << scroll;
    }
    return lines.join(LineBreak);
}

void ObjectEditClass::PreparePopupMenu() {
    const bool hovered = HoverObject != nullptr;
    const bool copied = CopiedType >= 0;
    if (MenuCreateObject != nullptr)
        MenuCreateObject->setEnabled(true);
    if (MenuCopyObject != nullptr)
        MenuCopyObject->setEnabled(hovered);
    if (MenuCutObject != nullptr)
        MenuCutObject->setEnabled(hovered);
    if (MenuRemoveObject != nullptr)
        MenuRemoveObject->setEnabled(hovered);
    if (MenuPasteObject != nullptr) {
        MenuPasteObject->setEnabled(copied);
        MenuPasteObject->setText(
            copied ? Translated(QT_TRANSLATE_NOOP("ObjectEditClass", "オブジェクト(%1)を貼り付け"))
                         .arg(HexText::Two(CopiedType))
                   : Translated(QT_TRANSLATE_NOOP("ObjectEditClass", "オブジェクトを貼り付け")));
    }
}

// A hint on show keeps the words it was made with until the pointer moves: made again.
void ObjectEditClass::ShowHintAgain() {
    for (int side = 0; side < static_cast<int>(RoomImages.size()); ++side) {
        TImageEx* image = RoomImages[static_cast<std::size_t>(side)];
        const int room = side == 0 ? Room0Index : Room1Index;
        if (image != nullptr && image->HintShown() && HoverObject != nullptr && room == HoverRoom)
            image->SetHintText(HintText(side));
    }
}

// ---- Panel ----

void ObjectEditClass::ShowEditObject() {
    const bool selected = EditObject != nullptr;
    if (selected) {
        SetText(LblObjectIndex, HexText::Two(Stage().ObjectIndexOf(EditObject, EditRoom)));
        SetText(LblObjectScreen, HexText::Two(EditRoom));
        SetText(LblObjectX, HexText::Two(EditObject->X));
        SetText(LblObjectY, HexText::Two(EditObject->Y));
        SelectItem(CBSelectObject, EditObject->Type);
        const bool scroll = EditObject->Type == ScrollObjectType;
        SelectItem(CBSelectScroll, scroll ? EditObject->Y : -1);
        SetEnabled(CBSelectScroll, scroll);
    } else {
        for (QLabel* label : {LblObjectIndex, LblObjectScreen, LblObjectX, LblObjectY})
            SetText(label, NoValue);
        SelectItem(CBSelectObject, -1);
        SelectItem(CBSelectScroll, -1);
        SetEnabled(CBSelectScroll, false);
    }
    SetEnabled(CBSelectObject, selected);
    SetEnabled(BtnObjectCreate, !selected);
    SetEnabled(BtnObjectRemove, selected);
    SetEnabled(UDObjectX, selected);
    SetEnabled(UDObjectY, selected);
}

void ObjectEditClass::ShowCounts() {
    if (!ImageHolder.HasStages())
        return;
    SetText(LblObjectRoom, HexText::Two(Room0Index) + "-" + HexText::Two(Room1Index));
    SetText(LblObjectNum, QString::number(Stage().ObjectCountOfPage(Room0Index)) + "-" +
                              QString::number(Stage().ObjectCountOfPage(Room1Index)));
    SetText(LblObjectSum,
            QString::number(Stage().ObjectTotal()) + " / " + QString::number(MaxObjectsPerStage));
    SetText(LblAllObjectSum,
            QString::number(AllStagesTotal()) + " / " + QString::number(MaxObjectsInAllStages));
}

bool ObjectEditClass::CanCreate() const {
    return ImageHolder.HasStages() && Stage().ObjectTotal() < MaxObjectsPerStage &&
           AllStagesTotal() < MaxObjectsInAllStages;
}

// ---- Editing ----

void ObjectEditClass::CreateObjectAtClick() {
    if (!ImageHolder.HasStages())
        return;
    if (!CanCreate()) {
        Prompts.ShowMessage(DialogParent(), Translated(LimitMessage));
        return;
    }
    const int room = Room0Index + CreatePoint.Side;
    const ObjectRecord created{Stage().NextFreeObjectId(),
                               static_cast<std::uint8_t>(ClampByte(CreatePoint.X)),
                               static_cast<std::uint8_t>(ClampByte(CreatePoint.Y)), 0};
    std::vector<ObjectRecord> after = Stage().PageRecords(room);
    after.push_back(created);
    if (SortsByX())
        StageData::SortRecordsByX(after);
    ApplyPage(room, std::move(after), {room, created.Id}, CreateCaption);
}

void ObjectEditClass::AddAtPopupPoint(int type, const char* caption) {
    if (!ImageHolder.HasStages())
        return;
    if (!CanCreate()) {
        Prompts.ShowMessage(DialogParent(), Translated(LimitMessage));
        return;
    }
    const int room = PopupPoint.Room;
    std::vector<ObjectRecord> after = Stage().PageRecords(room);
    after.push_back({Stage().NextFreeObjectId(), static_cast<std::uint8_t>(PopupPoint.X),
                     static_cast<std::uint8_t>(PopupPoint.Y), static_cast<std::uint8_t>(type)});
    if (SortsByX())
        StageData::SortRecordsByX(after);
    ApplyPage(room, std::move(after), CurrentSelection(), caption);
}

void ObjectEditClass::CreateObjectAtPopup() {
    AddAtPopupPoint(0, CreateCaption);
}

void ObjectEditClass::CopyObject() {
    if (HoverObject != nullptr)
        CopiedType = HoverObject->Type;
}

void ObjectEditClass::TakeClipboardType(int type) {
    if (type >= 0 && type <= 0xFF)
        CopiedType = type;
}

void ObjectEditClass::CutObject() {
    CopyObject();
    if (HoverObject != nullptr)
        RemoveFromPage(HoverObject, PopupPoint.Room, CutCaption);
}

void ObjectEditClass::PasteObject() {
    if (CopiedType >= 0)
        AddAtPopupPoint(CopiedType, PasteCaption);
}

void ObjectEditClass::RemoveHovered() {
    if (HoverObject != nullptr)
        RemoveFromPage(HoverObject, PopupPoint.Room, RemoveCaption);
}

void ObjectEditClass::RemoveFromPage(const ObjectNode* node, int page, const char* caption) {
    if (!ImageHolder.HasStages() || node == nullptr)
        return;
    const std::uint32_t id = node->Id;
    std::vector<ObjectRecord> after = Stage().PageRecords(page);
    std::erase_if(after, [id](const ObjectRecord& record) { return record.Id == id; });
    ObjectSelection selectedAfter = CurrentSelection();
    if (selectedAfter.Id == id)
        selectedAfter = {};
    ApplyPage(page, std::move(after), selectedAfter, caption);
}

void ObjectEditClass::RemoveEditObject() {
    if (EditObject == nullptr || !ImageHolder.HasStages())
        return;
    RemoveFromPage(EditObject, EditRoom, RemoveCaption);
}

// The panel follows at once (the scroll list opens or closes with type 80).
void ObjectEditClass::SetEditType(int type) {
    if (EditObject == nullptr || type < 0 || EditObject->Type == type)
        return;
    ChangeObject(EditRoom, EditObject->Id, TypeCaption, ChangeList::Merge::Never,
                 [type](ObjectRecord& record) { record.Type = static_cast<std::uint8_t>(type); });
}

void ObjectEditClass::SetEditScroll(int value) {
    if (EditObject == nullptr || value < 0 || EditObject->Y == value)
        return;
    ChangeObject(EditRoom, EditObject->Id, ScrollCaption, ChangeList::Merge::Never,
                 [value](ObjectRecord& record) { record.Y = static_cast<std::uint8_t>(value); });
}

// A nudge against a bound changes nothing and makes no step.
void ObjectEditClass::NudgeX(int d) {
    if (EditObject == nullptr)
        return;
    const auto x = static_cast<std::uint8_t>(ClampByte(EditObject->X + d));
    ChangeObject(EditRoom, EditObject->Id, MoveCaption, ChangeList::Merge::Nudge,
                 [x](ObjectRecord& record) { record.X = x; });
}

void ObjectEditClass::NudgeY(int d) {
    if (EditObject == nullptr)
        return;
    const auto y = static_cast<std::uint8_t>(ClampByte(EditObject->Y + d));
    ChangeObject(EditRoom, EditObject->Id, MoveCaption, ChangeList::Merge::Nudge,
                 [y](ObjectRecord& record) { record.Y = y; });
}

void ObjectEditClass::ArrowX(int direction) {
    NudgeX(direction);
    RefreshMarks();
    DrawEditMark();
}

void ObjectEditClass::ArrowY(int direction) {
    NudgeY(direction);
    RefreshMarks();
    DrawEditMark();
}

// The object jumps to the pointer, not by the pointer's travel since the press. Every move of
// one press merges into one step.
void ObjectEditClass::DragTo(int x, int y) {
    if (HoverObject == nullptr || !Dragging)
        return;
    const int page = HoverRoom;
    const std::uint32_t id = HoverObject->Id;
    std::vector<ObjectRecord> after = Stage().PageRecords(page);
    for (ObjectRecord& record : after) {
        if (record.Id == id) {
            record.X = static_cast<std::uint8_t>(ClampByte(x));
            record.Y = static_cast<std::uint8_t>(ClampByte(y));
        }
    }
    if (SortsByX())
        StageData::SortRecordsByX(after);
    ApplyPage(page, std::move(after), CurrentSelection(), MoveCaption, ChangeList::Merge::Drag);
}

void ObjectEditClass::RoomMouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        Dragging = false;
}
