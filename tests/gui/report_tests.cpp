#include "MainFormFixture.h"
#include "history/EditHistory.h"

#include "16x16chipedit/Chip16x16EditClass.h"
#include "32x32chipedit/Chip32x32EditClass.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "showUnusedChipNumForm/TShowUnusedChipNumForm.h"

#include <QDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <ostream>
#include <set>
#include <span>
#include <string>

namespace {

const std::string Caption = "未使用チップ番号";

// Every number of 00..FF except those in unused, repeated until the table is full.
void FillAllBut(std::span<std::uint8_t> table, const std::set<int>& unused) {
    std::vector<std::uint8_t> used;
    for (int n = 0; n < 256; ++n)
        if (!unused.contains(n))
            used.push_back(static_cast<std::uint8_t>(n));
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = used.empty() ? 0 : used[i % used.size()];
}

enum class Report { Unused16x16Chips, Unused32x32Chips, UnusedTiles };

struct ReportCase {
    const char* Name;
    Report Which;
    // Puts the stage data with the known unused numbers in place.
    std::function<void(StageData&)> Prepare;
    std::string Expected;
    // Switch every stage to its after-destruction chip set first.
    bool AfterDestruction = false;
};

void PrintTo(const ReportCase& report, std::ostream* out) {
    *out << report.Name;
}

class UnusedReport : public MainFormFixture {
protected:
    void OpenImage() {
        WriteStartupFiles();
        std::ofstream(SettingsPath()) << "[Timer]\nInterval=3600000\n";
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        OpenThroughMenu(WriteCartridge("report.nes"));
        Prompts.OnModal = [this](QDialog* dialog) {
            auto* window = qobject_cast<TShowUnusedChipNumForm*>(dialog);
            ASSERT_NE(window, nullptr);
            ShownMessage = window->LblMessage->text().toStdString();
            ShownList = window->MemoUnusedChipNum->toPlainText().toStdString();
        };
    }

    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }

    QPushButton* ButtonOf(Report report) {
        switch (report) {
        case Report::Unused16x16Chips:
            return Form->BtnUnused16x16ChipChk;
        case Report::Unused32x32Chips:
            return Form->BtnUnused32x32ChipChk;
        case Report::UnusedTiles:
            break;
        }
        return Form->BtnUnusedTileChk;
    }
    static std::string MessageOf(Report report) {
        switch (report) {
        case Report::Unused16x16Chips:
            return "32x32チップに使用されてない16x16チップ番号は";
        case Report::Unused32x32Chips:
            return "マップセットに使用されてない32x32チップ番号は";
        case Report::UnusedTiles:
            break;
        }
        return "16x16チップに使用されてないタイル番号は";
    }
    // The list operation behind each button, on its controller.
    std::string ListOf(Report report) {
        switch (report) {
        case Report::Unused16x16Chips:
            return Form->Chip16x16Edit->UnusedChipList().toStdString();
        case Report::Unused32x32Chips:
            return Form->Chip32x32Edit->UnusedChipList().toStdString();
        case Report::UnusedTiles:
            break;
        }
        return Form->Chip16x16Edit->UnusedTileList().toStdString();
    }
    // What the memo shows: the list's lines (the text box ends its lines with LF).
    static std::string LinesOf(const std::string& list) {
        std::string lines;
        for (std::size_t i = 0; i < list.size(); ++i)
            if (list.compare(i, 2, "\r\n") != 0)
                lines += list[i];
        return lines;
    }

    std::string ShownMessage;
    std::string ShownList;
};

TEST_F(UnusedReport, WindowIsMadeOnceWithItsFixedLayout) {
    OpenImage();
    TShowUnusedChipNumForm* window = Form->ShowUnusedChipNumForm;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), Form.get());
    EXPECT_EQ(window->windowTitle().toStdString(), Caption);
    EXPECT_EQ(window->size(), QSize(339, 249));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->LblMessage->text().toStdString(), "未使用チップ番号は");
    EXPECT_EQ(window->LblMessage->pos(), QPoint(8, 8));
    EXPECT_EQ(window->MemoUnusedChipNum->geometry(), QRect(8, 32, 321, 209));
    // The columns line up: every character of a list takes the same width.
    const QFontMetricsF metrics(window->MemoUnusedChipNum->font());
    for (const QChar c : QString("123456789ABCDEF "))
        EXPECT_EQ(metrics.horizontalAdvance(c), metrics.horizontalAdvance('0')) << c.toLatin1();

    // Every report reuses the same window.
    for (const Report report :
         {Report::Unused16x16Chips, Report::Unused32x32Chips, Report::UnusedTiles})
        ButtonOf(report)->click();
    EXPECT_EQ(Form->ShowUnusedChipNumForm, window);
    EXPECT_EQ(std::count(Prompts.Log.begin(), Prompts.Log.end(), "modal:" + Caption), 3);
}

class UnusedReportCases : public UnusedReport, public testing::WithParamInterface<ReportCase> {};

TEST_P(UnusedReportCases, ShowsTheMessageAndTheExactList) {
    OpenImage();
    const ReportCase& report = GetParam();
    if (report.AfterDestruction)
        Form->BtnSwitch16X16ChipSet->click();
    EditStage(report.Prepare);
    // The prepared stage stands for the image as opened.
    Form->History().MarkSaved({});

    EXPECT_EQ(ListOf(report.Which), report.Expected);
    ButtonOf(report.Which)->click();
    EXPECT_EQ(Prompts.Log.back(), "modal:" + Caption);
    EXPECT_EQ(ShownMessage, MessageOf(report.Which));
    EXPECT_EQ(ShownList, LinesOf(report.Expected));
    // A report changes nothing.
    EXPECT_FALSE(Form->Tracker().IsModified());
}

const std::string OnlyZeroUsed = "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r\n"
                                 "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F \r\n"
                                 "20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F \r\n"
                                 "30 31 32 33 34 35 36 37 38 39 3A 3B 3C 3D 3E 3F \r\n"
                                 "40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F \r\n"
                                 "50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F \r\n"
                                 "60 61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F \r\n"
                                 "70 71 72 73 74 75 76 77 78 79 7A 7B 7C 7D 7E 7F \r\n"
                                 "80 81 82 83 84 85 86 87 88 89 8A 8B 8C 8D 8E 8F \r\n"
                                 "90 91 92 93 94 95 96 97 98 99 9A 9B 9C 9D 9E 9F \r\n"
                                 "A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF \r\n"
                                 "B0 B1 B2 B3 B4 B5 B6 B7 B8 B9 BA BB BC BD BE BF \r\n"
                                 "C0 C1 C2 C3 C4 C5 C6 C7 C8 C9 CA CB CC CD CE CF \r\n"
                                 "D0 D1 D2 D3 D4 D5 D6 D7 D8 D9 DA DB DC DD DE DF \r\n"
                                 "E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF \r\n"
                                 "F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF \r\n";

INSTANTIATE_TEST_SUITE_P(
    Reports, UnusedReportCases,
    testing::Values(
        ReportCase{"MapSetWithThreeGaps", Report::Unused32x32Chips,
                   [](StageData& stage) {
                       FillAllBut(stage.MapSetTable, {0x03, 0x0A, 0x41});
                   },
                   "03 0A \r\n41 \r\n"},
        ReportCase{"MapSetUsingEveryChip", Report::Unused32x32Chips,
                   [](StageData& stage) { FillAllBut(stage.MapSetTable, {}); }, ""},
        ReportCase{"MapSetOfZeros", Report::Unused32x32Chips,
                   [](StageData& stage) { stage.MapSetTable.fill(0); }, OnlyZeroUsed},
        // 16x16 chip 55 sits only in 32x32 chip F0, which no map-set cell uses: still used.
        ReportCase{"SixteenChipOfAnUnplacedChip", Report::Unused16x16Chips,
                   [](StageData& stage) {
                       FillAllBut(stage.Chip32x32Table, {0x10, 0x55, 0xFE});
                       stage.Chip32x32Table[0xF0 * 4 + 2] = 0x55;
                       FillAllBut(stage.MapSetTable, {0xF0});
                   },
                   "10 \r\nFE \r\n"},
        ReportCase{"Chip32x32TableOfZeros", Report::Unused16x16Chips,
                   [](StageData& stage) { stage.Chip32x32Table.fill(0); }, OnlyZeroUsed},
        ReportCase{"TilesOfTheNormalSet", Report::UnusedTiles,
                   [](StageData& stage) {
                       FillAllBut(stage.Chip16x16Table(), {0x00, 0xFF});
                   },
                   "00 \r\nFF \r\n"},
        // Only the set in effect counts: the normal set here uses every tile.
        ReportCase{"TilesOfTheAfterDestructionSet", Report::UnusedTiles,
                   [](StageData& stage) {
                       FillAllBut(stage.NormalChip16x16Table, {});
                       FillAllBut(stage.Chip16x16Table(), {0x21, 0x2F, 0xC4});
                   },
                   "21 2F \r\nC4 \r\n", true}),
    [](const testing::TestParamInfo<ReportCase>& caseInfo) {
        return std::string(caseInfo.param.Name);
    });

} // namespace
