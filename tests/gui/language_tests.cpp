// The window's language: the English catalogue covers every text the sources show, the language
// menu switches every caption at once and back to the exact Japanese texts, and the choice is
// kept in the settings file.
#include "MainFormFixture.h"

#include "ImageEx/TRadioGroup.h"
#include "inifile/IniFile.h"
#include "mainform/RecentFilesMenu.h"
#include "mainform/TExportPictureDialog.h"
#include "showUnusedChipNumForm/TShowUnusedChipNumForm.h"
#include "support/TempDir.h"
#include "translation/Translations.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QUndoView>
#include <QXmlStreamReader>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

bool HasJapanese(const QString& text) {
    static const QRegularExpression japanese(R"([\x{3000}-\x{9fff}\x{ff00}-\x{ffef}])");
    return japanese.match(text).hasMatch();
}

// ---- The catalogue ----

struct CatalogueMessage {
    QString Context;
    QString Source;
    QString Translation;
    bool Finished = true;
};

std::vector<CatalogueMessage> ReadCatalogue(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<CatalogueMessage> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QStringLiteral("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QStringLiteral("message")) {
            messages.push_back(
                {.Context = context, .Source = {}, .Translation = {}, .Finished = true});
        } else if (xml.name() == QStringLiteral("source") && !messages.empty()) {
            messages.back().Source = xml.readElementText();
        } else if (xml.name() == QStringLiteral("translation") && !messages.empty()) {
            messages.back().Finished = xml.attributes().value(QStringLiteral("type")).isEmpty();
            messages.back().Translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

// What a translation must keep of its source: every argument, and a menu's key letter.
QString FaultOf(const CatalogueMessage& message) {
    if (!message.Finished || message.Translation.trimmed().isEmpty())
        return "no English translation";
    static const QRegularExpression argument(R"(%\d)");
    for (const auto& match : argument.globalMatch(message.Source)) {
        if (!message.Translation.contains(match.captured()))
            return "loses " + match.captured();
    }
    const bool sourceHasKey = message.Source.contains(QRegularExpression("&[^&]"));
    if (sourceHasKey && !message.Translation.contains(QRegularExpression("&[^&]")))
        return "loses its key letter";
    if (HasJapanese(message.Translation))
        return "is still Japanese";
    return {};
}

// lupdate reads the sources as they are now into a copy of the checked-in catalogue: a text
// added or changed in the sources comes out unfinished until it is translated.
TEST(LanguageCatalogue, EveryTextOfTheSourcesHasAFinishedEnglishTranslation) {
    TempDir dir;
    const QString catalogue = QString::fromStdString(dir.File("en.ts"));
    std::filesystem::copy_file(K6_SOURCE_DIR "/translations/kestrin6editor_en.ts",
                               catalogue.toStdString());
    QProcess lupdate;
    lupdate.start(K6_LUPDATE, {"-no-obsolete", "-locations", "none", "-silent", "-I",
                               K6_SOURCE_DIR "/src", K6_SOURCE_DIR "/src", "-ts", catalogue});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    const std::vector<CatalogueMessage> messages = ReadCatalogue(catalogue);
    ASSERT_FALSE(messages.empty());
    QStringList faults;
    for (const CatalogueMessage& message : messages) {
        const QString fault = FaultOf(message);
        if (!fault.isEmpty())
            faults << message.Context + " \"" + message.Source + "\": " + fault;
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
}

// ---- The window ----

class Language : public MainFormFixture {
protected:
    void TearDown() override {
        MainFormFixture::TearDown();
        // The translators belong to the whole program: the next test starts in Japanese.
        Translations::Install(Translations::Japanese);
    }

    // A window with an image open, without the list files: the object and scroll lists show
    // the window's own captions.
    void StartWithoutListFiles() {
        WriteStartupFiles();
        for (const char* name : {"ObjectList.txt", "ScrollList.txt"})
            std::filesystem::remove(Dir.File(name));
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        OpenThroughMenu(WriteCartridge("stage.nes"));
    }

    void Choose(QAction* language) {
        language->trigger();
        QApplication::processEvents();
    }

    // Every caption the window and its windows show, by the control that shows it (the order
    // of the children changes as tabs come to the front).
    using CaptionMap = std::multimap<const QObject*, QString>;
    CaptionMap Captions() const {
        CaptionMap texts;
        const auto add = [&texts](const QObject* owner, const QString& text) {
            texts.emplace(owner, owner->metaObject()->className() + QString(": ") + text);
        };
        std::vector<QWidget*> windows{Form.get()};
        for (QWidget* child : Form->findChildren<QWidget*>()) {
            if (child->isWindow())
                windows.push_back(child);
        }
        for (const QWidget* window : windows)
            add(window, window->windowTitle());
        for (const QAction* action : Form->findChildren<QAction*>())
            add(action, action->text());
        for (const QMenu* menu : Form->findChildren<QMenu*>())
            add(menu, menu->title());
        for (const QLabel* label : Form->findChildren<QLabel*>())
            add(label, label->text());
        for (const QAbstractButton* button : Form->findChildren<QAbstractButton*>())
            add(button, button->text());
        for (const QGroupBox* group : Form->findChildren<QGroupBox*>())
            add(group, group->title());
        for (const QComboBox* box : Form->findChildren<QComboBox*>()) {
            for (int i = 0; i < box->count(); ++i)
                add(box, box->itemText(i));
        }
        for (int i = 0; i < Form->EditPageControl->count(); ++i)
            add(Form->EditPageControl, Form->EditPageControl->tabText(i));
        return texts;
    }

    // The captions the editors set themselves from their own state (the write-back caption
    // and hint, the chip-set switch, the attribute names, the status bar) follow the language
    // on their own.
    std::set<const QObject*> EditorsOwn() const {
        std::set<const QObject*> own{Form->GBPaletteEdit, Form->LblPaletteWriteHint,
                                     Form->BtnSwitch16X16ChipSet};
        for (const QLabel* panel : Form->StatusPanels)
            own.insert(panel);
        for (int i = 0; i < Form->RGChipPropertySelect->Count(); ++i)
            own.insert(Form->RGChipPropertySelect->Item(i));
        return own;
    }
};

// A caption of a control on a tab, read the way the user sees it.
struct TabCaption {
    const char* Where;
    std::function<QWidget*(TMainForm&)> Tab;
    std::function<QString(TMainForm&)> Read;
    QString Japanese;
    QString English;
};

QString TabText(TMainForm& form, QWidget* page) {
    return form.EditPageControl->tabText(form.EditPageControl->indexOf(page));
}

const std::vector<TabCaption>& TabCaptions() {
    static const std::vector<TabCaption> captions = {
        {"map-set tab", [](TMainForm& f) { return f.TabMapSetEdit; },
         [](TMainForm& f) { return TabText(f, f.TabMapSetEdit); }, "マップセット", "Map Set"},
        {"map-set grid", [](TMainForm& f) { return f.TabMapSetEdit; },
         [](TMainForm& f) { return f.ChkMapSetEditDrawGrid->text(); }, "グリッド線の描画",
         "Draw grid lines"},
        {"map-set fill", [](TMainForm& f) { return f.TabMapSetEdit; },
         [](TMainForm& f) { return f.ChkMapSetFill->text(); }, "塗りつぶし", "Fill"},
        {"32x32 tab", [](TMainForm& f) { return f.Tab32x32ChipEdit; },
         [](TMainForm& f) { return TabText(f, f.Tab32x32ChipEdit); }, "32x32チップ", "32x32 Chips"},
        {"32x32 report", [](TMainForm& f) { return f.Tab32x32ChipEdit; },
         [](TMainForm& f) { return f.BtnUnused32x32ChipChk->text(); }, "未使用チップ番号表示",
         "Show unused chips"},
        {"16x16 tab", [](TMainForm& f) { return f.Tab16x16ChipEdit; },
         [](TMainForm& f) { return TabText(f, f.Tab16x16ChipEdit); }, "16x16チップ", "16x16 Chips"},
        {"16x16 attributes", [](TMainForm& f) { return f.Tab16x16ChipEdit; },
         [](TMainForm& f) { return f.RGChipPropertySelect->title(); }, "チップ属性",
         "Chip attribute"},
        {"16x16 reload", [](TMainForm& f) { return f.Tab16x16ChipEdit; },
         [](TMainForm& f) { return f.Button1->text(); }, "再読み込み", "Reload"},
        {"palette tab", [](TMainForm& f) { return f.TabPaletteEdit; },
         [](TMainForm& f) { return TabText(f, f.TabPaletteEdit); }, "パレット", "Palette"},
        {"palette write-back", [](TMainForm& f) { return f.TabPaletteEdit; },
         [](TMainForm& f) { return f.ChkPaletteSave->text(); },
         "パレットの変更をファイルに保存する", "Save palette changes to the file"},
        {"palette set", [](TMainForm& f) { return f.TabPaletteEdit; },
         [](TMainForm& f) { return f.CBSelectPaletteSet->itemText(1); }, "定義1", "Set 1"},
        {"object tab", [](TMainForm& f) { return f.TabObjectEdit; },
         [](TMainForm& f) { return TabText(f, f.TabObjectEdit); }, "オブジェクト", "Objects"},
        {"object sort", [](TMainForm& f) { return f.TabObjectEdit; },
         [](TMainForm& f) { return f.ChkSortObjectList->text(); }, "オブジェクトを自動で並び替える",
         "Sort objects automatically"},
        {"object pop-up menu", [](TMainForm& f) { return f.TabObjectEdit; },
         [](TMainForm& f) { return f.MenuCopyObject->text(); }, "このオブジェクトをコピー",
         "Copy this object"},
        {"built-in object list", [](TMainForm& f) { return f.TabObjectEdit; },
         [](TMainForm& f) { return f.CBSelectObject->itemText(0x41); }, "41 アイテム", "41 Item"},
        {"built-in scroll list", [](TMainForm& f) { return f.TabObjectEdit; },
         [](TMainForm& f) { return f.CBSelectScroll->itemText(0x1f); }, "1F スクロール設定",
         "1F Scroll setting"},
        {"stage list", [](TMainForm& f) { return f.TabObjectEdit; },
         [](TMainForm& f) { return f.CBStage->itemText(2); }, "02 ステージ3", "02 Stage 3"},
    };
    return captions;
}

TEST_F(Language, TheMenuSwitchesEveryTabAtOnceAndBack) {
    StartWithoutListFiles();
    ASSERT_TRUE(Form->LanguageJapanese->isChecked());
    // Each tab once first: the editors fill in what they show when their tab comes to the front.
    for (const TabCaption& caption : TabCaptions())
        Form->EditPageControl->setCurrentWidget(caption.Tab(*Form));
    const CaptionMap japanese = Captions();

    const std::pair<QAction*, bool> switches[] = {{Form->LanguageEnglish, true},
                                                  {Form->LanguageJapanese, false}};
    for (const auto& [item, english] : switches) {
        Choose(item);
        EXPECT_EQ(Form->LanguageEnglish->isChecked(), english);
        EXPECT_EQ(Form->LanguageJapanese->isChecked(), !english);
        for (const TabCaption& caption : TabCaptions()) {
            Form->EditPageControl->setCurrentWidget(caption.Tab(*Form));
            EXPECT_EQ(caption.Read(*Form).toStdString(),
                      (english ? caption.English : caption.Japanese).toStdString())
                << caption.Where;
        }
    }
    const CaptionMap back = Captions();
    ASSERT_EQ(back.size(), japanese.size());
    QStringList changed;
    for (auto before = japanese.begin(), after = back.begin(); before != japanese.end();
         ++before, ++after) {
        if (before->second != after->second)
            changed << before->second + " -> " + after->second;
    }
    EXPECT_TRUE(changed.isEmpty()) << changed.join("\n").toStdString();
}

// Whatever the window captions itself is English after the switch; the language items keep
// their own names.
TEST_F(Language, NoCaptionOfTheWindowStaysJapanese) {
    StartWithoutListFiles();
    Form->History1->trigger();
    Choose(Form->LanguageEnglish);

    const std::set<const QObject*> skipped = EditorsOwn();
    QStringList japanese;
    const auto check = [&](const QObject* owner, const QString& text) {
        if (!skipped.contains(owner) && HasJapanese(text) && text != "日本語")
            japanese << owner->metaObject()->className() + QString(": ") + text;
    };
    for (const QAction* action : Form->findChildren<QAction*>())
        check(action, action->text());
    for (const QMenu* menu : Form->findChildren<QMenu*>())
        check(menu, menu->title());
    for (const QLabel* label : Form->findChildren<QLabel*>())
        check(label, label->text());
    for (const QAbstractButton* button : Form->findChildren<QAbstractButton*>())
        check(button, button->text());
    for (const QGroupBox* group : Form->findChildren<QGroupBox*>())
        check(group, group->title());
    for (const QComboBox* box : Form->findChildren<QComboBox*>()) {
        for (int i = 0; i < box->count(); ++i)
            check(box, box->itemText(i));
    }
    for (const QWidget* child : Form->findChildren<QWidget*>()) {
        if (child->isWindow())
            check(child, child->windowTitle());
    }
    EXPECT_TRUE(japanese.isEmpty()) << japanese.join("\n").toStdString();
}

// The menus, the edit menu's step caption and the windows already open follow at once.
TEST_F(Language, MenusAndOpenWindowsFollowTheSwitch) {
    StartWithGeneratedImage();
    EditAMapSetCell();
    Form->History1->trigger();
    Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
    Form->BtnUnusedTileChk->click();
    Choose(Form->LanguageEnglish);

    EXPECT_EQ(Form->N1->title().toStdString(), "&File");
    EXPECT_EQ(Form->ViewMenu->title().toStdString(), "&View");
    EXPECT_EQ(Form->LanguageMenu->title().toStdString(), "&Language");
    EXPECT_EQ(Form->RecentFiles1->title().toStdString(), "&Recent Files");
    EXPECT_EQ(Form->SaveAs1->text().toStdString(), "Save &As");
    EXPECT_TRUE(Form->Undo1->text().startsWith("&Undo ")) << Form->Undo1->text().toStdString();
    EXPECT_EQ(Form->Redo1->text().toStdString(), "&Redo");
    EXPECT_EQ(Form->HistoryView->windowTitle().toStdString(), "History");
    EXPECT_EQ(Form->ShowUnusedChipNumForm->windowTitle().toStdString(), "Unused Chip Numbers");
    EXPECT_EQ(Form->ShowUnusedChipNumForm->LblMessage->text().toStdString(),
              "Tiles no 16x16 chip uses:");
    EXPECT_EQ(Form->LanguageEnglish->text().toStdString(), "English");
    EXPECT_EQ(Form->LanguageJapanese->text().toStdString(), "日本語");
    // The document's status, shown before the switch, follows it.
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "Modified");

    Choose(Form->LanguageJapanese);
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "変更あり");
    EXPECT_EQ(Form->Undo1->text().left(5).toStdString(), "元に戻す ");
    EXPECT_TRUE(Form->Undo1->text().endsWith("(&U)"));
    EXPECT_EQ(Form->ShowUnusedChipNumForm->LblMessage->text().toStdString(),
              TShowUnusedChipNumForm::UnusedTileMessage);

    // A dialog switched while it is open.
    QString titleInEnglish, titleBack;
    Prompts.OnModal = [&](QDialog* dialog) {
        Choose(Form->LanguageEnglish);
        titleInEnglish = dialog->windowTitle();
        Choose(Form->LanguageJapanese);
        titleBack = dialog->windowTitle();
    };
    Form->ExportPicture1->trigger();
    EXPECT_EQ(titleInEnglish.toStdString(), "Export as Picture");
    EXPECT_EQ(titleBack.toStdString(), TExportPictureDialog::Caption);
}

// The messages the window composes take the language too, with the file's name in its place.
TEST_F(Language, ComposedMessagesAreTranslatedWithTheirNames) {
    StartWithGeneratedImage();
    Choose(Form->LanguageEnglish);
    Form->RecentFiles1->SetPaths({QString::fromStdString(Dir.File("gone.nes"))});
    Prompts.Log.clear();
    Form->RecentFiles1->actions().at(0)->trigger();
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{"gone.nes could not be read."});
}

// The choice is kept as "en" or "ja"; anything else starts in Japanese.
TEST_F(Language, TheSettingSurvivesARestartAndAnUnknownOneFallsBackToJapanese) {
    WriteStartupFiles();
    StartForm();
    Choose(Form->LanguageEnglish);
    ASSERT_TRUE(CloseForm());
    Form.reset();
    EXPECT_EQ(IniFile(SettingsPath()).ReadString("View", "Language", ""), "en");

    const struct {
        const char* Stored;
        bool English;
    } cases[] = {{"en", true}, {"ja", false}, {"xx", false}, {"", false}, {"EN", false}};
    for (const auto& stored : cases) {
        IniFile settings(SettingsPath());
        settings.WriteString("View", "Language", stored.Stored);
        ASSERT_TRUE(settings.Flush().Ok);
        StartForm();
        EXPECT_EQ(Form->LanguageEnglish->isChecked(), stored.English) << stored.Stored;
        EXPECT_EQ(Form->N1->title().toStdString(), stored.English ? "&File" : "ファイル(&F)")
            << stored.Stored;
        EXPECT_EQ(Form->RecentFiles1->title().toStdString(),
                  stored.English ? "&Recent Files" : RecentFilesMenu::Caption)
            << stored.Stored;
        Form.reset();
    }
}

} // namespace
