#include "document/LevelDocument.h"
#include "mainform/TMainForm.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "mainform/BuiltInLists.h"
#include "objectedit/ObjectEditClass.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int RoomViewSize = 256;
constexpr int ListWidth = 220;
constexpr int ValueWidth = 40;

QLabel* ValueLabel() {
    auto* label = new QLabel("--");
    label->setMinimumWidth(ValueWidth);
    return label;
}

} // namespace

void TMainForm::CreateObjectTab() {
    ImgObjectMapPage0 = new TImageEx;
    ImgObjectMapPage1 = new TImageEx;
    for (TImageEx* image : {ImgObjectMapPage0, ImgObjectMapPage1})
        image->setFixedSize(RoomViewSize, RoomViewSize);
    ScrBarObjectMap = new QScrollBar(Qt::Horizontal);
    ScrBarObjectMap->setFixedWidth(2 * RoomViewSize);
    WidthsFollowingZoom.emplace_back(ScrBarObjectMap, 2 * RoomViewSize);
    ScrBarObjectMap->setPageStep(1);

    LblObjectRoom = ValueLabel();
    LblObjectNum = ValueLabel();
    LblObjectSum = new QLabel;
    LblAllObjectSum = new QLabel;
    LblObjectIndex = ValueLabel();
    LblObjectScreen = ValueLabel();
    LblObjectX = ValueLabel();
    LblObjectY = ValueLabel();

    CBSelectObject = new QComboBox;
    CBSelectObject->addItems(BuiltInLists::ObjectCaptions());
    CBSelectScroll = new QComboBox;
    CBSelectScroll->addItems(BuiltInLists::ScrollCaptions());
    for (QComboBox* list : {CBSelectObject, CBSelectScroll}) {
        list->setFixedWidth(ListWidth);
        list->setMaxVisibleItems(20);
    }
    UDObjectX = new TUpDown(Qt::Horizontal);
    UDObjectX->setFixedSize(40, 22);
    UDObjectY = new TUpDown(Qt::Vertical);
    UDObjectY->setFixedSize(20, 30);
    BtnObjectCreate = Captions.Set(new QPushButton, QT_TR_NOOP("新規作成"));
    BtnObjectRemove = Captions.Set(new QPushButton, QT_TR_NOOP("削除"));
    ChkSortObjectList = Captions.Set(new QCheckBox, QT_TR_NOOP("オブジェクトを自動で並び替える"));
    ChkPopupHint = Captions.Set(new QCheckBox, QT_TR_NOOP("ポップアップでオブジェクト情報を表示"));
    BtnObjectEditReload = Captions.Set(new QPushButton, QT_TR_NOOP("再読み込み"));

    PopupMenuObjectEdit = new QMenu(this);
    MenuCreateObject = Captions.Set(PopupMenuObjectEdit->addAction(QString()),
                                    QT_TR_NOOP("オブジェクトの新規作成"));
    MenuCopyObject = Captions.Set(PopupMenuObjectEdit->addAction(QString()),
                                  QT_TR_NOOP("このオブジェクトをコピー"));
    MenuCutObject = Captions.Set(PopupMenuObjectEdit->addAction(QString()),
                                 QT_TR_NOOP("このオブジェクトを切り取り"));
    MenuPasteObject = Captions.Set(PopupMenuObjectEdit->addAction(QString()),
                                   QT_TR_NOOP("オブジェクトを貼り付け"));
    MenuRemoveObject = Captions.Set(PopupMenuObjectEdit->addAction(QString()),
                                    QT_TR_NOOP("このオブジェクトを削除"));
    N9 = Captions.Set(PopupMenuObjectEdit->addAction(QString()), QT_TR_NOOP("キャンセル"));

    // Left: the two rooms side by side, their scroll bar and the counts.
    auto* rooms = new QHBoxLayout;
    rooms->setSpacing(0);
    rooms->addWidget(ImgObjectMapPage0);
    rooms->addWidget(ImgObjectMapPage1);
    rooms->addStretch();

    auto* counts = new QGridLayout;
    counts->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("表示中の部屋:")), 0, 0);
    counts->addWidget(LblObjectRoom, 0, 1);
    counts->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("部屋のオブジェクト数:")), 0, 2);
    counts->addWidget(LblObjectNum, 0, 3);
    counts->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("ステージのオブジェクト数:")), 1, 0);
    counts->addWidget(LblObjectSum, 1, 1);
    counts->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("全ステージのオブジェクト数:")), 1, 2);
    counts->addWidget(LblAllObjectSum, 1, 3);
    counts->setColumnMinimumWidth(1, 80);
    counts->setColumnStretch(4, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(rooms);
    left->addWidget(ScrBarObjectMap);
    left->addSpacing(6);
    left->addLayout(counts);
    left->addStretch();

    // Right: the selected object, the commands and the options.
    auto* selected = Captions.Set(new QGroupBox, QT_TR_NOOP("選択中のオブジェクト"));
    auto* panel = new QGridLayout(selected);
    const std::pair<const char*, QLabel*> rows[] = {{QT_TR_NOOP("設置番号:"), LblObjectIndex},
                                                    {QT_TR_NOOP("部屋:"), LblObjectScreen},
                                                    {QT_TR_NOOP("X座標:"), LblObjectX},
                                                    {QT_TR_NOOP("Y座標:"), LblObjectY}};
    int row = 0;
    for (const auto& [caption, value] : rows) {
        panel->addWidget(Captions.Set(new QLabel, caption), row, 0);
        panel->addWidget(value, row, 1);
        ++row;
    }
    panel->addWidget(UDObjectX, 2, 2, Qt::AlignLeft);
    panel->addWidget(UDObjectY, 3, 2, Qt::AlignLeft);
    panel->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("種類:")), row, 0);
    panel->addWidget(CBSelectObject, row, 1, 1, 3);
    ++row;
    panel->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("スクロール:")), row, 0);
    panel->addWidget(CBSelectScroll, row, 1, 1, 3);
    ++row;
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnObjectCreate);
    buttons->addWidget(BtnObjectRemove);
    panel->addLayout(buttons, row, 0, 1, 4);
    panel->setColumnStretch(3, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(selected);
    right->addSpacing(6);
    right->addWidget(ChkSortObjectList);
    right->addWidget(ChkPopupHint);
    right->addStretch();
    right->addWidget(BtnObjectEditReload, 0, Qt::AlignRight);

    auto* layout = new QHBoxLayout(ScrollingContent(TabObjectEdit));
    layout->addLayout(left);
    layout->addSpacing(8);
    layout->addLayout(right);
    layout->addStretch();
}

void TMainForm::CreateObjectEditor() {
    ObjectEdit = std::make_unique<ObjectEditClass>(*Document, Graphics(), Prompts());
    ObjectEdit->BindRoomImages(ImgObjectMapPage0, ImgObjectMapPage1);
    ObjectEdit->BindScrollBar(ScrBarObjectMap);
    ObjectEdit->BindLabels({.Room = LblObjectRoom,
                            .Num = LblObjectNum,
                            .Sum = LblObjectSum,
                            .Index = LblObjectIndex,
                            .Screen = LblObjectScreen,
                            .X = LblObjectX,
                            .Y = LblObjectY,
                            .AllSum = LblAllObjectSum});
    ObjectEdit->BindLists(CBSelectObject, CBSelectScroll);
    ObjectEdit->BindUpDowns(UDObjectX, UDObjectY);
    ObjectEdit->BindButtons(BtnObjectCreate, BtnObjectRemove);
    ObjectEdit->BindCheckBoxes(ChkSortObjectList, ChkPopupHint);
    ObjectEdit->BindPopupMenu({.Menu = PopupMenuObjectEdit,
                               .Create = MenuCreateObject,
                               .Copy = MenuCopyObject,
                               .Cut = MenuCutObject,
                               .Paste = MenuPasteObject,
                               .Remove = MenuRemoveObject});

    const std::pair<TImageEx*, int> sides[] = {{ImgObjectMapPage0, 0}, {ImgObjectMapPage1, 1}};
    for (const auto& [image, side] : sides) {
        connect(image, &TImageEx::mouseDown, this,
                [this, side](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                    ObjectEdit->RoomMouseDown(side, button, x, y);
                });
        connect(image, &TImageEx::mouseMove, this,
                [this, side](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                             int y) { ObjectEdit->RoomMouseMove(side, buttons, modifiers, x, y); });
        connect(image, &TImageEx::mouseUp, this,
                [this](Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
                    ObjectEdit->RoomMouseUp(button);
                });
    }
    connect(ScrBarObjectMap, &QScrollBar::valueChanged, this,
            [this](int position) { ObjectEdit->SetRooms(position); });
    connect(CBSelectObject, &QComboBox::currentIndexChanged, this,
            [this](int index) { ObjectEdit->SetEditType(index); });
    connect(CBSelectScroll, &QComboBox::currentIndexChanged, this,
            [this](int index) { ObjectEdit->SetEditScroll(index); });
    connect(UDObjectX, &TUpDown::upClicked, this, [this] { ObjectEdit->ArrowX(+1); });
    connect(UDObjectX, &TUpDown::downClicked, this, [this] { ObjectEdit->ArrowX(-1); });
    connect(UDObjectY, &TUpDown::upClicked, this, [this] { ObjectEdit->ArrowY(-1); });
    connect(UDObjectY, &TUpDown::downClicked, this, [this] { ObjectEdit->ArrowY(+1); });
    connect(BtnObjectCreate, &QPushButton::clicked, this,
            [this] { ObjectEdit->CreateObjectAtClick(); });
    connect(BtnObjectRemove, &QPushButton::clicked, this,
            [this] { ObjectEdit->RemoveEditObject(); });
    connect(BtnObjectEditReload, &QPushButton::clicked, this,
            [this] { ObjectEdit->ReloadStage(); });
    connect(MenuCreateObject, &QAction::triggered, this,
            [this] { ObjectEdit->CreateObjectAtPopup(); });
    // Copy and cut also put the type on the clipboard; paste takes it from there.
    connect(MenuCopyObject, &QAction::triggered, this, [this] {
        ObjectEdit->CopyObject();
        PutObjectTypeOnClipboard();
    });
    connect(MenuCutObject, &QAction::triggered, this, [this] {
        ObjectEdit->CutObject();
        PutObjectTypeOnClipboard();
    });
    connect(MenuPasteObject, &QAction::triggered, this, [this] { PasteObjectFromClipboard(); });
    connect(MenuRemoveObject, &QAction::triggered, this, [this] { ObjectEdit->RemoveHovered(); });
}
