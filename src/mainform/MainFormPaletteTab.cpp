#include "document/LevelDocument.h"
#include "mainform/TMainForm.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "document/DisplayText.h"
#include "fileio/RomImageData.h"
#include "mainform/BuiltInLists.h"
#include "paletteedit/PaletteEditClass.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int CellSize = PaletteEditClass::CellSize;
constexpr int FieldHeight = 20;
constexpr int ViewGap = 8;

QLineEdit* MakeHexField() {
    auto* field = new QLineEdit;
    field->setMaxLength(2);
    field->setFixedSize(CellSize, FieldHeight);
    field->setAlignment(Qt::AlignCenter);
    field->setTextMargins(0, 0, 0, 0);
    return field;
}

// One view of four colour cells with a field under each cell, the fields aligned to the cells.
QWidget* MakeCellColumn(TImageEx* view, const std::array<QLineEdit*, 4>& fields) {
    auto* column = new QWidget;
    auto* grid = new QGridLayout(column);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(2);
    grid->addWidget(view, 0, 0, 1, 4);
    for (int c = 0; c < 4; ++c) {
        grid->addWidget(fields[static_cast<std::size_t>(c)], 1, c);
    }
    column->setFixedWidth(PaletteEditClass::PalViewWidth);
    return column;
}

// The message after a save that left palette sets out of the file.
constexpr const char* NotWrittenHeading = QT_TRANSLATE_NOOP(
    "TMainForm",
    "次のパレットの変更はファイルに保存できませんでした(ファイルでは変更前のままです)。");
constexpr const char* AnimationNotSavedNote = QT_TRANSLATE_NOOP(
    "TMainForm", "アニメーションパレットはファイルに保存されません(編集中のみ有効)");

} // namespace

void TMainForm::CreatePaletteTab() {
    // Two digits must fit into one colour cell's width. One sheet for the whole tab: a sheet
    // per field costs a style of its own for each.
    TabPaletteEdit->setStyleSheet("QLineEdit { padding: 0px; }");
    auto* tabLayout = new QVBoxLayout(ScrollingContent(TabPaletteEdit));

    GBPaletteEdit = new QGroupBox(PaletteEditClass::CaptionWhileNotSaved);
    auto* paletteGroup = GBPaletteEdit;
    auto* groupLayout = new QVBoxLayout(paletteGroup);
    groupLayout->setSpacing(8);

    auto* setRow = new QHBoxLayout;
    CBSelectPaletteSet = new QComboBox;
    CBSelectPaletteSet->addItems({QString(), QString()});
    Captions.Add([this] {
        CBSelectPaletteSet->setItemText(0, tr("定義0"));
        CBSelectPaletteSet->setItemText(1, tr("定義1"));
    });
    BtnPaletteReload = Captions.Set(new QPushButton, QT_TR_NOOP("再読み込み"));
    setRow->addWidget(CBSelectPaletteSet);
    setRow->addWidget(BtnPaletteReload);
    ChkPaletteSave = Captions.Set(new QCheckBox, QT_TR_NOOP("パレットの変更をファイルに保存する"));
    setRow->addSpacing(16);
    setRow->addWidget(ChkPaletteSave);
    setRow->addStretch(1);
    groupLayout->addLayout(setRow);

    auto* viewRow = new QHBoxLayout;
    viewRow->setSpacing(ViewGap);
    for (std::size_t k = 0; k < ImgPalView.size(); ++k) {
        ImgPalView[k] = new TImageEx;
        std::array<QLineEdit*, 4> fields{};
        for (std::size_t c = 0; c < fields.size(); ++c) {
            EditPal[k * 4 + c] = MakeHexField();
            fields[c] = EditPal[k * 4 + c];
        }
        viewRow->addWidget(MakeCellColumn(ImgPalView[k], fields), 0, Qt::AlignTop);
    }
    viewRow->addStretch(1);
    groupLayout->addLayout(viewRow);
    LblPaletteWriteHint = new QLabel;
    LblPaletteWriteHint->setStyleSheet("QLabel { color: red; }");
    LblPaletteWriteHint->setVisible(false);
    groupLayout->addWidget(LblPaletteWriteHint);

    auto* tableRow = new QGridLayout;
    tableRow->setHorizontalSpacing(16);
    tableRow->setVerticalSpacing(4);
    tableRow->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("カラーテーブル")), 0, 0);
    ImgColorTable = new TImageEx;
    tableRow->addWidget(ImgColorTable, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    tableRow->addWidget(Captions.Set(new QLabel, QT_TR_NOOP("選択カラー")), 0, 1);
    auto* selectColumn = new QVBoxLayout;
    selectColumn->setSpacing(4);
    ImgSelectColor = new TImageEx;
    selectColumn->addWidget(ImgSelectColor, 0, Qt::AlignLeft);
    auto* numberRow = new QHBoxLayout;
    numberRow->setSpacing(4);
    numberRow->addWidget(new QLabel("No:"));
    LblSelectColor = new QLabel("00");
    numberRow->addWidget(LblSelectColor);
    numberRow->addStretch(1);
    selectColumn->addLayout(numberRow);
    selectColumn->addStretch(1);
    tableRow->addLayout(selectColumn, 1, 1);
    tableRow->setColumnStretch(2, 1);
    groupLayout->addLayout(tableRow);

    tabLayout->addWidget(paletteGroup, 0, Qt::AlignLeft | Qt::AlignTop);

    // The animation controls are bound and kept up to date but never shown.
    GBAnimationPalette = Captions.Set(new QGroupBox, QT_TR_NOOP("パレットアニメーション選択"));
    auto* animeLayout = new QHBoxLayout(GBAnimationPalette);
    animeLayout->setSpacing(ViewGap);
    for (std::size_t j = 0; j < ImgAnimePal.size(); ++j) {
        ImgAnimePal[j] = new TImageEx;
        EditAnimePal[j] = MakeHexField();
        UDAnimePal[j] = new TUpDown;
        auto* column = new QGridLayout;
        column->setSpacing(2);
        column->addWidget(ImgAnimePal[j], 0, 0, 1, 2);
        column->addWidget(EditAnimePal[j], 1, 0);
        column->addWidget(UDAnimePal[j], 1, 1, Qt::AlignLeft);
        animeLayout->addLayout(column);
    }
    BtnAnimationPaletteReload = Captions.Set(new QPushButton, QT_TR_NOOP("再読み込み"));
    animeLayout->addWidget(BtnAnimationPaletteReload, 0, Qt::AlignBottom);
    animeLayout->addWidget(Captions.Set(new QLabel, AnimationNotSavedNote), 0, Qt::AlignBottom);
    tabLayout->addWidget(GBAnimationPalette);
    GBAnimationPalette->setVisible(false);
    tabLayout->addStretch(1);
}

void TMainForm::CreatePaletteEditor() {
    PaletteEdit = std::make_unique<PaletteEditClass>(*Document, Graphics(), Prompts());
    PaletteEditClass& editor = *PaletteEdit;
    editor.SetImages(ImgPalView, ImgColorTable, ImgSelectColor, ImgAnimePal);
    editor.CreateBitmaps();
    editor.SetEditFields(EditPal, EditAnimePal);
    editor.SetSelectColorLabel(LblSelectColor);
    editor.SetAnimeUpDowns(UDAnimePal);
    editor.SetPaletteSetSelector(CBSelectPaletteSet);
    editor.SetWriteBackControls(ChkPaletteSave, GBPaletteEdit, LblPaletteWriteHint);

    for (int k = 0; k < 4; ++k) {
        TImageEx* view = ImgPalView[static_cast<std::size_t>(k)];
        connect(view, &TImageEx::mouseDown, this,
                [this, k](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                    PaletteEdit->PalViewMouseDown(k, button, x, y);
                });
        connect(view, &TImageEx::mouseMove, this,
                [this, k](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                    PaletteEdit->PalViewMouseMove(k, x, y);
                });
        connect(view, &TImageEx::mouseLeave, this,
                [this, k](TImageEx*) { PaletteEdit->PalViewMouseLeave(k); });
    }
    connect(ImgColorTable, &TImageEx::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                PaletteEdit->ColorTableMouseDown(button, x, y);
            });
    connect(ImgColorTable, &TImageEx::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                PaletteEdit->ColorTableMouseMove(x, y);
            });
    connect(ImgColorTable, &TImageEx::mouseLeave, this,
            [this](TImageEx*) { PaletteEdit->ColorTableMouseLeave(); });

    for (QLineEdit* field : EditPal)
        field->installEventFilter(this);
    for (QLineEdit* field : EditAnimePal)
        field->installEventFilter(this);
    for (int i = 0; i < PaletteEditClass::EntryCount; ++i) {
        connect(EditPal[static_cast<std::size_t>(i)], &QLineEdit::textChanged, this,
                [this, i] { PaletteEdit->SetPaletteEntry(i); });
    }
    for (int j = 0; j < PaletteEditClass::SubPaletteCount; ++j) {
        const auto index = static_cast<std::size_t>(j);
        connect(EditAnimePal[index], &QLineEdit::textChanged, this, [this, j] {
            PaletteEdit->SetAnimeEntry(j);
            RestartFrameTimer();
        });
        connect(UDAnimePal[index], &TUpDown::upClicked, this,
                [this, j] { PaletteEdit->StepAnimeEntry(j, +1); });
        connect(UDAnimePal[index], &TUpDown::downClicked, this,
                [this, j] { PaletteEdit->StepAnimeEntry(j, -1); });
    }
    // Each of these changes what animates: the next tick comes a whole interval later.
    connect(BtnPaletteReload, &QPushButton::clicked, this, [this] {
        PaletteEdit->ReloadStage();
        RestartFrameTimer();
    });
    connect(BtnAnimationPaletteReload, &QPushButton::clicked, this, [this] {
        PaletteEdit->ReloadAnimePalette();
        RestartFrameTimer();
    });
    connect(ChkPaletteSave, &QCheckBox::toggled, this,
            [this](bool) { PaletteEdit->ChangeWriteBack(); });
    connect(CBSelectPaletteSet, &QComboBox::currentIndexChanged, this, [this] {
        PaletteEdit->ChangePaletteSet();
        RestartFrameTimer();
    });
}

void TMainForm::ShowPaletteSetsNotWritten() {
    PaletteEdit->ShowWriteMarks();
    const auto& notWritten = Document->Image().PaletteSetsNotWritten();
    if (notWritten.empty())
        return;
    const QStringList stages = BuiltInLists::StageCaptions();
    QString text = Captions.Translate(NotWrittenHeading);
    for (const PaletteSetNotWritten& set : notWritten)
        text += "\n" + stages.value(set.Stage) + " " + CBSelectPaletteSet->itemText(set.Set) +
                ": " + DisplayText::Of(PaletteEncoder::RefusalText(set.Reason));
    ShowMessage(text);
}
