#pragma once

#include "FakePrompts.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TRadioGroup.h"
#include "ImageEx/TUpDown.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "mainform/TMainForm.h"
#include "objectedit/ObjectEditClass.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>

// One user edit (or view change) chosen by rng, through the window's own controls.
class RandomEditor {
public:
    RandomEditor(TMainForm& form, FakePrompts& prompts, std::uint32_t seed)
        : Form(form), Prompts(prompts), Rng(seed) {}

    void Step() {
        switch (Pick(14)) {
        case 0:
            SelectStage();
            break;
        case 1:
        case 2:
            MapCell();
            break;
        case 3:
            MapPage();
            break;
        case 4:
            Quarter32();
            break;
        case 5:
            Tile16();
            break;
        case 6:
            Attribute16();
            break;
        case 7:
            Form.BtnSwitch16X16ChipSet->click();
            break;
        case 8:
            PaletteEntry();
            break;
        case 9:
            AnimeEntry();
            break;
        case 10:
        case 11:
            ObjectEdit();
            break;
        case 12:
            Reload();
            break;
        default:
            ObjectDrag();
            break;
        }
    }

private:
    static std::string HexOf(int value) {
        char text[3];
        std::snprintf(text, sizeof text, "%02X", value & 0xFF);
        return text;
    }
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(Rng); }
    void Show(QWidget* tab) { Form.EditPageControl->setCurrentWidget(tab); }
    const StageData& Stage() { return Form.ImageHolder().CurrentStageData(); }

    void SelectStage() { Form.CBStage->setCurrentIndex(Pick(16)); }
    void MapCell() {
        Show(Form.TabMapSetEdit);
        const int chip = Pick(256), cell = Pick(64);
        ViewDriver::Click(Form.Img32x32ChipTable, Qt::LeftButton, (chip % 16) * 16 + 3,
                          (chip / 16) * 16 + 3);
        Form.ScrBarSelectPage0->setValue(Pick(32));
        ViewDriver::Click(Form.ImgEditMapSetPage0, Qt::LeftButton, (cell % 8) * 32 + 5,
                          (cell / 8) * 32 + 5);
    }
    void MapPage() {
        Show(Form.TabMapSetEdit);
        Form.ScrBarSelectPage0->setValue(Pick(32));
        ViewDriver::Click(Form.ImgEditMapSetPage0, Qt::RightButton, 5, 5, Qt::ControlModifier);
        Form.ScrBarSelectPage1->setValue(Pick(32));
        ViewDriver::Click(Form.ImgEditMapSetPage1, Qt::LeftButton, 5, 5, Qt::ControlModifier);
    }
    void Quarter32() {
        Show(Form.Tab32x32ChipEdit);
        const int chip16 = Pick(256);
        ViewDriver::Click(Form.Img16x16ChipTable, Qt::LeftButton, (chip16 % 16) * 16 + 3,
                          (chip16 / 16) * 16 + 3);
        ViewDriver::Click(Form.ImgEdit32x32ChipView, Qt::LeftButton, Pick(512), Pick(256));
        const int q = Pick(4);
        ViewDriver::Click(Form.ImgEdit32x32Chip, Qt::LeftButton, (q % 2) * 32 + 9,
                          (q / 2) * 32 + 9);
    }
    void Tile16() {
        Show(Form.Tab16x16ChipEdit);
        const int chip = Pick(256), tile = Pick(256), q = Pick(4);
        ViewDriver::Click(Form.ImgEdit16x16ChipView, Qt::LeftButton, (chip % 16) * 16 + 3,
                          (chip / 16) * 16 + 3);
        ViewDriver::Click(Form.ImgBGBankTable, Qt::LeftButton, (tile % 16) * 16 + 5,
                          (tile / 16) * 16 + 5);
        ViewDriver::Click(Form.ImgEdit16x16Chip, Qt::LeftButton, (q % 2) * 32 + 10,
                          (q / 2) * 32 + 10);
    }
    void Attribute16() {
        Show(Form.Tab16x16ChipEdit);
        const int chip = Pick(256);
        ViewDriver::Click(Form.ImgEdit16x16ChipView, Qt::LeftButton, (chip % 16) * 16 + 3,
                          (chip / 16) * 16 + 3);
        if (Pick(2) == 0)
            Form.RGChipPropertySelect->Item(Pick(Form.RGChipPropertySelect->Count()))->click();
        else
            Form.RGPaletteSelect->Item(Pick(4))->click();
    }
    void PaletteEntry() {
        Show(Form.TabPaletteEdit);
        Form.CBSelectPaletteSet->setCurrentIndex(Pick(2));
        Form.EditPal[static_cast<std::size_t>(Pick(16))]->setText(
            QString::fromStdString(HexOf(Pick(0x40))));
    }
    void AnimeEntry() {
        Show(Form.TabPaletteEdit);
        const int value = Pick(3) == 0 ? 0 : 0x80 + Pick(0x80);
        Form.EditAnimePal[static_cast<std::size_t>(Pick(4))]->setText(
            QString::fromStdString(HexOf(value)));
    }
    void Reload() {
        QPushButton* const buttons[] = {Form.Button3,
                                        Form.Button2,
                                        Form.Button1,
                                        Form.BtnPaletteReload,
                                        Form.BtnAnimationPaletteReload,
                                        Form.BtnObjectEditReload};
        QWidget* const tabs[] = {Form.TabMapSetEdit,  Form.Tab32x32ChipEdit, Form.Tab16x16ChipEdit,
                                 Form.TabPaletteEdit, Form.TabPaletteEdit,   Form.TabObjectEdit};
        const int which = Pick(6);
        Show(tabs[which]);
        Prompts.YesNoAnswers.push_back(true);
        buttons[which]->click();
    }
    // An object of the rooms shown, or none; true when one was found.
    bool ShownObject(int& side, int& x, int& y) {
        const int left = Form.ObjectEdit->LeftRoom();
        for (int s : {Pick(2), 1}) {
            const auto& list = Stage().ObjectsOfPage(left + s);
            if (list.empty())
                continue;
            auto it = list.begin();
            std::advance(it, Pick(static_cast<int>(list.size())));
            side = s;
            x = it->X;
            y = it->Y;
            return true;
        }
        return false;
    }
    TImageEx* Room(int side) { return side == 0 ? Form.ImgObjectMapPage0 : Form.ImgObjectMapPage1; }
    void ObjectEdit() {
        Show(Form.TabObjectEdit);
        Form.ScrBarObjectMap->setValue(Pick(31));
        int side = 0, x = 0, y = 0;
        if (!ShownObject(side, x, y) || Pick(4) == 0) {
            // A click where nothing is, then the create button.
            side = Pick(2);
            x = Pick(256);
            y = Pick(256);
            ViewDriver::Move(Room(side), x, y);
            ViewDriver::Click(Room(side), Qt::LeftButton, x, y);
            if (Form.BtnObjectCreate->isEnabled())
                Form.BtnObjectCreate->click();
            return;
        }
        ViewDriver::Move(Room(side), x, y);
        ViewDriver::Click(Room(side), Qt::LeftButton, x, y);
        switch (Pick(4)) {
        case 0:
            Form.UDObjectX->UpButton()->click();
            break;
        case 1:
            Form.UDObjectY->DownButton()->click();
            break;
        case 2:
            Form.CBSelectObject->setCurrentIndex(Pick(Form.CBSelectObject->count()));
            break;
        default:
            Form.BtnObjectRemove->click();
            break;
        }
    }
    void ObjectDrag() {
        Show(Form.TabObjectEdit);
        Form.ScrBarObjectMap->setValue(Pick(31));
        int side = 0, x = 0, y = 0;
        if (!ShownObject(side, x, y))
            return;
        ViewDriver::Move(Room(side), x, y);
        ViewDriver::Press(Room(side), Qt::LeftButton, x, y);
        for (int move = 0; move < 5; ++move)
            ViewDriver::Move(Room(side), Pick(256), Pick(256), Qt::LeftButton);
        ViewDriver::Release(Room(side), Qt::LeftButton, Pick(256), Pick(256));
    }

    TMainForm& Form;
    FakePrompts& Prompts;
    std::mt19937 Rng;
};
