#include "document/LevelDocument.h"
#include "mainform/TMainForm.h"

#include "16x16chipedit/Chip16x16EditClass.h"
#include "ImageEx/TImageEx.h"
#include "ImageEx/TRadioGroup.h"
#include "base/LevelFormat.h"
#include "showUnusedChipNumForm/TShowUnusedChipNumForm.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QLabel* NumberLabel() {
    auto* label = new QLabel("00");
    label->setMinimumWidth(20);
    return label;
}

TImageEx* View(int size) {
    auto* view = new TImageEx;
    view->setFixedSize(size, size);
    return view;
}

} // namespace

void TMainForm::Create16x16ChipTab() {
    auto* grid = new QGridLayout(ScrollingContent(Tab16x16ChipEdit));
    grid->setHorizontalSpacing(12);

    ImgBGBankTable = View(Chip16x16EditClass::TableViewSize);
    ImgEdit16x16ChipView = View(Chip16x16EditClass::TableViewSize);
    ImgEdit16x16Chip = View(Chip16x16EditClass::EditChipViewSize);
    ImgSelectTile = View(Chip16x16EditClass::SelectTileViewSize);
    grid->addWidget(ImgBGBankTable, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(ImgEdit16x16ChipView, 0, 1, Qt::AlignLeft | Qt::AlignTop);

    // Under the tile table: the PT write number.
    auto* bgGroup = Captions.Set(new QGroupBox, QT_TR_NOOP("BG表示切り替え"));
    auto* bgLayout = new QGridLayout(bgGroup);
    LblSelectScrollIndex = NumberLabel();
    ScrBarSelectScrollIndex = new QScrollBar(Qt::Horizontal);
    ScrBarSelectScrollIndex->setRange(0, Chip16x16EditClass::ScrollIndexMaximum);
    bgLayout->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("PT書き込み番号:")), 0, 0);
    bgLayout->addWidget(LblSelectScrollIndex, 0, 1);
    bgLayout->addWidget(ScrBarSelectScrollIndex, 1, 0, 1, 2);
    bgLayout->setColumnStretch(1, 1);
    grid->addWidget(bgGroup, 1, 0, Qt::AlignTop);

    // Under the chip table: the chip-set switch and the reload.
    auto* commands = new QHBoxLayout;
    auto* switchGroup = Captions.Set(new QGroupBox, QT_TR_NOOP("チップ表示切り替え"));
    auto* switchLayout = new QVBoxLayout(switchGroup);
    BtnSwitch16X16ChipSet = new QPushButton(Chip16x16EditClass::SwitchToDestroyedCaption);
    switchLayout->addWidget(BtnSwitch16X16ChipSet);
    commands->addWidget(switchGroup, 1);
    Button1 = Captions.Set(new QPushButton, QT_TR_NOOP("再読み込み"));
    commands->addWidget(Button1, 0, Qt::AlignBottom);
    grid->addLayout(commands, 1, 1, Qt::AlignTop);

    // Right column: the edited chip, the selected tile, the attribute radio groups.
    auto* right = new QVBoxLayout;
    auto* selections = new QHBoxLayout;
    auto* chipGroup = Captions.Set(new QGroupBox, QT_TR_NOOP("編集対象チップ"));
    auto* chipLayout = new QGridLayout(chipGroup);
    LblSelectChipIndex = NumberLabel();
    for (QLabel*& label : LblSelectChipTile)
        label = NumberLabel();
    LblSelectChipProperty = NumberLabel();
    chipLayout->addWidget(ImgEdit16x16Chip, 0, 0, 4, 1, Qt::AlignTop);
    chipLayout->addWidget(new QLabel("  No:"), 0, 1);
    chipLayout->addWidget(LblSelectChipIndex, 0, 2);
    chipLayout->addWidget(new QLabel("Tile:"), 1, 1);
    chipLayout->addWidget(LblSelectChipTile[0], 1, 2);
    chipLayout->addWidget(LblSelectChipTile[1], 1, 3);
    chipLayout->addWidget(LblSelectChipTile[2], 2, 2);
    chipLayout->addWidget(LblSelectChipTile[3], 2, 3);
    chipLayout->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("属性:")), 3, 1);
    chipLayout->addWidget(LblSelectChipProperty, 3, 2);
    chipLayout->setColumnStretch(4, 1);
    selections->addWidget(chipGroup);
    auto* tileGroup = Captions.Set(new QGroupBox, QT_TR_NOOP("選択タイル"));
    auto* tileLayout = new QGridLayout(tileGroup);
    LblSelectBGBankTileIndex = NumberLabel();
    tileLayout->addWidget(ImgSelectTile, 0, 0, 2, 1, Qt::AlignTop);
    tileLayout->addWidget(new QLabel("No:"), 0, 1);
    tileLayout->addWidget(LblSelectBGBankTileIndex, 0, 2);
    tileLayout->setRowStretch(1, 1);
    selections->addWidget(tileGroup, 0, Qt::AlignTop);
    right->addLayout(selections);

    QStringList types;
    for (int i = 0; i < LevelFormat::AttributeTypeCount; ++i)
        types << QString::number(i, 16).toUpper() + "x";
    RGChipPropertySelect =
        Captions.Set(new TRadioGroup(QString(), types, 2), QT_TR_NOOP("チップ属性"));
    right->addWidget(RGChipPropertySelect);

    RGPaletteSelect = Captions.Set(new TRadioGroup(QString(), {"x0", "x1", "x2", "x3"}, 4),
                                   QT_TR_NOOP("使用パレット"));
    // Each sub-palette's four colours sit under its item.
    auto* paletteGrid = static_cast<QGridLayout*>(RGPaletteSelect->layout());
    for (int group = 0; group < 4; ++group) {
        auto* swatches = new QHBoxLayout;
        swatches->setSpacing(1);
        for (int k = 0; k < 4; ++k) {
            auto* panel = new QFrame;
            panel->setFixedSize(16, 16);
            panel->setFrameShape(QFrame::Box);
            panel->setAutoFillBackground(true);
            PanelPaletteColor[static_cast<std::size_t>(group * 4 + k)] = panel;
            swatches->addWidget(panel);
        }
        swatches->addStretch(1);
        paletteGrid->addLayout(swatches, 1, group);
    }
    right->addWidget(RGPaletteSelect);
    auto* reports = new QHBoxLayout;
    BtnUnused16x16ChipChk = Captions.Set(new QPushButton, QT_TR_NOOP("未使用チップ番号表示"));
    BtnUnusedTileChk = Captions.Set(new QPushButton, QT_TR_NOOP("未使用タイル番号表示"));
    reports->addWidget(BtnUnused16x16ChipChk);
    reports->addWidget(BtnUnusedTileChk);
    LblChip16x16UseCount = NewUseCountLabel(
        QCoreApplication::translate("Chip16x16EditClass", Chip16x16EditClass::UseCountCaption));
    reports->addWidget(LblChip16x16UseCount);
    reports->addStretch(1);
    right->addLayout(reports);
    right->addStretch(1);
    grid->addLayout(right, 0, 2, 2, 1);

    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);

    // The bank bars are never shown.
    ScrBarBGBank0 = new QScrollBar(Qt::Horizontal, Tab16x16ChipEdit);
    ScrBarBGBank1 = new QScrollBar(Qt::Horizontal, Tab16x16ChipEdit);
    ScrBarBGBank0->hide();
    ScrBarBGBank1->hide();
}

void TMainForm::Create16x16ChipEditor() {
    Chip16x16Edit = std::make_unique<Chip16x16EditClass>(*Document, Graphics(), Prompts());
    Chip16x16EditClass* edit = Chip16x16Edit.get();
    edit->BindImages({.BankTable = ImgBGBankTable,
                      .ChipView = ImgEdit16x16ChipView,
                      .EditChip = ImgEdit16x16Chip,
                      .SelectTile = ImgSelectTile});
    edit->BindPanels(PanelPaletteColor);
    edit->BindLabels({.SelectChipIndex = LblSelectChipIndex,
                      .SelectBankTileIndex = LblSelectBGBankTileIndex,
                      .SelectChipTiles = LblSelectChipTile,
                      .SelectChipProperty = LblSelectChipProperty,
                      .SelectScrollIndex = LblSelectScrollIndex,
                      .UseCount = LblChip16x16UseCount});
    edit->BindRadioGroups(RGChipPropertySelect, RGPaletteSelect);
    edit->BindScrollBar(ScrBarSelectScrollIndex);
    edit->BindSwitchButton(BtnSwitch16X16ChipSet);

    connect(ImgBGBankTable, &TImageEx::mouseDown, this,
            [edit](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                edit->BankTableMouseDown(button, x, y);
            });
    connect(ImgEdit16x16ChipView, &TImageEx::mouseDown, this,
            [edit](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                edit->ChipViewMouseDown(button, x, y);
            });
    connect(ImgEdit16x16Chip, &TImageEx::mouseDown, this,
            [edit](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                edit->EditChipMouseDown(button, x, y);
            });
    connect(ImgBGBankTable, &TImageEx::mouseMove, this,
            [edit](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                edit->BankTableMouseMove(x, y);
            });
    connect(ImgEdit16x16ChipView, &TImageEx::mouseMove, this,
            [edit](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                edit->ChipViewMouseMove(x, y);
            });
    connect(ImgEdit16x16Chip, &TImageEx::mouseMove, this,
            [edit](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                edit->EditChipMouseMove(x, y);
            });
    connect(ImgBGBankTable, &TImageEx::mouseLeave, this, [edit] { edit->BankTableMouseLeave(); });
    connect(ImgEdit16x16ChipView, &TImageEx::mouseLeave, this,
            [edit] { edit->ChipViewMouseLeave(); });
    connect(ImgEdit16x16Chip, &TImageEx::mouseLeave, this, [edit] { edit->EditChipMouseLeave(); });

    // A click on a radio item leaves the keyboard focus on that item while the tab is shown.
    const auto focusItem = [this](TRadioGroup* group, int index) {
        if (EditPageControl->currentWidget() == Tab16x16ChipEdit)
            if (QRadioButton* item = group->Item(index))
                item->setFocus();
    };
    connect(RGChipPropertySelect, &TRadioGroup::itemClicked, this, [this, edit, focusItem](int i) {
        focusItem(RGChipPropertySelect, i);
        edit->SetChipProperty();
    });
    connect(RGPaletteSelect, &TRadioGroup::itemClicked, this, [this, edit, focusItem](int i) {
        focusItem(RGPaletteSelect, i);
        edit->SetChipPalette();
    });
    connect(ScrBarSelectScrollIndex, &QScrollBar::valueChanged, this,
            [edit](int position) { edit->SelectScrollIndexChanged(position); });
    connect(Button1, &QPushButton::clicked, this, [edit] { edit->ReloadStage(); });
    connect(BtnSwitch16X16ChipSet, &QPushButton::clicked, this, [edit] { edit->SwitchChipSet(); });
    connect(BtnUnused16x16ChipChk, &QPushButton::clicked, this, [this, edit] {
        ShowUnusedChipNumForm->ShowReport(Prompts(), TShowUnusedChipNumForm::Unused16x16ChipMessage,
                                          [edit] { return edit->UnusedChipList(); });
    });
    connect(BtnUnusedTileChk, &QPushButton::clicked, this, [this, edit] {
        ShowUnusedChipNumForm->ShowReport(Prompts(), TShowUnusedChipNumForm::UnusedTileMessage,
                                          [edit] { return edit->UnusedTileList(); });
    });
}
