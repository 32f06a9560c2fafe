#include "document/LevelDocument.h"
#include "mainform/TMainForm.h"

#include "32x32chipedit/Chip32x32EditClass.h"
#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "mapsetedit/MapSetEditClass.h"
#include "showUnusedChipNumForm/TShowUnusedChipNumForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Room for the longest attribute caption ("10 W3カプセル中？").
constexpr int PropertyLabelWidth = 150;
constexpr int IndexLabelWidth = 20;
constexpr int UpDownWidth = 17;
constexpr int UpDownHeight = 30;

QLabel* NumberLabel() {
    auto* label = new QLabel("00");
    label->setFixedWidth(IndexLabelWidth);
    return label;
}

QLabel* PropertyLabel() {
    auto* label = new QLabel;
    label->setMinimumWidth(PropertyLabelWidth);
    return label;
}

} // namespace

void TMainForm::Create32x32ChipTab() {
    ImgEdit32x32ChipView = new TImageEx;
    Img16x16ChipTable = new TImageEx;
    ImgEdit32x32Chip = new TImageEx;
    ImgSelect16x16Chip = new TImageEx;
    // The views take their surfaces' sizes; until then they keep their place at that size.
    ImgEdit32x32ChipView->setFixedSize(Chip32x32EditClass::ViewWidth,
                                       Chip32x32EditClass::ViewHeight);
    Img16x16ChipTable->setFixedSize(Chip32x32EditClass::ChipTableSize,
                                    Chip32x32EditClass::ChipTableSize);
    ImgEdit32x32Chip->setFixedSize(Chip32x32EditClass::EditChipSize,
                                   Chip32x32EditClass::EditChipSize);
    ImgSelect16x16Chip->setFixedSize(Chip32x32EditClass::SelectChipSize,
                                     Chip32x32EditClass::SelectChipSize);

    UDChange32x32ChipView = new TUpDown(Qt::Vertical);
    UDChange32x32ChipView->setFixedSize(UpDownWidth, UpDownHeight);
    LblEdit32x32ChipView = new QLabel(Chip32x32EditClass::FirstHalfCaption);
    LblSelect32x32ChipIndex = NumberLabel();
    for (std::size_t q = 0; q < LblStructChipIndex.size(); ++q) {
        LblStructChipIndex[q] = NumberLabel();
        LblStructChipProperty[q] = PropertyLabel();
    }
    LblSelect16x16ChipIndex = NumberLabel();
    LblSelect16x16ChipProperty = PropertyLabel();
    Chk32x32ChipEditDrawGrid = Captions.Set(new QCheckBox, QT_TR_NOOP("グリッド線の描画"));
    Button2 = Captions.Set(new QPushButton, QT_TR_NOOP("再読み込み"));
    BtnUnused32x32ChipChk = Captions.Set(new QPushButton, QT_TR_NOOP("未使用チップ番号表示"));

    // The edited chip: enlarged picture, its number, its four parts and their attributes.
    auto* editGroup = Captions.Set(new QGroupBox, QT_TR_NOOP("編集対象チップ"));
    auto* editLayout = new QGridLayout(editGroup);
    editLayout->addWidget(ImgEdit32x32Chip, 0, 0, 3, 1, Qt::AlignTop);
    editLayout->addWidget(new QLabel("No:"), 0, 1, Qt::AlignRight);
    editLayout->addWidget(LblSelect32x32ChipIndex, 0, 2);
    editLayout->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("  構成チップNo:")), 1, 1,
                          Qt::AlignRight | Qt::AlignTop);
    auto* structIndexLayout = new QGridLayout;
    structIndexLayout->setHorizontalSpacing(6);
    for (int q = 0; q < 4; ++q)
        structIndexLayout->addWidget(LblStructChipIndex[static_cast<std::size_t>(q)], q / 2, q % 2);
    editLayout->addLayout(structIndexLayout, 1, 2, Qt::AlignLeft | Qt::AlignTop);
    editLayout->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("構成チップ属性:")), 2, 1,
                          Qt::AlignRight | Qt::AlignTop);
    auto* structPropertyLayout = new QVBoxLayout;
    structPropertyLayout->setSpacing(2);
    for (QLabel* label : LblStructChipProperty)
        structPropertyLayout->addWidget(label);
    editLayout->addLayout(structPropertyLayout, 2, 2, Qt::AlignLeft | Qt::AlignTop);
    editLayout->setColumnStretch(3, 1);

    // The selected 16x16 chip.
    auto* selectGroup = Captions.Set(new QGroupBox, QT_TR_NOOP("選択チップ"));
    auto* selectLayout = new QGridLayout(selectGroup);
    selectLayout->addWidget(ImgSelect16x16Chip, 0, 0, 2, 1, Qt::AlignTop);
    selectLayout->addWidget(new QLabel("  No:"), 0, 1, Qt::AlignRight);
    selectLayout->addWidget(LblSelect16x16ChipIndex, 0, 2);
    selectLayout->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("属性:")), 1, 1, Qt::AlignRight);
    selectLayout->addWidget(LblSelect16x16ChipProperty, 1, 2);
    selectLayout->setColumnStretch(3, 1);
    selectGroup->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    // Under the view: which half it shows, and the grid.
    auto* viewBar = new QHBoxLayout;
    viewBar->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("表示切替")));
    viewBar->addWidget(UDChange32x32ChipView);
    viewBar->addWidget(LblEdit32x32ChipView);
    viewBar->addSpacing(24);
    viewBar->addWidget(Chk32x32ChipEditDrawGrid);
    viewBar->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(ImgEdit32x32ChipView, 0, Qt::AlignLeft);
    left->addLayout(viewBar);
    left->addWidget(editGroup);
    left->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button2);
    buttons->addWidget(BtnUnused32x32ChipChk);
    LblChip32x32UseCount = NewUseCountLabel(
        QCoreApplication::translate("Chip32x32EditClass", Chip32x32EditClass::UseCountCaption));
    buttons->addWidget(LblChip32x32UseCount);
    buttons->addStretch();

    // The 16x16 chips to pick from, with the one picked right below.
    auto* right = new QVBoxLayout;
    right->addWidget(Img16x16ChipTable, 0, Qt::AlignLeft);
    right->addWidget(selectGroup);
    right->addLayout(buttons);
    right->addStretch();

    auto* layout = new QHBoxLayout(ScrollingContent(Tab32x32ChipEdit));
    layout->addLayout(left);
    layout->addSpacing(12);
    layout->addLayout(right);
    layout->addStretch();
}

void TMainForm::Create32x32ChipEditor() {
    Chip32x32Edit = std::make_unique<Chip32x32EditClass>(*Document, Graphics(), Prompts());
    Chip32x32EditClass& editor = *Chip32x32Edit;
    editor.BindImages({.ChipTable = Img16x16ChipTable,
                       .ChipView = ImgEdit32x32ChipView,
                       .EditChip = ImgEdit32x32Chip,
                       .SelectChip = ImgSelect16x16Chip});
    editor.BindUpDown(UDChange32x32ChipView);
    editor.BindLabels({.EditView = LblEdit32x32ChipView,
                       .Select16x16Index = LblSelect16x16ChipIndex,
                       .Select16x16Property = LblSelect16x16ChipProperty,
                       .StructIndex = LblStructChipIndex,
                       .StructProperty = LblStructChipProperty,
                       .Select32x32Index = LblSelect32x32ChipIndex,
                       .UseCount = LblChip32x32UseCount});
    editor.BindGridCheckBox(Chk32x32ChipEditDrawGrid);

    connect(ImgEdit32x32ChipView, &TImageEx::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
                // A plain left press also picks the chip the map-set tab places.
                const int chip = Chip32x32Edit->ChipViewMouseDown(button, modifiers, x, y);
                if (chip >= 0) {
                    // Loading a new stage there later would put the pick back to chip 0.
                    EnsureStageLoaded(TabOf(TabMapSetEdit));
                    MapSetEdit->SetPlaceChipIndex(chip);
                }
            });
    connect(ImgEdit32x32ChipView, &TImageEx::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                Chip32x32Edit->ChipViewMouseMove(x, y);
            });
    connect(ImgEdit32x32ChipView, &TImageEx::mouseLeave, this,
            [this](TImageEx*) { Chip32x32Edit->ChipViewMouseLeave(); });

    connect(ImgEdit32x32Chip, &TImageEx::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                Chip32x32Edit->EditChipMouseDown(button, x, y);
            });
    connect(ImgEdit32x32Chip, &TImageEx::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                Chip32x32Edit->EditChipMouseMove(x, y);
            });
    connect(ImgEdit32x32Chip, &TImageEx::mouseLeave, this,
            [this](TImageEx*) { Chip32x32Edit->EditChipMouseLeave(); });

    connect(Img16x16ChipTable, &TImageEx::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                Chip32x32Edit->ChipTableMouseDown(button, x, y);
            });
    connect(Img16x16ChipTable, &TImageEx::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                Chip32x32Edit->ChipTableMouseMove(x, y);
            });
    connect(Img16x16ChipTable, &TImageEx::mouseLeave, this,
            [this](TImageEx*) { Chip32x32Edit->ChipTableMouseLeave(); });

    connect(UDChange32x32ChipView, &TUpDown::upClicked, this,
            [this] { Chip32x32Edit->SetViewHalf(0); });
    connect(UDChange32x32ChipView, &TUpDown::downClicked, this,
            [this] { Chip32x32Edit->SetViewHalf(1); });
    connect(Button2, &QPushButton::clicked, this, [this] { Chip32x32Edit->ReloadStage(); });
    connect(Chk32x32ChipEditDrawGrid, &QCheckBox::toggled, this, [this](bool) {
        // At start-up the stored setting is applied before any editor exists.
        if (!ApplyingSettings())
            Chip32x32Edit->DrawView();
    });

    connect(BtnUnused32x32ChipChk, &QPushButton::clicked, this, [this] {
        ShowUnusedChipNumForm->ShowReport(Prompts(), TShowUnusedChipNumForm::Unused32x32ChipMessage,
                                          [this] { return Chip32x32Edit->UnusedChipList(); });
    });
}
