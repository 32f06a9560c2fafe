#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

class EditorGraphics;
class FcPaletteData;
class RomImageData;

// Pictures of one stage for sharing: the whole map (the 32 pages in 8 columns and 4 rows, each
// page drawn as the map-set tab draws it, optionally with the object marks of the object tab)
// and the two chip sheets. The picture is drawn with an engine of its own, so nothing the
// window shows changes. Where it has at most 256 colours it is an indexed picture whose pixel
// values are the tile colour numbers (4 * sub-palette + colour) of the stage.
class StagePicture {
public:
    enum class Kind { Map, Chip16x16Sheet, Chip32x32Sheet };

    struct Options {
        Kind What = Kind::Map;
        int Stage = 0;
        int PaletteSet = 0; // 0 or 1
        bool Objects = false;
        // A second pattern load entry applied over the stage's own one, as the 16x16 chip tab
        // does while another entry is chosen there.
        std::optional<int> ExtraPatternEntry;
    };

    static constexpr int PageSize = 256;
    static constexpr int PageColumns = 8;
    static constexpr int PageRows = 4;
    static constexpr int MapWidth = PageSize * PageColumns; // 2048
    static constexpr int MapHeight = PageSize * PageRows;   // 1024
    static constexpr const char* WriteFailedMessage =
        QT_TRANSLATE_NOOP("StagePicture", "画像を書き込めませんでした");

    // Needs a QGuiApplication for the marks' font. A null picture while the holder has no
    // decoded stages or the stage number is out of range.
    static QImage Render(const FcPaletteData& palette, const RomImageData& rom,
                         const Options& options);
    // Both chip sheets of the stage drawn into engine as the picture draws them: the chosen
    // palette set and pattern entries. The stage must exist.
    static void DrawSheets(EditorGraphics& engine, const RomImageData& rom, const Options& options);
    // PNG bytes of the picture.
    static QByteArray EncodePng(const QImage& picture);
};
