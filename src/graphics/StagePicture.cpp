#include "graphics/StagePicture.h"

#include "address/AddressData.h"
#include "base/LevelFormat.h"
#include "editdata/PatternLoadEntry.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/ViewSurface.h"

#include <QBuffer>

#include <algorithm>
#include <map>
#include <vector>

namespace {

constexpr int PageBytes = LevelFormat::MapCellsPerPage;

// An indexed picture of the paletted image's pixels with as many table entries as it uses.
QImage IndexedCopy(const PalettedImage& source, int width, int height) {
    QImage picture(width, height, QImage::Format_Indexed8);
    int highest = 0;
    for (int y = 0; y < height; ++y) {
        const auto row = source.Row(y);
        uchar* line = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[x] = row[static_cast<std::size_t>(x)];
            highest = std::max<int>(highest, line[x]);
        }
    }
    QVector<QRgb> table;
    for (int i = 0; i <= highest; ++i)
        table << ViewSurface::ToRgb32(source.GetColor(i));
    picture.setColorTable(table);
    return picture;
}

// The map of the stage from the 32x32 chip sheet: page p at ((p mod 8) * 256, (p div 8) * 256).
QImage MapPicture(const EditorGraphics& engine, const StageData& stage) {
    const PalettedImage& sheet = engine.Chip32x32Sheet();
    PalettedImage map(StagePicture::MapWidth, StagePicture::MapHeight);
    map.CopyColorTable(sheet);
    constexpr int Chip = EditorGraphics::Chip32x32Size;
    for (int page = 0; page < LevelFormat::PageCount; ++page) {
        const int left = (page % StagePicture::PageColumns) * StagePicture::PageSize;
        const int top = (page / StagePicture::PageColumns) * StagePicture::PageSize;
        for (int cell = 0; cell < PageBytes; ++cell) {
            const int chip = stage.MapSetTable[static_cast<std::size_t>(page * PageBytes + cell)];
            const int sheetX = (chip % EditorGraphics::ChipsPerSheetRow) * Chip;
            const int sheetY = (chip / EditorGraphics::ChipsPerSheetRow) * Chip;
            const int x = left + (cell % EditorGraphics::MapPageCells) * Chip;
            const int y = top + (cell / EditorGraphics::MapPageCells) * Chip;
            for (int row = 0; row < Chip; ++row) {
                const auto from =
                    sheet.Row(sheetY + row)
                        .subspan(static_cast<std::size_t>(sheetX), static_cast<std::size_t>(Chip));
                std::copy(from.begin(), from.end(),
                          map.Row(y + row).begin() + static_cast<std::ptrdiff_t>(x));
            }
        }
    }
    return IndexedCopy(map, StagePicture::MapWidth, StagePicture::MapHeight);
}

// The object tab's marks over the map: every page is drawn as that tab draws a room, and the
// pixels the marks changed get colours of their own after the stage colours. Beyond 256
// colours the picture stays in true colour.
QImage WithObjectMarks(const EditorGraphics& engine, const StageData& stage, QImage map) {
    std::map<QRgb, int> added;
    QVector<QRgb> table = map.colorTable();
    QImage trueColour = map.convertToFormat(QImage::Format_RGB32);
    const auto surface = engine.CreateViewBitmap(StagePicture::PageSize, StagePicture::PageSize);
    const std::span<const std::uint8_t> mapBytes(stage.MapSetTable);
    for (int page = 0; page < LevelFormat::PageCount; ++page) {
        const auto& objects = stage.ObjectsOfPage(page);
        if (objects.empty())
            continue;
        engine.DrawMapPage(*surface,
                           mapBytes.subspan(static_cast<std::size_t>(page * PageBytes), PageBytes));
        for (const ObjectNode& object : objects)
            engine.DrawObjectMarker(*surface, object.X, object.Y, object.Type);
        const int left = (page % StagePicture::PageColumns) * StagePicture::PageSize;
        const int top = (page / StagePicture::PageColumns) * StagePicture::PageSize;
        for (int y = 0; y < StagePicture::PageSize; ++y) {
            const auto* drawn = reinterpret_cast<const QRgb*>(surface->Image().constScanLine(y));
            auto* rgb = reinterpret_cast<QRgb*>(trueColour.scanLine(top + y)) + left;
            uchar* index = map.scanLine(top + y) + left;
            for (int x = 0; x < StagePicture::PageSize; ++x) {
                const QRgb colour = drawn[x] | 0xFF000000u;
                if (colour == (rgb[x] | 0xFF000000u))
                    continue;
                rgb[x] = colour;
                auto found = added.find(colour);
                if (found == added.end()) {
                    found = added.emplace(colour, static_cast<int>(table.size())).first;
                    table << colour;
                }
                if (found->second < 256)
                    index[x] = static_cast<uchar>(found->second);
            }
        }
    }
    if (table.size() > 256)
        return trueColour;
    map.setColorTable(table);
    return map;
}

} // namespace

QImage StagePicture::Render(const FcPaletteData& palette, const RomImageData& rom,
                            const Options& options) {
    if (!rom.HasStages() || rom.Address() == nullptr || options.Stage < 0 ||
        options.Stage >= LevelFormat::StageCount)
        return {};
    EditorGraphics engine(palette, rom.Buffer());
    DrawSheets(engine, rom, options);
    switch (options.What) {
    case Kind::Chip16x16Sheet:
        return IndexedCopy(engine.Chip16x16Sheet(), EditorGraphics::Chip16x16SheetSize,
                           EditorGraphics::Chip16x16SheetSize);
    case Kind::Chip32x32Sheet:
        return IndexedCopy(engine.Chip32x32Sheet(), EditorGraphics::Chip32x32SheetSize,
                           EditorGraphics::Chip32x32SheetSize);
    case Kind::Map:
        break;
    }
    const StageData& stage = rom.Stage(options.Stage);
    QImage map = MapPicture(engine, stage);
    return options.Objects ? WithObjectMarks(engine, stage, std::move(map)) : map;
}

void StagePicture::DrawSheets(EditorGraphics& engine, const RomImageData& rom,
                              const Options& options) {
    const StageData& stage = rom.Stage(options.Stage);
    const std::span<const std::uint8_t> image = rom.Buffer();
    const AddressData& address = *rom.Address();
    engine.SetStagePalette(
        std::span<const std::uint8_t>(stage.StagePalette)
            .subspan(static_cast<std::size_t>(std::clamp(options.PaletteSet, 0, 1)) * 16, 16));
    std::vector<std::uint8_t> patterns(PatternLoadEntry::TablesBytes, 0);
    const int own =
        address.TableByte(image, LevelDataKey::PatternTableDataNo, options.Stage).value_or(0);
    PatternLoadEntry::Apply(image, address.PatternEntryOffset(own), patterns);
    if (options.ExtraPatternEntry && *options.ExtraPatternEntry != own)
        PatternLoadEntry::Apply(image, address.PatternEntryOffset(*options.ExtraPatternEntry),
                                patterns);
    engine.Chip16x16Sheet().SetColorTable(engine.StageColorTable());
    engine.DrawChip16x16Sheet(
        engine.Chip16x16Sheet(),
        std::span<const std::uint8_t>(patterns).first(LevelFormat::PatternTableBytes),
        stage.Chip16x16Table(), stage.ChipPropertyTable());
    engine.DrawChip32x32Sheet(engine.Chip32x32Sheet(), stage.Chip32x32Table);
    engine.RefreshChip32x32SheetColors();
}

QByteArray StagePicture::EncodePng(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return {};
    return bytes;
}
