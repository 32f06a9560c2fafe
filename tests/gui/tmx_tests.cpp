// A stage's map set as a Tiled map: what we write, what we take back, what we refuse, the file
// menu's items, and Tiled itself reading and re-saving our maps.
#include "MainFormFixture.h"

#include "document/LevelDocument.h"
#include "document/TmxMap.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"

#include <QAction>
#include <QByteArray>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QUndoStack>

#include <zlib.h>

#include <filesystem>
#include <string>

namespace {

TmxMap::MapSet SampleMapSet() {
    TmxMap::MapSet mapSet{};
    for (std::size_t i = 0; i < mapSet.size(); ++i)
        mapSet[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return mapSet;
}

// The layer's cells in the map's order, each chip + 1.
std::vector<std::uint32_t> CellsOf(const TmxMap::MapSet& mapSet) {
    std::vector<std::uint32_t> cells;
    for (int y = 0; y < TmxMap::Rows; ++y)
        for (int x = 0; x < TmxMap::Columns; ++x)
            cells.push_back(mapSet[static_cast<std::size_t>(TmxMap::IndexOfCell(x, y))] + 1u);
    return cells;
}

QByteArray LittleEndian(const std::vector<std::uint32_t>& cells) {
    QByteArray bytes;
    for (std::uint32_t cell : cells)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(static_cast<char>((cell >> shift) & 0xFF));
    return bytes;
}

QByteArray Zlib(const QByteArray& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    QByteArray packed(static_cast<qsizetype>(size), '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(bytes.constData()), static_cast<uLong>(bytes.size()));
    packed.resize(static_cast<qsizetype>(size));
    return packed;
}

QByteArray Written() {
    return TmxMap::Write(SampleMapSet(), "stage.chips.png", "stage");
}

// Our map with its CSV data element replaced by data (the element included).
QByteArray WithData(const QByteArray& data) {
    QByteArray text = Written();
    const qsizetype begin = text.indexOf("<data");
    const qsizetype end = text.indexOf("</data>") + 7;
    return text.replace(begin, end - begin, data);
}

QByteArray Base64Data(const QByteArray& bytes, const char* compression) {
    QByteArray data = "<data encoding=\"base64\"";
    if (*compression != '\0')
        data += QByteArray(" compression=\"") + compression + "\"";
    return data + ">\n   " + bytes.toBase64() + "\n  </data>";
}

// Our map with the first cell's text replaced.
QByteArray WithFirstCell(const QByteArray& value) {
    QByteArray text = Written();
    const qsizetype start = text.indexOf("<data encoding=\"csv\">\n") + 22;
    return text.replace(start, text.indexOf(',', start) - start, value);
}

QByteArray WithoutFirstCell() {
    QByteArray text = Written();
    const qsizetype start = text.indexOf("<data encoding=\"csv\">\n") + 22;
    return text.remove(start, text.indexOf(',', start) + 1 - start);
}

QByteArray Replaced(const QByteArray& before, const QByteArray& after) {
    QByteArray text = Written();
    const qsizetype at = text.indexOf(before);
    EXPECT_GE(at, 0) << before.constData();
    return text.replace(at, before.size(), after);
}

QByteArray LayerElement() {
    const QByteArray text = Written();
    const qsizetype begin = text.indexOf(" <layer");
    return text.mid(begin, text.indexOf("</layer>") + 9 - begin);
}

const QByteArray Tsx = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<tileset version=\"1.8\" name=\"chips\" tilewidth=\"32\" tileheight=\"32\" "
                       "tilecount=\"256\" columns=\"16\">\n"
                       " <image source=\"stage.chips.png\" width=\"512\" height=\"512\"/>\n"
                       "</tileset>\n";

// Our map with its embedded tileset replaced by a reference to "chips.tsx".
QByteArray WithExternalTileset() {
    QByteArray text = Written();
    const qsizetype begin = text.indexOf(" <tileset");
    const qsizetype end = text.indexOf("</tileset>") + 10;
    return text.replace(begin, end - begin, " <tileset firstgid=\"1\" source=\"chips.tsx\"/>");
}

bool LoadTsx(const QString& source, QByteArray& bytes) {
    if (source != "chips.tsx")
        return false;
    bytes = Tsx;
    return true;
}

struct Accepted {
    const char* Name;
    QByteArray Tmx;
};

TEST(TmxMapRead, AcceptsWhatTiledWritesAndReturnsTheMapSet) {
    const QByteArray cells = LittleEndian(CellsOf(SampleMapSet()));
    const QByteArray extras = " <properties><property name=\"author\" value=\"x\"/></properties>\n"
                              " <objectgroup id=\"2\" name=\"marks\"><object id=\"1\" x=\"0\" "
                              "y=\"0\"/></objectgroup>\n"
                              " <layer id=\"3\" name=\"decor\" width=\"64\" height=\"32\">"
                              "<data encoding=\"csv\">0</data></layer>\n";
    const Accepted cases[] = {
        {"csv", Written()},
        {"base64", WithData(Base64Data(cells, ""))},
        {"base64 zlib", WithData(Base64Data(Zlib(cells), "zlib"))},
        {"external tileset", WithExternalTileset()},
        {"tile count Tiled leaves 0 without the picture",
         Replaced("tilecount=\"256\"", "tilecount=\"0\"")},
        {"extra properties, objects and layers", Replaced(" <layer", extras + " <layer")},
        {"map layer in a group", Replaced(LayerElement(), " <group id=\"5\" name=\"g\">\n" +
                                                              LayerElement() + " </group>\n")},
    };
    for (const Accepted& accepted : cases) {
        SCOPED_TRACE(accepted.Name);
        TmxMap::MapSet read{};
        const Outcome outcome = TmxMap::Read(accepted.Tmx, LoadTsx, read);
        ASSERT_TRUE(outcome.Ok) << outcome.Message;
        EXPECT_TRUE(read == SampleMapSet());
    }
}

struct Refused {
    const char* Name;
    QByteArray Tmx;
    const char* Problem;
};

TEST(TmxMapRead, RefusesAnythingElseNamingTheFirstProblem) {
    const QByteArray cells = LittleEndian(CellsOf(SampleMapSet()));
    const QByteArray written = Written();
    std::vector<std::uint32_t> flipped = CellsOf(SampleMapSet());
    flipped[5] |= 0x40000000u;
    std::vector<std::uint32_t> wide = CellsOf(SampleMapSet());
    wide[7] = 300;
    const Refused cases[] = {
        {"cut short", written.left(written.size() / 2), TmxMap::MalformedXml},
        {"not XML", "garbage", TmxMap::MalformedXml},
        {"mismatched tags", Replaced("</layer>", "</layr>"), TmxMap::MalformedXml},
        {"empty", "", TmxMap::MalformedXml},
        {"other root", "<tileset/>", TmxMap::NotAMap},
        {"isometric", Replaced("orthogonal", "isometric"), TmxMap::NotOrthogonal},
        {"infinite", Replaced("infinite=\"0\"", "infinite=\"1\""), TmxMap::InfiniteMap},
        {"chunks", WithData("<data encoding=\"csv\"><chunk x=\"0\" y=\"0\"/></data>"),
         TmxMap::InfiniteMap},
        {"other width", Replaced("width=\"64\"", "width=\"65\""), TmxMap::WrongMapSize},
        {"other height", Replaced("height=\"32\"", "height=\"16\""), TmxMap::WrongMapSize},
        {"layer of another size", Replaced("name=\"map\" width=\"64\"", "name=\"map\" width=\"8\""),
         TmxMap::WrongMapSize},
        {"other tile size", Replaced("tilewidth=\"32\"", "tilewidth=\"16\""),
         TmxMap::WrongTileSize},
        {"no map layer", Replaced("name=\"map\"", "name=\"ground\""), TmxMap::NoMapLayer},
        {"two map layers", Replaced("</map>", LayerElement() + "</map>"), TmxMap::SeveralMapLayers},
        {"no tileset",
         Replaced(written.mid(written.indexOf(" <tileset"),
                              written.indexOf("</tileset>") + 11 - written.indexOf(" <tileset")),
                  ""),
         TmxMap::WrongTileset},
        {"255 tiles", Replaced("tilecount=\"256\"", "tilecount=\"255\""), TmxMap::WrongTileset},
        {"no tile count, picture of 128 tiles",
         Replaced("tilecount=\"256\"", "").replace("width=\"512\"", "width=\"256\""),
         TmxMap::WrongTileset},
        {"first GID 2", Replaced("firstgid=\"1\"", "firstgid=\"2\""), TmxMap::WrongTileset},
        {"two tilesets",
         Replaced(" <layer", " <tileset firstgid=\"257\" tilecount=\"1\"/>\n <layer"),
         TmxMap::WrongTileset},
        {"missing external tileset",
         Replaced("<tileset firstgid=\"1\" name=\"stage\"",
                  "<tileset firstgid=\"1\" source=\"x.tsx\""),
         TmxMap::TilesetUnreadable},
        {"gzip", WithData(Base64Data(cells, "gzip")), TmxMap::UnsupportedEncoding},
        {"zstd", WithData(Base64Data(cells, "zstd")), TmxMap::UnsupportedEncoding},
        {"tile elements", WithData("<data><tile gid=\"1\"/></data>"), TmxMap::UnsupportedEncoding},
        {"broken Base64", WithData("<data encoding=\"base64\">A*B=</data>"), TmxMap::BrokenData},
        {"broken zlib", WithData(Base64Data(cells.left(40), "zlib")), TmxMap::BrokenData},
        {"short Base64", WithData(Base64Data(cells.left(cells.size() - 4), "")),
         TmxMap::WrongCellCount},
        {"zlib that inflates past one layer",
         WithData(Base64Data(Zlib(QByteArray(4 * 1024 * 1024, '\x01')), "zlib")),
         TmxMap::WrongCellCount},
        {"one CSV cell missing", WithoutFirstCell(), TmxMap::WrongCellCount},
        {"word in CSV", WithFirstCell("x"), TmxMap::BrokenData},
        {"negative", WithFirstCell("-1"), TmxMap::BrokenData},
        {"flipped CSV cell", WithFirstCell("2147483649"), TmxMap::FlippedCell},
        {"rotated Base64 cell", WithData(Base64Data(LittleEndian(flipped), "")),
         TmxMap::FlippedCell},
        {"empty cell", WithFirstCell("0"), TmxMap::EmptyCell},
        {"GID 257", WithFirstCell("257"), TmxMap::GidOutOfRange},
        {"GID 300 in zlib", WithData(Base64Data(Zlib(LittleEndian(wide)), "zlib")),
         TmxMap::GidOutOfRange},
        {"beyond 32 bits", WithFirstCell("4294967297"), TmxMap::BrokenData},
        {"map layer under 200000 groups",
         Replaced(LayerElement(), QByteArray("<group>").repeated(200000) + LayerElement() +
                                      QByteArray("</group>").repeated(200000)),
         TmxMap::NoMapLayer},
    };
    for (const Refused& refused : cases) {
        SCOPED_TRACE(refused.Name);
        TmxMap::MapSet read{};
        read.fill(0xEE);
        const Outcome outcome = TmxMap::Read(refused.Tmx, LoadTsx, read);
        EXPECT_FALSE(outcome.Ok);
        EXPECT_EQ(outcome.Message, refused.Problem);
        EXPECT_TRUE(
            std::all_of(read.begin(), read.end(), [](std::uint8_t b) { return b == 0xEE; }));
    }
}

TEST(TmxMapWrite, PlacesPageNInTheBlockAtColumnNMod8RowNDiv8) {
    // Cells of the map as x, y, and where the map set keeps them.
    struct Cell {
        int X, Y, Index;
    };
    const Cell cells[] = {{0, 0, 0},
                          {7, 0, 7},
                          {0, 1, 8},
                          {8, 0, 64},
                          {63, 0, 7 * 64 + 7},
                          {0, 8, 8 * 64},
                          {9, 10, 9 * 64 + 2 * 8 + 1},
                          {63, 31, 31 * 64 + 63}};
    for (const Cell& cell : cells)
        EXPECT_EQ(TmxMap::IndexOfCell(cell.X, cell.Y), cell.Index) << cell.X << "," << cell.Y;
    EXPECT_EQ(TmxMap::SheetPathFor("/maps/level.tmx"), "/maps/level.chips.png");
}

// The window's file menu items.
class TmxThroughTheWindow : public MainFormFixture {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        ImagePath = StartWithGeneratedImage();
    }

    const std::array<std::uint8_t, TmxMap::CellCount>& MapSet() {
        return Form->ImageHolder().CurrentStageData().MapSetTable;
    }

    QString Export(const std::string& name) {
        const QString path = QString::fromStdString(Dir.File(name));
        Prompts.SaveFiles.push_back(path);
        Form->ExportTmx1->trigger();
        return path;
    }

    void Import(const QString& path) {
        Prompts.OpenFiles.push_back(path);
        Form->ImportTmx1->trigger();
    }

    QString ImagePath;
};

TEST_F(TmxThroughTheWindow, ExportWritesTheMapWithUnsavedEditsAndItsChipSheet) {
    const MapSetCellEdit edit = EditAMapSetCell();
    const QString path = Export("level.tmx");
    EXPECT_EQ(Prompts.Log.back(), "save:Tiledマップ (*.tmx)|tmx");
    TmxMap::MapSet read{};
    const Outcome outcome = TmxMap::ReadFile(path, read);
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    EXPECT_TRUE(std::equal(read.begin(), read.end(), MapSet().begin()));
    EXPECT_EQ(read[edit.Index], edit.Chip);
    const QImage sheet(QString::fromStdString(Dir.File("level.chips.png")));
    EXPECT_EQ(sheet.size(), QSize(512, 512));
    EXPECT_TRUE(Form->Tracker().IsModified());
}

TEST_F(TmxThroughTheWindow, ImportIsOneHistoryStepAndUndoable) {
    const std::vector<std::uint8_t> before(MapSet().begin(), MapSet().end());
    TmxMap::MapSet changed{};
    std::copy(before.begin(), before.end(), changed.begin());
    changed[0] ^= 0x11;
    changed[2047] ^= 0x22;
    const std::string path = Dir.File("edited.tmx");
    WriteTextFile(path, TmxMap::Write(changed, "edited.chips.png", "edited").toStdString());
    const int steps = Form->History().Stack().count();

    Import(QString::fromStdString(path));
    EXPECT_TRUE(Prompts.Messages().empty());
    EXPECT_TRUE(std::equal(changed.begin(), changed.end(), MapSet().begin()));
    EXPECT_EQ(Form->History().Stack().count(), steps + 1);
    EXPECT_EQ(Form->History().Stack().undoText(), TmxMap::ImportCaption);
    EXPECT_EQ(Form->StatusPanels[0]->text(), "変更あり");

    Form->History().Stack().undo();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), MapSet().begin()));
    EXPECT_FALSE(Form->Tracker().IsModified());
}

TEST_F(TmxThroughTheWindow, RefusedMapShowsItsProblemAndChangesNothing) {
    const std::string path = Dir.File("bad.tmx");
    QByteArray text = Written();
    text.replace("tilecount=\"256\"", "tilecount=\"16\"");
    WriteTextFile(path, text.toStdString());
    const std::vector<std::uint8_t> before(MapSet().begin(), MapSet().end());
    const int steps = Form->History().Stack().count();

    Import(QString::fromStdString(path));
    EXPECT_EQ(Prompts.Messages(),
              std::vector<std::string>{std::string("bad.tmx") + TmxMap::CannotReadPhrase +
                                       TmxMap::WrongTileset});
    EXPECT_TRUE(std::equal(before.begin(), before.end(), MapSet().begin()));
    EXPECT_EQ(Form->History().Stack().count(), steps);
    EXPECT_FALSE(Form->Tracker().IsModified());
}

// Tiled itself: it reads what we write, and what it writes from our maps comes back unchanged.
class TiledItself : public TmxThroughTheWindow {
protected:
    void SetUp() override {
        Tiled = QStandardPaths::findExecutable("tiled");
        if (Tiled.isEmpty())
            GTEST_SKIP() << "tiled is not installed";
        TmxThroughTheWindow::SetUp();
    }

    // Tiled's own conversion of a map to another format.
    void Convert(const QString& format, const QString& from, const QString& to) {
        QProcess tiled;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        tiled.setProcessEnvironment(environment);
        tiled.start(Tiled, {"--export-map", format, from, to});
        ASSERT_TRUE(tiled.waitForFinished(60000));
        ASSERT_EQ(tiled.exitCode(), 0) << tiled.readAllStandardError().constData();
    }

    QString Tiled;
};

TEST_F(TiledItself, ReadsOurMapAsTheMapSetPlusOne) {
    const QString tmx = Export("level.tmx");
    const QString json = QString::fromStdString(Dir.File("level.json"));
    Convert("json", tmx, json);
    const QJsonObject map =
        QJsonDocument::fromJson(QByteArray::fromStdString(ReadTextFile(json.toStdString())))
            .object();
    const QJsonArray layers = map["layers"].toArray();
    ASSERT_EQ(layers.size(), 1);
    EXPECT_EQ(layers[0].toObject()["name"].toString(), "map");
    const QJsonArray data = layers[0].toObject()["data"].toArray();
    ASSERT_EQ(data.size(), TmxMap::CellCount);
    TmxMap::MapSet mapSet{};
    std::copy(MapSet().begin(), MapSet().end(), mapSet.begin());
    const std::vector<std::uint32_t> expected = CellsOf(mapSet);
    for (int i = 0; i < TmxMap::CellCount; ++i)
        ASSERT_EQ(data[i].toInteger(), expected[static_cast<std::size_t>(i)]) << "cell " << i;
    const QJsonObject tileset = map["tilesets"].toArray()[0].toObject();
    EXPECT_EQ(tileset["tilecount"].toInt(), 256);
    EXPECT_EQ(tileset["image"].toString(), "level.chips.png");
}

TEST_F(TiledItself, MapsTiledSavesAgainImportToTheSameBytes) {
    TmxMap::MapSet changed = SampleMapSet();
    // Base64-zlib as Tiled keeps it when it saves such a map again.
    const std::string zlibPath = Dir.File("zlib.tmx");
    WriteTextFile(zlibPath,
                  WithData(Base64Data(Zlib(LittleEndian(CellsOf(changed))), "zlib")).toStdString());
    const std::string csvPath = Dir.File("csv.tmx");
    WriteTextFile(csvPath, Written().toStdString());
    const std::string tsxPath = Dir.File("chips.tsx");
    WriteTextFile(tsxPath, Tsx.toStdString());
    // Tiled counts the tiles from the picture.
    QImage sheet(512, 512, QImage::Format_RGB32);
    sheet.fill(Qt::gray);
    ASSERT_TRUE(sheet.save(QString::fromStdString(Dir.File("stage.chips.png"))));
    const std::string externalPath = Dir.File("external.tmx");
    WriteTextFile(externalPath, WithExternalTileset().toStdString());

    for (const std::string& source : {csvPath, zlibPath, externalPath}) {
        SCOPED_TRACE(source);
        const QString resaved = QString::fromStdString(source + ".tiled.tmx");
        Convert("tmx", QString::fromStdString(source), resaved);
        const std::string text = ReadTextFile(resaved.toStdString());
        if (source == zlibPath) {
            EXPECT_NE(text.find("compression=\"zlib\""), std::string::npos);
        }
        Prompts.Log.clear();
        // Each import starts from the generated map set.
        while (Form->History().Stack().canUndo())
            Form->History().Stack().undo();
        Import(resaved);
        EXPECT_TRUE(Prompts.Messages().empty()) << Prompts.Messages().front();
        EXPECT_TRUE(std::equal(changed.begin(), changed.end(), MapSet().begin()));
    }
}

} // namespace
