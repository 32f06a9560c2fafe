#pragma once

#include "graphics/StagePicture.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

class FcPaletteData;
class IniFile;
class QCommandLineParser;
class RomImageData;
class QTextStream;

// The commands that run without the window: pictures of stages and sheets, making and applying
// patches, checking an image, and Tiled maps of a stage. Usable in scripts: no display is needed,
// refusals go to stderr as the window's message followed by the file name.
class CommandLineTool {
    Q_DECLARE_TR_FUNCTIONS(CommandLineTool)

public:
    enum ExitCode { Success = 0, Refused = 1, UsageError = 2 };

    static constexpr const char* Version = "1.0";

    // True when the arguments ask for a command rather than the window: one of the tool's own
    // options. Qt's options (-style, -platform, ...) and files are the window's.
    static bool WantsCommand(int argc, char* argv[]);
    // Creates its own offscreen application object; returns the exit status.
    static int Run(int argc, char* argv[]);

    // With the application object already there (tests): arguments include the program name.
    CommandLineTool(QTextStream& out, QTextStream& err);
    int Execute(const QStringList& arguments);

private:
    int ExportMap(const QCommandLineParser& parser, const QStringList& files);
    int ExportSheet(const QCommandLineParser& parser, const QStringList& files);
    int ExportPicture(const StagePicture::Options& options, const QString& out,
                      const QString& image);
    int MakePatch(const QStringList& files);
    int ApplyPatch(const QStringList& files);
    int Check(const QStringList& files);
    int ExportTmx(const QCommandLineParser& parser, const QStringList& files);
    int ImportTmx(const QCommandLineParser& parser, const QStringList& files);
    // Success, or the refusal's exit code after its message.
    int LoadPalette(std::unique_ptr<FcPaletteData>& palette);
    int WritePicture(const FcPaletteData& palette, const RomImageData& rom,
                     const StagePicture::Options& options, const QString& out);

    int Usage(const QString& problem);
    int Refuse(const QString& message, const QString& file);
    // Writes bytes to path in one step; a failure is refused naming path.
    int WriteOrRefuse(const QString& path, std::span<const std::uint8_t> bytes);
    // An existing file about to be replaced is kept first, as before a save; a restore point
    // that cannot be made is reported and the write still goes on.
    void KeepBeforeReplacing(const IniFile& settings, const QString& path);
    static std::optional<int> ParseStage(const QString& text);

    QTextStream& Out;
    QTextStream& Err;
};
