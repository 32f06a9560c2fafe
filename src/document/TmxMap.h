#pragma once

#include "base/LevelFormat.h"
#include "base/Outcome.h"
#include "document/ChangeList.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <span>

// A stage's map set as a map of the Tiled editor (TMX): 64 x 32 cells of 32x32 chips, page n in
// the 8x8 block at column n mod 8, row n div 8 (as the exported map picture), one tile layer
// "map" whose cell value is chip + 1, and one tileset of the 256 chips of the stage's 32x32
// chip sheet. Reading accepts what Tiled writes when the user saves such a map and refuses,
// naming the first problem, anything that is not exactly that map.
class TmxMap {
public:
    static constexpr int Columns = LevelFormat::MapCellsPerRow * 8; // 64
    static constexpr int Rows = LevelFormat::MapCellsPerRow * 4;    // 32
    static constexpr int CellCount = Columns * Rows;                // 2048
    static constexpr int TilePixels = 32;
    static constexpr int SheetPixels = TilePixels * LevelFormat::SheetChipsPerRow; // 512
    // A map file is at most a few hundred KiB, whatever Tiled's options.
    static constexpr std::size_t MaxFileSize = 16 * 1024 * 1024;
    static constexpr const char* ImportCaption = QT_TRANSLATE_NOOP("EditHistory", "TMXの読み込み");

    using MapSet = std::array<std::uint8_t, CellCount>; // index page * 64 + row * 8 + column

    // The problems named when a map is refused.
    static constexpr const char* MalformedXml = QT_TRANSLATE_NOOP("TmxMap", "XMLとして読めません");
    static constexpr const char* NotAMap = QT_TRANSLATE_NOOP("TmxMap", "TMXのマップではありません");
    static constexpr const char* NotOrthogonal =
        QT_TRANSLATE_NOOP("TmxMap", "マップが直交(orthogonal)ではありません");
    static constexpr const char* WrongMapSize =
        QT_TRANSLATE_NOOP("TmxMap", "マップの大きさが64x32ではありません");
    static constexpr const char* WrongTileSize =
        QT_TRANSLATE_NOOP("TmxMap", "タイルの大きさが32x32ではありません");
    static constexpr const char* InfiniteMap =
        QT_TRANSLATE_NOOP("TmxMap", "無限マップは読み込めません");
    static constexpr const char* NoMapLayer =
        QT_TRANSLATE_NOOP("TmxMap", "「map」という名前のタイルレイヤーがありません");
    static constexpr const char* SeveralMapLayers =
        QT_TRANSLATE_NOOP("TmxMap", "「map」という名前のタイルレイヤーが複数あります");
    static constexpr const char* WrongTileset =
        QT_TRANSLATE_NOOP("TmxMap", "タイルセットがGID 1からの256タイルの1つだけではありません");
    static constexpr const char* TilesetUnreadable =
        QT_TRANSLATE_NOOP("TmxMap", "外部タイルセットを読み込めませんでした");
    static constexpr const char* UnsupportedEncoding = QT_TRANSLATE_NOOP(
        "TmxMap", "レイヤーのデータ形式に対応していません(CSVかBase64、圧縮なしかzlibのみ)");
    static constexpr const char* BrokenData =
        QT_TRANSLATE_NOOP("TmxMap", "レイヤーのデータが壊れています");
    static constexpr const char* WrongCellCount =
        QT_TRANSLATE_NOOP("TmxMap", "レイヤーのセルの数が2048ではありません");
    static constexpr const char* FlippedCell =
        QT_TRANSLATE_NOOP("TmxMap", "反転・回転したセルがあります");
    static constexpr const char* EmptyCell = QT_TRANSLATE_NOOP("TmxMap", "空のセルがあります");
    static constexpr const char* GidOutOfRange =
        QT_TRANSLATE_NOOP("TmxMap", "GIDが1から256の範囲外のセルがあります");
    // Put after the file name.
    static constexpr const char* CannotReadPhrase =
        QT_TRANSLATE_NOOP("TmxMap", "を読み込めませんでした: ");

    // The map text, with the chip sheet named sheetFileName (relative to the map).
    static QByteArray Write(std::span<const std::uint8_t, CellCount> mapSet,
                            const QString& sheetFileName, const QString& tilesetName);
    // The chip sheet's file name for a map file: "<name>.chips.png" beside "<name>.tmx".
    static QString SheetPathFor(const QString& tmxPath);

    // Reads the bytes of an external tileset named by a map (its "source" attribute); false
    // when it cannot.
    using TilesetLoader = std::function<bool(const QString& source, QByteArray& bytes)>;
    // mapSet is written only on success; a refusal's message is one of the problems above.
    static Outcome Read(const QByteArray& tmx, const TilesetLoader& loadTileset, MapSet& mapSet);
    // Reads the file at path, external tilesets relative to its folder; a refusal's message
    // starts with the file name.
    static Outcome ReadFile(const QString& path, MapSet& mapSet);

    // The import of mapSet into a stage whose map set is now: one list of map-set bytes.
    static ChangeList ImportChanges(int stage, std::span<const std::uint8_t, CellCount> now,
                                    const MapSet& mapSet);

    // The map-set index of the cell at column x, row y of the map.
    static int IndexOfCell(int x, int y);
};
