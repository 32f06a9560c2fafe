#include "graphics/EditorGraphics.h"

#include "base/LevelFormat.h"

#include "dib/PalettedImageCanvas.h"
#include "fileio/FcPaletteData.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

constexpr int MasterColorCount = FcPaletteData::ColorCount;
constexpr std::uint8_t AnimatedFlag = 0x80;
constexpr std::uint8_t AnimationNumberMask = 0x7F;
// The game's address that AnimeBase stands for.
constexpr std::int64_t AnimationRecordOrigin = 0xBB43;
constexpr int MarkerPixelSize = 12;
// Overlay coordinates beyond this are far outside any view; they are not drawn at all, so
// that no arithmetic on them can overflow.
constexpr std::int64_t OverlayLimit = 1 << 20;

void CheckIndex(int index) {
    if (index < 0 || index >= PalettedImage::ColorCount) {
        throw std::out_of_range("colour index " + std::to_string(index) + " outside 0..255");
    }
}

// The eight pixels of one bit-plane byte, leftmost first: the leftmost pixel is bit 7.
constexpr std::array<std::array<std::uint8_t, 8>, 256> PlaneBits = [] {
    std::array<std::array<std::uint8_t, 8>, 256> bits{};
    for (std::size_t value = 0; value < bits.size(); ++value) {
        for (std::size_t k = 0; k < 8; ++k) {
            bits[value][k] = static_cast<std::uint8_t>((value >> (7 - k)) & 1);
        }
    }
    return bits;
}();

bool OverlayInRange(std::int64_t value) {
    return value > -OverlayLimit && value < OverlayLimit;
}

QString ResolveMarkerFamily() {
    const QStringList preferred = {QString::fromUtf8(EditorGraphics::MarkerFontFace),
                                   QStringLiteral("MS Gothic"),
                                   QStringLiteral("IPAGothic"),
                                   QString::fromUtf8("IPAゴシック"),
                                   QStringLiteral("Noto Sans Mono CJK JP"),
                                   QStringLiteral("TakaoGothic"),
                                   QStringLiteral("VL Gothic")};
    for (const QString& family : preferred) {
        if (QFontDatabase::hasFamily(family)) {
            return family;
        }
    }
    // Japanese faces count as monospace when their half-width letters are (their
    // full-width characters are twice as wide, so they are not "fixed pitch" as such).
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : japanese) {
        const QFontMetrics metrics{QFont(family)};
        if (metrics.horizontalAdvance(QLatin1Char('i')) ==
            metrics.horizontalAdvance(QLatin1Char('W'))) {
            return family;
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

// One-pixel lines straight into the view's pixels, clipped to the view. (Qt's aliased stroker
// drops an end pixel of a line it has to clip at the surface edge, so a frame half outside a
// view would lose a corner; these lines are exact.)
class OutlinePen {
public:
    OutlinePen(ViewSurface& view, std::uint32_t color)
        : Picture(view.Image()), Color(ViewSurface::ToRgb32(color)) {}

    // Pixels (x, from) .. (x, to), both included.
    void Vertical(int x, int from, int to) {
        if (x < 0 || x >= Picture.width()) {
            return;
        }
        for (int y = std::max(from, 0), end = std::min(to, Picture.height() - 1); y <= end; ++y) {
            reinterpret_cast<QRgb*>(Picture.scanLine(y))[x] = Color;
        }
    }

    // Pixels (from, y) .. (to, y), both included.
    void Horizontal(int y, int from, int to) {
        if (y < 0 || y >= Picture.height()) {
            return;
        }
        auto* row = reinterpret_cast<QRgb*>(Picture.scanLine(y));
        for (int x = std::max(from, 0), end = std::min(to, Picture.width() - 1); x <= end; ++x) {
            row[x] = Color;
        }
    }

private:
    QImage& Picture;
    QRgb Color;
};

} // namespace

EditorGraphics::EditorGraphics(const FcPaletteData& palette,
                               std::span<const std::uint8_t> cartridge)
    : Palette(palette), Cartridge(cartridge) {
    ResetPaletteAnimation();
    MasterColors.SetColor(FrameColorIndex, FrameColor);
    StageColors.SetColor(FrameColorIndex, FrameColor);
    MasterColors.SetColor(WhiteIndex, WhiteColor);
    StageColors.SetColor(WhiteIndex, WhiteColor);
    LoadMasterColors();
    Sheet16x16 = std::move(*CreateSheet(Chip16x16SheetSize, Chip16x16SheetSize));
    Sheet32x32 = std::move(*CreateSheet(Chip32x32SheetSize, Chip32x32SheetSize));
}

// ---- Colors ----

void EditorGraphics::LoadMasterColors() {
    for (int n = 0; n < MasterColorCount; ++n) {
        MasterColors.SetColor(n, Palette.ColorOf(n));
    }
}

void EditorGraphics::SetStagePalette(std::span<const std::uint8_t> colorNumbers) {
    const std::size_t count = std::min<std::size_t>(colorNumbers.size(), StageColorCount);
    for (std::size_t i = 0; i < count; ++i) {
        SetStageColor(static_cast<int>(i), colorNumbers[i]);
    }
}

void EditorGraphics::SetStageColor(int index, int colorNumber) {
    StageColors.SetColor(index, Palette.ColorOf(colorNumber & LevelFormat::ColorNumberMask));
}

std::uint32_t EditorGraphics::GetStageColor(int index) const {
    return StageColors.GetColor(index);
}

const PalettedImage::ColorTableArray& EditorGraphics::StageColorTable() const {
    return StageColors.ColorTable();
}

void EditorGraphics::RefreshChip32x32SheetColors() {
    Sheet32x32.CopyColorTable(StageColors);
}

// ---- Surfaces ----

std::unique_ptr<ViewSurface> EditorGraphics::CreateViewBitmap(int width, int height) const {
    return std::make_unique<ViewSurface>(width, height, MasterColors.ColorTable());
}

std::unique_ptr<PalettedImage> EditorGraphics::CreateSheet(int width, int height) const {
    auto sheet = std::make_unique<PalettedImage>(width, height);
    sheet->CopyColorTable(StageColors);
    return sheet;
}

void EditorGraphics::FillViewRect(ViewSurface& view, int x, int y, int width, int height,
                                  int index) const {
    view.FillRect(ImageRect::FromSize(x, y, width, height), index);
}

void EditorGraphics::FillSheetRect(PalettedImage& image, int x, int y, int width, int height,
                                   int index) const {
    CheckIndex(index);
    Touch(image);
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, image.Width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, image.Height());
    for (std::int64_t row = top; row < bottom; ++row) {
        const auto pixels = image.Row(static_cast<int>(row));
        for (std::int64_t column = left; column < right; ++column) {
            pixels[static_cast<std::size_t>(column)] = static_cast<std::uint8_t>(index);
        }
    }
}

// ---- Tiles and chips ----

void EditorGraphics::DrawTile(PalettedImage& image, std::span<const std::uint8_t> tiles, int x,
                              int y, int tile, int subPalette) const {
    if (tile < 0 || tile >= TileCount) {
        return;
    }
    const auto start = static_cast<std::size_t>(tile) * TileBytes;
    if (tiles.size() < start + TileBytes) {
        return;
    }
    Touch(image);
    // Columns and rows of the tile that fall inside the image.
    const int firstColumn = static_cast<int>(std::clamp<std::int64_t>(-std::int64_t{x}, 0, 8));
    const int endColumn =
        static_cast<int>(std::clamp<std::int64_t>(std::int64_t{image.Width()} - x, 0, 8));
    const int firstRow = static_cast<int>(std::clamp<std::int64_t>(-std::int64_t{y}, 0, 8));
    const int endRow =
        static_cast<int>(std::clamp<std::int64_t>(std::int64_t{image.Height()} - y, 0, 8));
    const auto base = static_cast<std::uint8_t>((subPalette & 3) * 4);
    for (int r = firstRow; r < endRow; ++r) {
        const auto& plane0 = PlaneBits[tiles[start + static_cast<std::size_t>(r)]];
        const auto& plane1 = PlaneBits[tiles[start + TileSize + static_cast<std::size_t>(r)]];
        std::uint8_t* row = image.Row(y + r).data();
        for (int k = firstColumn; k < endColumn; ++k) {
            const auto column = static_cast<std::size_t>(k);
            row[x + k] = static_cast<std::uint8_t>(base + plane0[column] + 2 * plane1[column]);
        }
    }
}

void EditorGraphics::DrawPatternSheet(PalettedImage& image, std::span<const std::uint8_t> tiles,
                                      int firstRow) const {
    constexpr int tilesPerRow = LevelFormat::SheetChipsPerRow;
    for (int t = 0; t < TileCount; ++t) {
        const std::int64_t y = std::int64_t{firstRow} + (t / tilesPerRow) * TileSize;
        if (y >= image.Height()) {
            break;
        }
        if (y > -TileSize) {
            DrawTile(image, tiles, (t % tilesPerRow) * TileSize, static_cast<int>(y), t, 0);
        }
    }
}

void EditorGraphics::DrawChip16x16(PalettedImage& image, std::span<const std::uint8_t> tiles,
                                   std::span<const std::uint8_t> chipTable, int x, int y, int chip,
                                   int subPalette) const {
    if (chip < 0 || chip >= ChipCount) {
        return;
    }
    for (int q = 0; q < 4; ++q) {
        const auto entry = static_cast<std::size_t>(q * ChipCount + chip);
        if (entry >= chipTable.size()) {
            continue;
        }
        const std::int64_t tileX = std::int64_t{x} + (q % 2) * TileSize;
        const std::int64_t tileY = std::int64_t{y} + (q / 2) * TileSize;
        if (!OverlayInRange(tileX) || !OverlayInRange(tileY)) {
            continue;
        }
        DrawTile(image, tiles, static_cast<int>(tileX), static_cast<int>(tileY), chipTable[entry],
                 subPalette);
    }
}

void EditorGraphics::DrawChip16x16Sheet(PalettedImage& image, std::span<const std::uint8_t> tiles,
                                        std::span<const std::uint8_t> chipTable,
                                        std::span<const std::uint8_t> attributeTable) const {
    const bool ownSheet = &image == &Sheet16x16;
    if (ownSheet && Sheet16x16Inputs.Match({tiles, chipTable, attributeTable}, 0))
        return;
    for (int n = 0; n < ChipCount; ++n) {
        const auto index = static_cast<std::size_t>(n);
        const int subPalette =
            index < attributeTable.size() ? LevelFormat::SubPaletteOf(attributeTable[index]) : 0;
        DrawChip16x16(image, tiles, chipTable, (n % ChipsPerSheetRow) * Chip16x16Size,
                      (n / ChipsPerSheetRow) * Chip16x16Size, n, subPalette);
    }
    if (ownSheet)
        Sheet16x16Inputs.Remember({tiles, chipTable, attributeTable}, 0);
}

void EditorGraphics::CopyChip32x32Quarters(PalettedImage& image,
                                           std::span<const std::uint8_t> table, int chip) {
    const int chipX = (chip % ChipsPerSheetRow) * Chip32x32Size;
    const int chipY = (chip / ChipsPerSheetRow) * Chip32x32Size;
    // Sheets of the usual sizes hold every cell whole: copy rows of a fixed length directly.
    // Anything else (another size, the 16x16 sheet itself) goes through the clipping copy.
    const bool direct = &image != &Sheet16x16 && image.Width() >= Chip32x32SheetSize &&
                        image.Height() >= Chip32x32SheetSize &&
                        Sheet16x16.Width() == Chip16x16SheetSize &&
                        Sheet16x16.Height() == Chip16x16SheetSize;
    Touch(image);
    PalettedImageCanvas target(image);
    const PalettedImageCanvas source(Sheet16x16);
    for (int q = 0; q < 4; ++q) {
        const auto entry = static_cast<std::size_t>(chip * 4 + q);
        if (entry >= table.size()) {
            continue;
        }
        const int cell = table[entry];
        const int fromX = (cell % ChipsPerSheetRow) * Chip16x16Size;
        const int fromY = (cell / ChipsPerSheetRow) * Chip16x16Size;
        const int toX = chipX + (q % 2) * Chip16x16Size;
        const int toY = chipY + (q / 2) * Chip16x16Size;
        if (!direct) {
            target.CopyRect(ImageRect::FromSize(toX, toY, Chip16x16Size, Chip16x16Size), source,
                            ImageRect::FromSize(fromX, fromY, Chip16x16Size, Chip16x16Size));
            continue;
        }
        for (int r = 0; r < Chip16x16Size; ++r) {
            std::memcpy(image.Row(toY + r).data() + toX, Sheet16x16.Row(fromY + r).data() + fromX,
                        Chip16x16Size);
        }
    }
}

void EditorGraphics::DrawChip32x32Sheet(PalettedImage& image,
                                        std::span<const std::uint8_t> chip32x32Table) {
    const bool ownSheet = &image == &Sheet32x32;
    if (ownSheet && Sheet32x32Inputs.Match({chip32x32Table}, Sheet16x16Writes))
        return;
    for (int n = 0; n < ChipCount; ++n) {
        CopyChip32x32Quarters(image, chip32x32Table, n);
    }
    if (ownSheet)
        Sheet32x32Inputs.Remember({chip32x32Table}, Sheet16x16Writes);
}

void EditorGraphics::Touch(const PalettedImage& image) const {
    if (&image == &Sheet16x16) {
        Sheet16x16Inputs.Forget();
        ++Sheet16x16Writes;
    } else if (&image == &Sheet32x32) {
        Sheet32x32Inputs.Forget();
    }
}

void EditorGraphics::DrawChip32x32(PalettedImage& image,
                                   std::span<const std::uint8_t> chip32x32Table, int chip) {
    if (chip < 0 || chip >= ChipCount) {
        return;
    }
    CopyChip32x32Quarters(image, chip32x32Table, chip);
}

// ---- Views ----

void EditorGraphics::DrawMapPage(ViewSurface& view, std::span<const std::uint8_t> mapBytes) const {
    const std::size_t cells = std::min<std::size_t>(mapBytes.size(), MapPageCells * MapPageCells);
    for (std::size_t i = 0; i < cells; ++i) {
        const int row = static_cast<int>(i) / MapPageCells;
        const int column = static_cast<int>(i) % MapPageCells;
        CopyChip32x32(view, column * Chip32x32Size, row * Chip32x32Size, Chip32x32Size,
                      Chip32x32Size, mapBytes[i]);
    }
}

void EditorGraphics::ShowChip32x32Sheet(ViewSurface& view) const {
    view.CopyFrom({0, 0, view.Width(), view.Height()}, Sheet32x32,
                  {0, 0, Sheet32x32.Width(), Sheet32x32.Height()});
}

void EditorGraphics::CopyChip32x32(ViewSurface& view, int x, int y, int width, int height,
                                   int chip) const {
    if (chip < 0 || chip >= ChipCount) {
        return;
    }
    view.CopyFrom(ImageRect::FromSize(x, y, width, height), Sheet32x32,
                  ImageRect::FromSize((chip % ChipsPerSheetRow) * Chip32x32Size,
                                      (chip / ChipsPerSheetRow) * Chip32x32Size, Chip32x32Size,
                                      Chip32x32Size));
}

void EditorGraphics::CopyToView(ViewSurface& view, const ImageRect& destination,
                                const PalettedImage& source, const ImageRect& sourceRect) const {
    view.CopyFrom(destination, source, sourceRect);
}

// ---- Overlays ----

void EditorGraphics::DrawSquare(ViewSurface& view, int left, int top, int size,
                                std::uint32_t color) const {
    if (!OverlayInRange(left) || !OverlayInRange(top) || !OverlayInRange(size)) {
        return;
    }
    DrawOutline(view, ImageRect::FromSize(left, top, size, size), color);
}

void EditorGraphics::DrawOutline(ViewSurface& view, const ImageRect& area,
                                 std::uint32_t color) const {
    if (!OverlayInRange(area.Left) || !OverlayInRange(area.Top) || !OverlayInRange(area.Right) ||
        !OverlayInRange(area.Bottom) || area.Empty()) {
        return;
    }
    const int left = area.Left;
    const int top = area.Top;
    const int right = area.Right - 1;
    const int bottom = area.Bottom - 1;
    // One closed path: left edge down, bottom edge right, right edge up, top edge left.
    OutlinePen pen(view, color);
    pen.Vertical(left, top, bottom);
    pen.Horizontal(bottom, left, right);
    pen.Vertical(right, top, bottom);
    pen.Horizontal(top, left, right);
    view.NotifyChanged(area);
}

void EditorGraphics::DrawFrame(ViewSurface& view, int x, int y, int size) const {
    DrawSquare(view, x, y, size, FrameColor);
}

void EditorGraphics::DrawFrame(ViewSurface& view, const ImageRect& cells) const {
    DrawOutline(view, cells, FrameColor);
}

HoverFrame EditorGraphics::GridHoverFrame(const std::unique_ptr<ViewSurface>& view,
                                          GridGeometry grid,
                                          HoverFrame::ItemPainter repaintItem) const {
    return HoverFrame(std::move(repaintItem),
                      [this, &view, grid](int item) { DrawFrame(*view, grid.CellRect(item)); });
}

void EditorGraphics::DrawObjectMarker(ViewSurface& view, int x, int y, int type) const {
    if (!OverlayInRange(x) || !OverlayInRange(y)) {
        return;
    }
    DrawSquare(view, x - 8, y - 8, 16, WhiteColor);
    const QString text = QStringLiteral("%1").arg(type & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    QRect written;
    {
        QPainter painter(&view.Image());
        painter.setFont(ObjectMarkerFont());
        painter.setPen(QColor::fromRgb(ViewSurface::ToRgb32(WhiteColor)));
        painter.setBackgroundMode(Qt::TransparentMode);
        // The text's top-left corner, not its baseline, goes to (x - 6, y - 6).
        painter.drawText(QRect(x - 6, y - 6, 64, 64),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text, &written);
    }
    // A pixel of margin: glyphs may reach a little past the box the font reports.
    view.NotifyChanged(
        {written.left() - 1, written.top() - 1, written.right() + 2, written.bottom() + 2});
}

void EditorGraphics::DrawObjectFrame24(ViewSurface& view, int x, int y) const {
    if (OverlayInRange(x) && OverlayInRange(y)) {
        DrawSquare(view, x - 12, y - 12, 24, WhiteColor);
    }
}

void EditorGraphics::DrawObjectFrame32(ViewSurface& view, int x, int y) const {
    if (OverlayInRange(x) && OverlayInRange(y)) {
        DrawSquare(view, x - 16, y - 16, 32, WhiteColor);
    }
}

void EditorGraphics::DrawGrid(ViewSurface& view, int dx, int dy) const {
    const int width = view.Width();
    const int height = view.Height();
    OutlinePen pen(view, WhiteColor);
    if (dy > 0) {
        for (std::int64_t y = 0; y < height; y += dy) {
            pen.Horizontal(static_cast<int>(y), 0, width - 1);
        }
    }
    if (dx > 0) {
        for (std::int64_t x = 0; x < width; x += dx) {
            pen.Vertical(static_cast<int>(x), 0, height - 1);
        }
    }
    view.NotifyChanged();
}

QFont EditorGraphics::ObjectMarkerFont() {
    static const QString family = ResolveMarkerFamily();
    QFont font(family);
    font.setPixelSize(MarkerPixelSize);
    font.setStyleHint(QFont::TypeWriter);
    // Plain pixels: a view shows only palette colours, never blended ones.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// ---- Palette animation ----

void EditorGraphics::ResetPaletteAnimation() {
    AnimeTimer.fill(0);
    AnimeStep.fill(0);
}

std::optional<std::uint8_t> EditorGraphics::CartridgeByte(std::int64_t offset) const {
    if (offset < 0 || offset >= static_cast<std::int64_t>(Cartridge.size())) {
        return std::nullopt;
    }
    return Cartridge[static_cast<std::size_t>(offset)];
}

std::optional<EditorGraphics::AnimationRecord>
EditorGraphics::AnimationRecordOf(std::uint8_t control) const {
    const int number = control & AnimationNumberMask;
    const auto low = CartridgeByte(std::int64_t{*AnimationTables.AnimeLowTable} + number);
    const auto high = CartridgeByte(std::int64_t{*AnimationTables.AnimeHighTable} + number);
    if (!low || !high) {
        return std::nullopt;
    }
    const std::int64_t record = std::int64_t{*AnimationTables.AnimeBase} + *low +
                                256 * std::int64_t{*high} - AnimationRecordOrigin;
    const auto lastStep = CartridgeByte(record);
    const auto period = CartridgeByte(record + 1);
    if (!lastStep || !period) {
        return std::nullopt;
    }
    return AnimationRecord{record, *lastStep, *period};
}

std::optional<int>
EditorGraphics::TicksUntilAnimationChange(const std::uint8_t animation[4]) const {
    if (animation == nullptr || !AnimationTables.Complete()) {
        return std::nullopt;
    }
    std::optional<int> soonest;
    std::array<std::optional<AnimationRecord>, 4> records;
    std::array<int, 4> due{};
    for (std::size_t i = 0; i < AnimeTimer.size(); ++i) {
        if (animation[i] < AnimatedFlag) {
            continue;
        }
        records[i] = AnimationRecordOf(animation[i]);
        if (!records[i]) {
            return std::nullopt; // such a tick changes nothing, now or later
        }
        // A tick advances the entry once its count reaches the period.
        due[i] = std::max(1, records[i]->Period - AnimeTimer[i]);
        soonest = soonest ? std::min(*soonest, due[i]) : due[i];
    }
    // A colour the advancing entries cannot read stops that tick, counts included, and so
    // every tick after it.
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i] && due[i] == soonest && !AnimationColorsOf(*records[i], AnimeStep[i])) {
            return std::nullopt;
        }
    }
    return soonest;
}

std::optional<std::array<std::uint8_t, 3>>
EditorGraphics::AnimationColorsOf(const AnimationRecord& record, int step) const {
    const auto colorSet = CartridgeByte(record.Offset + 2 + step);
    if (!colorSet) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 3> colors{};
    for (std::size_t k = 0; k < colors.size(); ++k) {
        const auto color = CartridgeByte(std::int64_t{*AnimationTables.AnimeColorTable} +
                                         std::int64_t{*colorSet} * 3 + static_cast<int>(k));
        if (!color) {
            return std::nullopt;
        }
        colors[k] = *color;
    }
    return colors;
}

bool EditorGraphics::StepPaletteAnimation(const std::uint8_t animation[4]) {
    if (animation == nullptr || !AnimationTables.Complete()) {
        return false;
    }
    struct Tick {
        bool Animated = false;
        bool Advance = false;
        int LastStep = 0;
        std::array<std::uint8_t, 3> Colors{};
    };
    // Read everything this tick needs first: an offset outside the buffer leaves the whole
    // step without effect, counters included.
    std::array<Tick, 4> ticks{};
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const std::uint8_t control = animation[i];
        if (control < AnimatedFlag) {
            continue;
        }
        const std::optional<AnimationRecord> record = AnimationRecordOf(control);
        if (!record) {
            return false;
        }
        Tick& tick = ticks[i];
        tick.Animated = true;
        tick.LastStep = record->LastStep;
        tick.Advance = AnimeTimer[i] + 1 >= record->Period;
        if (!tick.Advance) {
            continue;
        }
        const auto colors = AnimationColorsOf(*record, AnimeStep[i]);
        if (!colors) {
            return false;
        }
        tick.Colors = *colors;
    }
    bool changed = false;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const Tick& tick = ticks[i];
        if (!tick.Animated) {
            continue;
        }
        AnimeTimer[i] += 1;
        if (!tick.Advance) {
            continue;
        }
        AnimeTimer[i] = 0;
        // Entry 4i keeps its colour; 4i + 1 .. 4i + 3 take the colour set.
        for (std::size_t k = 0; k < 3; ++k) {
            SetStageColor(static_cast<int>(i * 4 + k + 1), tick.Colors[k]);
        }
        changed = true;
        AnimeStep[i] += 1;
        if (AnimeStep[i] > tick.LastStep) {
            AnimeStep[i] = 0;
        }
    }
    return changed;
}
