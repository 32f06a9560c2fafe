#include "document/TmxMap.h"

#include "base/PlainFile.h"

#include <QDir>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// A cell's GID carries Tiled's flip and rotation flags in its top four bits.
constexpr std::uint32_t FlagBits = 0xF0000000u;
constexpr std::size_t LayerBytes = TmxMap::CellCount * sizeof(std::uint32_t);
constexpr int MaxGroupDepth = 64;

Outcome Refuse(const char* problem) {
    return Outcome::Failure(problem);
}

// -1 when the attribute is missing or not a number.
int NumberAttribute(const QXmlStreamAttributes& attributes, const char* name) {
    bool ok = false;
    const int value = attributes.value(QLatin1String(name)).toInt(&ok);
    return ok ? value : -1;
}

class MapReader {
public:
    MapReader(const QByteArray& tmx, const TmxMap::TilesetLoader& loadTileset)
        : Xml(tmx), LoadTileset(loadTileset) {}

    Outcome Read(TmxMap::MapSet& mapSet) {
        if (!Xml.readNextStartElement())
            return Refuse(Xml.hasError() ? TmxMap::MalformedXml : TmxMap::NotAMap);
        if (Xml.name() != QLatin1String("map"))
            return Refuse(TmxMap::NotAMap);
        Outcome outcome = CheckMapAttributes();
        if (outcome.Ok)
            outcome = ReadChildren();
        if (outcome.Ok && Xml.hasError())
            outcome = Refuse(TmxMap::MalformedXml);
        if (outcome.Ok && Tilesets != 1)
            outcome = Refuse(TmxMap::WrongTileset);
        if (outcome.Ok && MapLayers == 0)
            outcome = Refuse(TmxMap::NoMapLayer);
        if (outcome.Ok)
            mapSet = Result;
        return outcome;
    }

private:
    Outcome CheckMapAttributes() const {
        const QXmlStreamAttributes attributes = Xml.attributes();
        if (attributes.value(QLatin1String("orientation")) != QLatin1String("orthogonal"))
            return Refuse(TmxMap::NotOrthogonal);
        if (NumberAttribute(attributes, "infinite") > 0)
            return Refuse(TmxMap::InfiniteMap);
        if (NumberAttribute(attributes, "width") != TmxMap::Columns ||
            NumberAttribute(attributes, "height") != TmxMap::Rows)
            return Refuse(TmxMap::WrongMapSize);
        if (NumberAttribute(attributes, "tilewidth") != TmxMap::TilePixels ||
            NumberAttribute(attributes, "tileheight") != TmxMap::TilePixels)
            return Refuse(TmxMap::WrongTileSize);
        return Outcome::Success();
    }

    // The children of the map or of a layer group; everything but tilesets, tile layers named
    // "map" and groups is skipped, and so are groups nested deeper than any map needs (each
    // level is a call here).
    Outcome ReadChildren(int depth = 0) {
        while (Xml.readNextStartElement()) {
            Outcome outcome = Outcome::Success();
            if (Xml.name() == QLatin1String("tileset"))
                outcome = ReadTileset();
            else if (Xml.name() == QLatin1String("group") && depth < MaxGroupDepth)
                outcome = ReadChildren(depth + 1);
            else if (Xml.name() == QLatin1String("layer") &&
                     Xml.attributes().value(QLatin1String("name")) == QLatin1String("map"))
                outcome = ReadMapLayer();
            else
                Xml.skipCurrentElement();
            if (!outcome.Ok)
                return outcome;
        }
        return Outcome::Success();
    }

    Outcome ReadTileset() {
        ++Tilesets;
        const QXmlStreamAttributes attributes = Xml.attributes();
        if (Tilesets > 1 || NumberAttribute(attributes, "firstgid") != 1) {
            Xml.skipCurrentElement();
            return Refuse(TmxMap::WrongTileset);
        }
        if (!attributes.hasAttribute(QLatin1String("source")))
            return CheckTileCount(Xml);
        Xml.skipCurrentElement();
        QByteArray bytes;
        if (!LoadTileset ||
            !LoadTileset(attributes.value(QLatin1String("source")).toString(), bytes))
            return Refuse(TmxMap::TilesetUnreadable);
        QXmlStreamReader tileset(bytes);
        if (!tileset.readNextStartElement() || tileset.name() != QLatin1String("tileset"))
            return Refuse(TmxMap::TilesetUnreadable);
        return CheckTileCount(tileset);
    }

    // With xml at a tileset's start: its tile count, or where Tiled wrote 0 because it could
    // not find the picture, the count the picture's size makes. Leaves xml after the tileset.
    static Outcome CheckTileCount(QXmlStreamReader& xml) {
        const QXmlStreamAttributes tileset = xml.attributes();
        long long count = NumberAttribute(tileset, "tilecount");
        while (xml.readNextStartElement()) {
            if (count <= 0 && xml.name() == QLatin1String("image")) {
                const int tileWidth = NumberAttribute(tileset, "tilewidth");
                const int tileHeight = NumberAttribute(tileset, "tileheight");
                const int width = NumberAttribute(xml.attributes(), "width");
                const int height = NumberAttribute(xml.attributes(), "height");
                if (tileWidth > 0 && tileHeight > 0 && width >= 0 && height >= 0)
                    count = static_cast<long long>(width / tileWidth) * (height / tileHeight);
            }
            xml.skipCurrentElement();
        }
        return count == LevelFormat::ChipCount ? Outcome::Success() : Refuse(TmxMap::WrongTileset);
    }

    Outcome ReadMapLayer() {
        if (++MapLayers > 1)
            return Refuse(TmxMap::SeveralMapLayers);
        const QXmlStreamAttributes attributes = Xml.attributes();
        for (const char* name : {"width", "height"}) {
            const int expected = name[0] == 'w' ? TmxMap::Columns : TmxMap::Rows;
            if (attributes.hasAttribute(QLatin1String(name)) &&
                NumberAttribute(attributes, name) != expected)
                return Refuse(TmxMap::WrongMapSize);
        }
        bool sawData = false;
        while (Xml.readNextStartElement()) {
            if (Xml.name() != QLatin1String("data") || sawData) {
                Xml.skipCurrentElement();
                continue;
            }
            sawData = true;
            const Outcome outcome = ReadData();
            if (!outcome.Ok)
                return outcome;
        }
        return sawData || Xml.hasError() ? Outcome::Success() : Refuse(TmxMap::WrongCellCount);
    }

    Outcome ReadData() {
        const QXmlStreamAttributes attributes = Xml.attributes();
        const QString encoding = attributes.value(QLatin1String("encoding")).toString();
        const QString compression = attributes.value(QLatin1String("compression")).toString();
        QString text;
        while (!Xml.atEnd()) {
            Xml.readNext();
            if (Xml.isEndElement())
                break;
            if (Xml.isCharacters())
                text += Xml.text();
            else if (Xml.isStartElement())
                return Refuse(Xml.name() == QLatin1String("chunk") ? TmxMap::InfiniteMap
                                                                   : TmxMap::UnsupportedEncoding);
        }
        if (Xml.hasError())
            return Refuse(TmxMap::MalformedXml);
        std::vector<std::uint32_t> cells;
        Outcome outcome = Outcome::Success();
        if (encoding == QLatin1String("csv") && compression.isEmpty())
            outcome = ParseCsv(text, cells);
        else if (encoding == QLatin1String("base64"))
            outcome = ParseBase64(text, compression, cells);
        else
            outcome = Refuse(TmxMap::UnsupportedEncoding);
        return outcome.Ok ? TakeCells(cells) : outcome;
    }

    static Outcome ParseCsv(const QString& text, std::vector<std::uint32_t>& cells) {
        // Counted before splitting: a file of commas alone would make millions of strings.
        if (text.count(u',') != TmxMap::CellCount - 1)
            return Refuse(TmxMap::WrongCellCount);
        const QStringList values = text.split(u',');
        cells.reserve(TmxMap::CellCount);
        for (const QString& value : values) {
            bool ok = false;
            const qulonglong gid = value.trimmed().toULongLong(&ok, 10);
            if (!ok || gid > 0xFFFFFFFFull)
                return Refuse(TmxMap::BrokenData);
            cells.push_back(static_cast<std::uint32_t>(gid));
        }
        return Outcome::Success();
    }

    static Outcome ParseBase64(const QString& text, const QString& compression,
                               std::vector<std::uint32_t>& cells) {
        if (!compression.isEmpty() && compression != QLatin1String("zlib"))
            return Refuse(TmxMap::UnsupportedEncoding);
        QByteArray packed = text.toLatin1();
        packed.removeIf([](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
        const QByteArray::FromBase64Result decoded =
            QByteArray::fromBase64Encoding(packed, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return Refuse(TmxMap::BrokenData);
        const QByteArray& raw = decoded.decoded;
        std::vector<std::uint8_t> bytes;
        if (compression.isEmpty()) {
            bytes.assign(raw.begin(), raw.end());
        } else {
            // One byte more than a layer needs: a stream that would fill it holds too many cells,
            // and nothing larger is ever inflated.
            bytes.resize(LayerBytes + 1);
            uLongf size = static_cast<uLongf>(bytes.size());
            const int result =
                uncompress(bytes.data(), &size, reinterpret_cast<const Bytef*>(raw.data()),
                           static_cast<uLong>(raw.size()));
            if (result == Z_BUF_ERROR && size == bytes.size())
                return Refuse(TmxMap::WrongCellCount);
            if (result != Z_OK)
                return Refuse(TmxMap::BrokenData);
            bytes.resize(size);
        }
        if (bytes.size() != LayerBytes)
            return Refuse(TmxMap::WrongCellCount);
        cells.resize(TmxMap::CellCount);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::uint8_t* b = &bytes[i * 4];
            cells[i] = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                       static_cast<std::uint32_t>(b[2]) << 16 |
                       static_cast<std::uint32_t>(b[3]) << 24;
        }
        return Outcome::Success();
    }

    // Cells in the map's order, left to right and top to bottom.
    Outcome TakeCells(const std::vector<std::uint32_t>& cells) {
        for (int i = 0; i < TmxMap::CellCount; ++i) {
            const std::uint32_t gid = cells[static_cast<std::size_t>(i)];
            if ((gid & FlagBits) != 0)
                return Refuse(TmxMap::FlippedCell);
            if (gid == 0)
                return Refuse(TmxMap::EmptyCell);
            if (gid > static_cast<std::uint32_t>(LevelFormat::ChipCount))
                return Refuse(TmxMap::GidOutOfRange);
            const int index = TmxMap::IndexOfCell(i % TmxMap::Columns, i / TmxMap::Columns);
            Result[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(gid - 1);
        }
        return Outcome::Success();
    }

    QXmlStreamReader Xml;
    const TmxMap::TilesetLoader& LoadTileset;
    int Tilesets = 0;
    int MapLayers = 0;
    TmxMap::MapSet Result{};
};

} // namespace

int TmxMap::IndexOfCell(int x, int y) {
    const int cellsPerRow = LevelFormat::MapCellsPerRow;
    const int page = (y / cellsPerRow) * (Columns / cellsPerRow) + x / cellsPerRow;
    return page * LevelFormat::MapCellsPerPage + (y % cellsPerRow) * cellsPerRow + x % cellsPerRow;
}

QByteArray TmxMap::Write(std::span<const std::uint8_t, CellCount> mapSet,
                         const QString& sheetFileName, const QString& tilesetName) {
    QByteArray text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement("map");
    xml.writeAttribute("version", "1.10");
    xml.writeAttribute("orientation", "orthogonal");
    xml.writeAttribute("renderorder", "right-down");
    xml.writeAttribute("width", QString::number(Columns));
    xml.writeAttribute("height", QString::number(Rows));
    xml.writeAttribute("tilewidth", QString::number(TilePixels));
    xml.writeAttribute("tileheight", QString::number(TilePixels));
    xml.writeAttribute("infinite", "0");
    xml.writeAttribute("nextlayerid", "2");
    xml.writeAttribute("nextobjectid", "1");

    xml.writeStartElement("tileset");
    xml.writeAttribute("firstgid", "1");
    xml.writeAttribute("name", tilesetName);
    xml.writeAttribute("tilewidth", QString::number(TilePixels));
    xml.writeAttribute("tileheight", QString::number(TilePixels));
    xml.writeAttribute("tilecount", QString::number(LevelFormat::ChipCount));
    xml.writeAttribute("columns", QString::number(LevelFormat::SheetChipsPerRow));
    xml.writeEmptyElement("image");
    xml.writeAttribute("source", sheetFileName);
    xml.writeAttribute("width", QString::number(SheetPixels));
    xml.writeAttribute("height", QString::number(SheetPixels));
    xml.writeEndElement();

    xml.writeStartElement("layer");
    xml.writeAttribute("id", "1");
    xml.writeAttribute("name", "map");
    xml.writeAttribute("width", QString::number(Columns));
    xml.writeAttribute("height", QString::number(Rows));
    xml.writeStartElement("data");
    xml.writeAttribute("encoding", "csv");
    QString cells = "\n";
    cells.reserve(CellCount * 4 + Rows);
    for (int y = 0; y < Rows; ++y) {
        for (int x = 0; x < Columns; ++x) {
            cells += QString::number(mapSet[static_cast<std::size_t>(IndexOfCell(x, y))] + 1);
            if (x + 1 < Columns || y + 1 < Rows)
                cells += u',';
        }
        cells += u'\n';
    }
    xml.writeCharacters(cells);
    xml.writeEndElement(); // data
    xml.writeEndElement(); // layer
    xml.writeEndElement(); // map
    xml.writeEndDocument();
    return text;
}

QString TmxMap::SheetPathFor(const QString& tmxPath) {
    const QFileInfo info(tmxPath);
    QString name = info.fileName();
    if (name.endsWith(QLatin1String(".tmx"), Qt::CaseInsensitive))
        name.chop(4);
    return info.dir().filePath(name + ".chips.png");
}

Outcome TmxMap::Read(const QByteArray& tmx, const TilesetLoader& loadTileset, MapSet& mapSet) {
    MapReader reader(tmx, loadTileset);
    return reader.Read(mapSet);
}

Outcome TmxMap::ReadFile(const QString& path, MapSet& mapSet) {
    const std::string file = path.toStdString();
    std::vector<std::uint8_t> bytes;
    const Outcome read = PlainFile::Read(file, MaxFileSize,
                                         PlainFile::CannotOpen(file, std::strerror(EFBIG)), bytes);
    if (!read.Ok)
        return read;
    const QDir folder = QFileInfo(path).dir();
    const TilesetLoader loadTileset = [&folder](const QString& source, QByteArray& tileset) {
        const std::string tilesetPath = folder.filePath(source).toStdString();
        std::vector<std::uint8_t> tilesetBytes;
        if (!PlainFile::Read(tilesetPath, MaxFileSize, {}, tilesetBytes).Ok)
            return false;
        tileset = QByteArray(reinterpret_cast<const char*>(tilesetBytes.data()),
                             static_cast<qsizetype>(tilesetBytes.size()));
        return true;
    };
    const QByteArray tmx(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qsizetype>(bytes.size()));
    const Outcome outcome = Read(tmx, loadTileset, mapSet);
    if (outcome.Ok)
        return outcome;
    return Outcome::Failure(QFileInfo(path).fileName().toStdString() + CannotReadPhrase +
                            outcome.Message);
}

ChangeList TmxMap::ImportChanges(int stage, std::span<const std::uint8_t, CellCount> now,
                                 const MapSet& mapSet) {
    ChangeList list;
    list.Place = {stage, EditorTabId::MapSet, -1};
    for (std::size_t i = 0; i < mapSet.size(); ++i)
        if (now[i] != mapSet[i])
            list.Bytes.push_back({static_cast<std::uint8_t>(stage), EditorArray::MapSet,
                                  static_cast<std::uint16_t>(i), now[i], mapSet[i]});
    return list;
}
