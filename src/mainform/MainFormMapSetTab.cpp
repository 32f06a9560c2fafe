#include "document/LevelDocument.h"
#include "mainform/TMainForm.h"

#include "ImageEx/TImageEx.h"
#include "edit_flag/EditFlagManagement.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "mapsetedit/MapSetEditClass.h"
#include "prompts/UserPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace {

constexpr int PageViewSize = MapSetEditClass::PageSize;
constexpr int NumberLabelWidth = 28;
constexpr int PropertyLabelWidth = 114;

// A two-digit number field: sunken, centred, wide enough for "FF".
QLabel* NewNumberLabel() {
    auto* label = new QLabel("00");
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedWidth(NumberLabelWidth);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

TImageEx* NewView(int size) {
    auto* view = new TImageEx;
    view->setFixedSize(size, size);
    return view;
}

// "Page0:" 00 [scroll bar], as wide as the page under it.
QWidget* PageSelector(const char* caption, QLabel* number, QScrollBar* bar) {
    auto* row = new QWidget;
    row->setFixedWidth(PageViewSize);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 8, 0);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(number);
    layout->addWidget(bar, 1);
    return row;
}

} // namespace

void TMainForm::CreateMapSetTab() {
    ImgEditMapSetPage0 = NewView(PageViewSize);
    ImgEditMapSetPage1 = NewView(PageViewSize);
    ImgSelect32x32Chip = NewView(MapSetEditClass::PlaceChipViewSize);
    Img32x32ChipTable = NewView(MapSetEditClass::ChipTableSize);
    LblMapSetPage0 = NewNumberLabel();
    LblMapSetPage1 = NewNumberLabel();
    LblMapSetSelect32x32ChipIndex = NewNumberLabel();
    LblMapSetStampSize = new QLabel("1x1");
    for (QLabel*& label : LblMapSetStructChipIndex)
        label = NewNumberLabel();
    for (QLabel*& label : LblMapSetStructChipProperty) {
        label = new QLabel;
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setFixedWidth(PropertyLabelWidth);
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    ScrBarMapSet = new QScrollBar(Qt::Horizontal);
    ScrBarSelectPage0 = new QScrollBar(Qt::Horizontal);
    ScrBarSelectPage1 = new QScrollBar(Qt::Horizontal);
    for (QScrollBar* bar : {ScrBarMapSet, ScrBarSelectPage0, ScrBarSelectPage1})
        bar->setPageStep(1);
    ChkMapSetEditDrawGrid = Captions.Set(new QCheckBox, QT_TR_NOOP("グリッド線の描画"));
    ChkMapSetFill = Captions.Set(new QCheckBox, QT_TR_NOOP("塗りつぶし"));
    Button3 = Captions.Set(new QPushButton, QT_TR_NOOP("再読み込み"));

    // The right-hand column: the chip to place with its four 16x16 chips.
    auto* selected = Captions.Set(new QGroupBox, QT_TR_NOOP("選択チップ"));
    selected->setFixedWidth(MapSetEditClass::ChipTableSize);
    auto* panel = new QGridLayout(selected);
    panel->addWidget(ImgSelect32x32Chip, 0, 0, 3, 1, Qt::AlignTop);
    panel->setColumnMinimumWidth(1, 4);
    panel->addWidget(new QLabel("No:"), 0, 2);
    panel->addWidget(LblMapSetSelect32x32ChipIndex, 0, 3, Qt::AlignLeft);
    // The stamp's size in cells beside its top-left chip.
    panel->addWidget(LblMapSetStampSize, 0, 4, Qt::AlignLeft);
    panel->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("構成チップNo:")), 1, 2, 1, 3);
    // The four 16x16 chips sit where they sit in the chip: 0 1 over 2 3.
    auto* indexSquare = new QGridLayout;
    indexSquare->setSpacing(2);
    for (int q = 0; q < 4; ++q)
        indexSquare->addWidget(LblMapSetStructChipIndex[static_cast<std::size_t>(q)], q / 2, q % 2);
    panel->addLayout(indexSquare, 2, 2, 1, 3, Qt::AlignLeft | Qt::AlignTop);
    panel->setColumnStretch(4, 1);
    panel->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("構成チップ属性:")), 3, 0, 1, 5);
    auto* propertySquare = new QGridLayout;
    propertySquare->setSpacing(2);
    for (int q = 0; q < 4; ++q)
        propertySquare->addWidget(LblMapSetStructChipProperty[static_cast<std::size_t>(q)], q / 2,
                                  q % 2);
    panel->addLayout(propertySquare, 4, 0, 1, 5, Qt::AlignLeft);

    auto* options = new QHBoxLayout;
    options->addWidget(ChkMapSetEditDrawGrid);
    options->addWidget(ChkMapSetFill);
    options->addStretch(1);
    options->addWidget(Button3);

    // The two pages side by side as one strip, each with its selector above it and the bar
    // that moves both below them; the chip table level with the pages.
    auto* grid = new QGridLayout(ScrollingContent(TabMapSetEdit));
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(4);
    grid->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("表示ページ")), 0, 0, 1, 2);
    // Each selector stays as wide as its page, whatever the zoom.
    const auto addSelector = [&](int column, const char* caption, QLabel* number, QScrollBar* bar) {
        QWidget* selector = PageSelector(caption, number, bar);
        WidthsFollowingZoom.emplace_back(selector, PageViewSize);
        grid->addWidget(selector, 1, column);
    };
    addSelector(0, "Page0:", LblMapSetPage0, ScrBarSelectPage0);
    addSelector(1, "Page1:", LblMapSetPage1, ScrBarSelectPage1);
    grid->addWidget(ImgEditMapSetPage0, 2, 0);
    grid->addWidget(ImgEditMapSetPage1, 2, 1);
    grid->addWidget(ScrBarMapSet, 3, 0, 1, 2);
    grid->addLayout(options, 4, 0, 1, 2);
    grid->setColumnMinimumWidth(2, 12);
    grid->addWidget(Img32x32ChipTable, 2, 3);
    grid->addWidget(selected, 3, 3, 3, 1, Qt::AlignTop);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(4, 1);
}

void TMainForm::CreateMapSetEditor() {
    MapSetEdit = std::make_unique<MapSetEditClass>(*Document, Graphics(), Prompts());
    MapSetEdit->BindImages({.Pages = {ImgEditMapSetPage0, ImgEditMapSetPage1},
                            .PlaceChip = ImgSelect32x32Chip,
                            .ChipTable = Img32x32ChipTable});
    MapSetEdit->BindLabels({.Pages = {LblMapSetPage0, LblMapSetPage1},
                            .PlaceChipIndex = LblMapSetSelect32x32ChipIndex,
                            .StructChipIndex = LblMapSetStructChipIndex,
                            .StructChipProperty = LblMapSetStructChipProperty,
                            .StampSize = LblMapSetStampSize});
    MapSetEdit->BindScrollBars(
        {.BothPages = ScrBarMapSet, .Pages = {ScrBarSelectPage0, ScrBarSelectPage1}});
    MapSetEdit->BindGridCheckBox(ChkMapSetEditDrawGrid);
    MapSetEdit->BindFillCheckBox(ChkMapSetFill);

    const std::array<TImageEx*, 2> pages = {ImgEditMapSetPage0, ImgEditMapSetPage1};
    for (int side = 0; side < 2; ++side) {
        TImageEx* page = pages[static_cast<std::size_t>(side)];
        connect(page, &TImageEx::mouseDown, this,
                [this, side](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                             int y) { MapSetEdit->PageMouseDown(side, button, modifiers, x, y); });
        connect(page, &TImageEx::mouseMove, this,
                [this, side](Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int y) {
                    MapSetEdit->PageMouseMove(side, buttons, x, y);
                });
        connect(page, &TImageEx::mouseUp, this,
                [this, side](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                    MapSetEdit->PageMouseUp(side, button, x, y);
                });
        connect(page, &TImageEx::mouseLeave, this,
                [this, side](TImageEx*) { MapSetEdit->PageMouseLeave(side); });
    }
    connect(Img32x32ChipTable, &TImageEx::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                MapSetEdit->ChipTableMouseDown(button, x, y);
            });
    connect(Img32x32ChipTable, &TImageEx::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                MapSetEdit->ChipTableMouseMove(x, y);
            });
    connect(Img32x32ChipTable, &TImageEx::mouseLeave, this,
            [this](TImageEx*) { MapSetEdit->ChipTableMouseLeave(); });
    connect(ScrBarMapSet, &QScrollBar::valueChanged, this,
            [this](int position) { MapSetEdit->ScrollPages(position); });
    connect(ScrBarSelectPage0, &QScrollBar::valueChanged, this,
            [this](int position) { MapSetEdit->SetPage(0, position); });
    connect(ScrBarSelectPage1, &QScrollBar::valueChanged, this,
            [this](int position) { MapSetEdit->SetPage(1, position); });
    connect(Button3, &QPushButton::clicked, this, [this] { MapSetEdit->ReloadStage(); });
    connect(ChkMapSetEditDrawGrid, &QCheckBox::toggled, this, [this](bool) {
        if (!ApplyingSettings())
            MapSetEdit->GridChanged();
    });
}
