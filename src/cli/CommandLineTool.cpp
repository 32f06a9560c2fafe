#include "cli/CommandLineTool.h"
#include "base/LevelFormat.h"

#include "atomicfile/AtomicFileWriter.h"
#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "document/TmxMap.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RestorePoint.h"
#include "fileio/RomImageData.h"
#include "fileio/SettingsFileLocation.h"
#include "fileio/SupportFiles.h"
#include "graphics/StagePicture.h"
#include "inifile/IniFile.h"
#include "patch/PatchFiles.h"
#include "translation/Translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string_view>

namespace {

const char* const TooManyObjectsMessage =
    QT_TRANSLATE_NOOP("CommandLineTool", "オブジェクトの数が多すぎます");

const QCommandLineOption ExportMapOption("export-map",
                                         QT_TRANSLATE_NOOP("CommandLineTool",
                                                           "STAGE の全ページを PNG に書き出す"),
                                         "STAGE");
const QCommandLineOption ExportSheetOption(
    "export-sheet",
    QT_TRANSLATE_NOOP("CommandLineTool", "STAGE の 16x16 / 32x32 チップ一覧を PNG に書き出す"),
    "16|32");
const QCommandLineOption ObjectsOption("objects",
                                       QT_TRANSLATE_NOOP("CommandLineTool", "オブジェクトも描く"));
const QCommandLineOption
    PaletteSetOption("palette-set", QT_TRANSLATE_NOOP("CommandLineTool", "パレットセット (0 か 1)"),
                     "0|1", "0");
const QCommandLineOption
    MakePatchOption("make-patch",
                    QT_TRANSLATE_NOOP("CommandLineTool", "ORIGINAL から EDITED へのパッチを作る"));
const QCommandLineOption ApplyPatchOption("apply-patch",
                                          QT_TRANSLATE_NOOP("CommandLineTool",
                                                            "ORIGINAL に PATCH を当てて書き出す"));
const QCommandLineOption CheckOption("check",
                                     QT_TRANSLATE_NOOP("CommandLineTool", "IMAGE を検査する"));
const QCommandLineOption ExportTmxOption(
    "export-tmx", QT_TRANSLATE_NOOP("CommandLineTool", "STAGE のマップを TMX に書き出す"), "STAGE");
const QCommandLineOption ImportTmxOption(
    "import-tmx", QT_TRANSLATE_NOOP("CommandLineTool", "TMX を STAGE のマップに読み込んで書き出す"),
    "STAGE");

// The tool's own options; anything else (Qt's -style, -platform, -reverse, ..., or a file) is
// left to the window.
const QCommandLineOption* const OwnOptions[] = {
    &ExportMapOption,  &ExportSheetOption, &ObjectsOption,   &PaletteSetOption, &MakePatchOption,
    &ApplyPatchOption, &CheckOption,       &ExportTmxOption, &ImportTmxOption};
// The parser's help and version options.
const char* const HelpAndVersion[] = {"-h", "--help", "--help-all", "-v", "--version"};

bool IsCommandOption(const QString& argument) {
    for (const char* option : HelpAndVersion)
        if (argument == QLatin1String(option))
            return true;
    if (!argument.startsWith("--"))
        return false;
    // "--export-map=3" names the option before the "=".
    const QString name = argument.mid(2).section('=', 0, 0);
    for (const QCommandLineOption* option : OwnOptions)
        if (option->names().contains(name))
            return true;
    return false;
}

// The window's folder of the given kind: named after the window's application name, not the
// command's own.
QString WindowFolder(QStandardPaths::StandardLocation location) {
    const QString own = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(SettingsFileLocation::ApplicationName);
    const QString folder = QStandardPaths::writableLocation(location);
    QCoreApplication::setApplicationName(own);
    return folder;
}

// The option with its description in the language of the day: the options are made before any
// catalogue is loaded.
QCommandLineOption Translated(QCommandLineOption option) {
    option.setDescription(
        QCoreApplication::translate("CommandLineTool", option.description().toUtf8().constData()));
    return option;
}

// The settings file the window reads (level-data offsets, the chosen master palette), found
// the way the window finds it; never written here.
std::unique_ptr<IniFile> ReadSettings() {
    return std::make_unique<IniFile>(SettingsFileLocation::Choose(
        QCoreApplication::applicationDirPath().toStdString(),
        WindowFolder(QStandardPaths::AppConfigLocation).toStdString()));
}

struct OpenedImage {
    std::unique_ptr<IniFile> Settings = ReadSettings();
    EditFlagManagement Flags{{}};
    RomImageData Rom{Flags, *Settings};
};

std::span<const std::uint8_t> BytesOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// Only the command's own messages reach stderr: the platform's notes (a missing runtime folder
// and the like) mean nothing to a script.
void DropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

enum class WindowOption { None, Alone, WithValue };

// The options Qt itself takes from a window program's arguments (-style NAME and the like),
// with one dash or two; "-name=value" carries its value.
WindowOption WindowOptionOf(std::string_view argument) {
    static constexpr std::string_view WithValue[] = {
        // QApplication's
        "style", "stylesheet",
        // QGuiApplication's, the X11 ones included
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowicon", "qwindowtitle", "session", "display", "geometry", "title", "icon",
        "qmljsdebugger"};
    static constexpr std::string_view Alone[] = {"reverse", "widgetcount", "nograb", "dograb"};
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    if (std::find(std::begin(WithValue), std::end(WithValue), name) != std::end(WithValue))
        return equals == std::string_view::npos ? WindowOption::WithValue : WindowOption::Alone;
    if (equals == std::string_view::npos &&
        std::find(std::begin(Alone), std::end(Alone), name) != std::end(Alone))
        return WindowOption::Alone;
    return WindowOption::None;
}

} // namespace

bool CommandLineTool::WantsCommand(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.size() < 2 || argument[0] != '-')
            continue;
        // A Qt option's value ("-qwindowtitle --check") is never a command.
        if (WindowOptionOf(argument) == WindowOption::WithValue) {
            ++i;
            continue;
        }
        if (IsCommandOption(QString::fromLocal8Bit(argv[i])))
            return true;
    }
    return false;
}

int CommandLineTool::Run(int argc, char* argv[]) {
    // No display: the marks' font and the PNG writer need only the offscreen platform.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropPlatformNotes);
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName("kestrin6editor");
    QCoreApplication::setApplicationVersion(Version);
    // The language the window was left in.
    Translations::Install(QString::fromStdString(ReadSettings()->ReadString(
        Translations::SettingsSection, Translations::SettingsKey, Translations::Japanese)));
    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLineTool tool(out, err);
    return tool.Execute(QCoreApplication::arguments());
}

CommandLineTool::CommandLineTool(QTextStream& out, QTextStream& err) : Out(out), Err(err) {}

int CommandLineTool::Execute(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "KESTRIN 6 EDITOR\n"
        "  kestrin6editor [IMAGE]\n"
        "  kestrin6editor --export-map STAGE OUT.png [--objects] [--palette-set 0|1] IMAGE\n"
        "  kestrin6editor --export-sheet 16|32 STAGE OUT.png IMAGE\n"
        "  kestrin6editor --make-patch ORIGINAL EDITED OUT.ips|OUT.bps\n"
        "  kestrin6editor --apply-patch ORIGINAL PATCH OUT.nes\n"
        "  kestrin6editor --check IMAGE\n"
        "  kestrin6editor --export-tmx STAGE OUT.tmx IMAGE\n"
        "  kestrin6editor --import-tmx STAGE IN.tmx IMAGE OUT.nes\n" +
        tr("STAGE: 0-15 (10進数か 0x付き16進数)"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const QCommandLineOption* option : OwnOptions)
        parser.addOption(Translated(*option));
    parser.addPositionalArgument("FILES", tr("コマンドごとのファイル"));
    if (!parser.parse(arguments))
        return Usage(parser.errorText());
    if (parser.isSet(help) || parser.isSet("help-all")) {
        Out << parser.helpText();
        Out.flush();
        return Success;
    }
    if (parser.isSet(version)) {
        Out << "kestrin6editor " << Version << "\n";
        Out.flush();
        return Success;
    }

    const QCommandLineOption* commands[] = {&ExportMapOption,  &ExportSheetOption, &MakePatchOption,
                                            &ApplyPatchOption, &CheckOption,       &ExportTmxOption,
                                            &ImportTmxOption};
    const QCommandLineOption* chosen = nullptr;
    for (const QCommandLineOption* command : commands) {
        if (!parser.isSet(*command))
            continue;
        if (chosen != nullptr)
            return Usage(tr("コマンドは1つだけ指定してください"));
        chosen = command;
    }
    if (chosen == nullptr)
        return Usage(tr("コマンドが指定されていません"));
    if (chosen != &ExportMapOption &&
        (parser.isSet(ObjectsOption) || parser.isSet(PaletteSetOption)))
        return Usage(tr("--objects と --palette-set は --export-map にだけ使えます"));
    if (parser.values(*chosen).size() > 1)
        return Usage(tr("コマンドは1つだけ指定してください"));

    const QStringList files = parser.positionalArguments();
    if (chosen == &ExportMapOption)
        return ExportMap(parser, files);
    if (chosen == &ExportSheetOption)
        return ExportSheet(parser, files);
    if (chosen == &MakePatchOption)
        return MakePatch(files);
    if (chosen == &ApplyPatchOption)
        return ApplyPatch(files);
    if (chosen == &ExportTmxOption)
        return ExportTmx(parser, files);
    if (chosen == &ImportTmxOption)
        return ImportTmx(parser, files);
    return Check(files);
}

std::optional<int> CommandLineTool::ParseStage(const QString& text) {
    bool ok = false;
    const int stage = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                 : text.toInt(&ok, 10);
    if (!ok || stage < 0 || stage >= LevelFormat::StageCount || text.startsWith("0x-") ||
        text.startsWith("0x+"))
        return std::nullopt;
    return stage;
}

int CommandLineTool::Usage(const QString& problem) {
    Err << "kestrin6editor: " << problem << "\n"
        << tr("kestrin6editor --help で使い方を表示します") << "\n";
    Err.flush();
    return UsageError;
}

int CommandLineTool::Refuse(const QString& message, const QString& file) {
    // Messages of the file layer already name the file.
    if (message.contains(file))
        Err << message << "\n";
    else
        Err << message << ": " << file << "\n";
    Err.flush();
    return Refused;
}

int CommandLineTool::ExportMap(const QCommandLineParser& parser, const QStringList& files) {
    const std::optional<int> stage = ParseStage(parser.value(ExportMapOption));
    if (!stage)
        return Usage(tr("STAGE は 0 から 15 です: ") + parser.value(ExportMapOption));
    const QString set = parser.value(PaletteSetOption);
    if (set != "0" && set != "1")
        return Usage(tr("--palette-set は 0 か 1 です: ") + set);
    if (files.size() != 2)
        return Usage("--export-map STAGE OUT.png [--objects] [--palette-set 0|1] IMAGE");
    StagePicture::Options options;
    options.What = StagePicture::Kind::Map;
    options.Stage = *stage;
    options.PaletteSet = set.toInt();
    options.Objects = parser.isSet(ObjectsOption);
    return ExportPicture(options, files[0], files[1]);
}

int CommandLineTool::ExportSheet(const QCommandLineParser& parser, const QStringList& files) {
    const QString size = parser.value(ExportSheetOption);
    if (size != "16" && size != "32")
        return Usage(tr("--export-sheet は 16 か 32 です: ") + size);
    if (files.size() != 3)
        return Usage("--export-sheet 16|32 STAGE OUT.png IMAGE");
    const std::optional<int> stage = ParseStage(files[0]);
    if (!stage)
        return Usage(tr("STAGE は 0 から 15 です: ") + files[0]);
    StagePicture::Options options;
    options.What =
        size == "16" ? StagePicture::Kind::Chip16x16Sheet : StagePicture::Kind::Chip32x32Sheet;
    options.Stage = *stage;
    return ExportPicture(options, files[1], files[2]);
}

int CommandLineTool::ExportPicture(const StagePicture::Options& options, const QString& out,
                                   const QString& image) {
    std::unique_ptr<FcPaletteData> palette;
    if (const int refused = LoadPalette(palette))
        return refused;
    OpenedImage opened;
    const Outcome outcome = opened.Rom.LoadFromFile(image.toStdString());
    if (!outcome.Ok)
        return Refuse(DisplayText::Of(outcome.Message), image);
    return WritePicture(*palette, opened.Rom, options, out);
}

int CommandLineTool::LoadPalette(std::unique_ptr<FcPaletteData>& palette) {
    const std::string executableDir = QCoreApplication::applicationDirPath().toStdString();
    const SupportFiles::PaletteLookup lookup = SupportFiles::LoadMasterPalette(
        SupportFiles::MasterPaletteName,
        ReadSettings()->ReadString(SupportFiles::PaletteSection, SupportFiles::PaletteKey, ""),
        executableDir, SupportFiles::DataFolder(executableDir), palette);
    // A chosen file that was passed over is worth a line, though the command goes on.
    if (!lookup.ChosenProblem.empty()) {
        Err << DisplayText::Of(lookup.ChosenProblem) << "\n";
        Err.flush();
    }
    if (!lookup.Loaded.Ok) {
        Err << DisplayText::Of(lookup.Loaded.Message) << "\n";
        Err.flush();
        return Refused;
    }
    return Success;
}

int CommandLineTool::WritePicture(const FcPaletteData& palette, const RomImageData& rom,
                                  const StagePicture::Options& options, const QString& out) {
    const QByteArray png = StagePicture::EncodePng(StagePicture::Render(palette, rom, options));
    if (png.isEmpty())
        return Refuse(QCoreApplication::translate("StagePicture", StagePicture::WriteFailedMessage),
                      out);
    return WriteOrRefuse(out, BytesOf(png));
}

int CommandLineTool::WriteOrRefuse(const QString& path, std::span<const std::uint8_t> bytes) {
    const Outcome written = AtomicFileWriter::Write(path.toStdString(), bytes.data(), bytes.size());
    return written.Ok ? Success : Refuse(DisplayText::Of(written.Message), path);
}

void CommandLineTool::KeepBeforeReplacing(const IniFile& settings, const QString& path) {
    // Where the folder takes no new files, it goes where the window would put it.
    const QString dataFolder = WindowFolder(QStandardPaths::AppDataLocation);
    RestorePoint restorePoint(
        settings.ReadBool(RestorePoint::SettingsSection, RestorePoint::SettingsKey, true),
        dataFolder.isEmpty()
            ? std::string()
            : QDir(dataFolder).filePath(RestorePoint::FallbackFolderName).toStdString());
    const Outcome kept = restorePoint.KeepBeforeSave(path.toStdString());
    // A restore point kept elsewhere is a success whose message says where.
    if (!kept.Message.empty()) {
        Err << DisplayText::Of(kept.Message) << "\n";
        Err.flush();
    }
}

int CommandLineTool::ExportTmx(const QCommandLineParser& parser, const QStringList& files) {
    const std::optional<int> stage = ParseStage(parser.value(ExportTmxOption));
    if (!stage)
        return Usage(tr("STAGE は 0 から 15 です: ") + parser.value(ExportTmxOption));
    if (files.size() != 2)
        return Usage("--export-tmx STAGE OUT.tmx IMAGE");
    const QString& out = files[0];
    std::unique_ptr<FcPaletteData> palette;
    if (const int refused = LoadPalette(palette))
        return refused;
    OpenedImage opened;
    const Outcome outcome = opened.Rom.LoadFromFile(files[1].toStdString());
    if (!outcome.Ok)
        return Refuse(DisplayText::Of(outcome.Message), files[1]);
    StagePicture::Options options;
    options.What = StagePicture::Kind::Chip32x32Sheet;
    options.Stage = *stage;
    const QString sheetPath = TmxMap::SheetPathFor(out);
    if (const int refused = WritePicture(*palette, opened.Rom, options, sheetPath))
        return refused;
    const QByteArray tmx =
        TmxMap::Write(opened.Rom.Stage(*stage).MapSetTable, QFileInfo(sheetPath).fileName(),
                      QFileInfo(out).completeBaseName());
    return WriteOrRefuse(out, BytesOf(tmx));
}

int CommandLineTool::ImportTmx(const QCommandLineParser& parser, const QStringList& files) {
    const std::optional<int> stage = ParseStage(parser.value(ImportTmxOption));
    if (!stage)
        return Usage(tr("STAGE は 0 から 15 です: ") + parser.value(ImportTmxOption));
    if (files.size() != 3)
        return Usage("--import-tmx STAGE IN.tmx IMAGE OUT.nes");
    TmxMap::MapSet mapSet{};
    const Outcome read = TmxMap::ReadFile(files[0], mapSet);
    if (!read.Ok)
        return Refuse(DisplayText::Of(read.Message), files[0]);
    const std::unique_ptr<IniFile> settings = ReadSettings();
    // The same write path as the window: the import is an edit of the document, then a save.
    LevelDocument document(*settings, {});
    const Outcome opened = document.Open(files[1].toStdString());
    if (!opened.Ok)
        return Refuse(DisplayText::Of(opened.Message), files[1]);
    document.SetCurrentStage(*stage);
    document.Apply(
        TmxMap::ImportChanges(*stage, document.Image().Stage(*stage).MapSetTable, mapSet),
        TmxMap::ImportCaption);
    KeepBeforeReplacing(*settings, files[2]);
    const Outcome saved = document.Save(files[2].toStdString());
    return saved.Ok ? Success : Refuse(DisplayText::Of(saved.Message), files[2]);
}

int CommandLineTool::MakePatch(const QStringList& files) {
    if (files.size() != 3)
        return Usage("--make-patch ORIGINAL EDITED OUT.ips|OUT.bps");
    const std::optional<PatchFiles::Format> format =
        PatchFiles::FormatOfName(files[2].toStdString());
    if (!format)
        return Usage(tr("パッチの名前は .ips か .bps で終わります: ") + files[2]);
    std::vector<std::uint8_t> original;
    std::vector<std::uint8_t> edited;
    for (const auto& [path, bytes] :
         {std::pair{files[0], &original}, std::pair{files[1], &edited}}) {
        const Outcome read = PatchFiles::ReadFile(path.toStdString(), *bytes);
        if (!read.Ok)
            return Refuse(DisplayText::Of(read.Message), path);
    }
    const std::vector<std::uint8_t> patch = PatchFiles::Create(*format, original, edited);
    return WriteOrRefuse(files[2], patch);
}

int CommandLineTool::ApplyPatch(const QStringList& files) {
    if (files.size() != 3)
        return Usage("--apply-patch ORIGINAL PATCH OUT.nes");
    std::vector<std::uint8_t> original;
    std::vector<std::uint8_t> patch;
    for (const auto& [path, bytes] :
         {std::pair{files[0], &original}, std::pair{files[1], &patch}}) {
        const Outcome read = PatchFiles::ReadFile(path.toStdString(), *bytes);
        if (!read.Ok)
            return Refuse(DisplayText::Of(read.Message), path);
    }
    std::vector<std::uint8_t> patched;
    const Outcome applied = PatchFiles::Apply(original, patch, patched);
    if (!applied.Ok)
        return Refuse(DisplayText::Of(applied.Message), files[1]);
    // What Open would refuse is not written: the patch made it.
    const std::unique_ptr<IniFile> settings = ReadSettings();
    const Outcome openable = RomImageData::CheckImage(patched, *settings);
    if (!openable.Ok)
        return Refuse(DisplayText::Of(openable.Message), files[1]);
    KeepBeforeReplacing(*settings, files[2]);
    return WriteOrRefuse(files[2], patched);
}

int CommandLineTool::Check(const QStringList& files) {
    if (files.size() != 1)
        return Usage("--check IMAGE");
    OpenedImage opened;
    const Outcome outcome = opened.Rom.LoadFromFile(files[0].toStdString());
    if (!outcome.Ok)
        return Refuse(DisplayText::Of(outcome.Message), files[0]);
    int total = 0;
    bool tooMany = false;
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const int count = opened.Rom.Stage(s).ObjectTotal();
        total += count;
        tooMany = tooMany || count > LevelFormat::MaxObjectsPerStage;
        Out << tr("ステージ%1: オブジェクト %2 / %3")
                   .arg(s, 2, 10, QChar('0'))
                   .arg(count)
                   .arg(LevelFormat::MaxObjectsPerStage)
            << "\n";
    }
    Out << tr("合計: オブジェクト %1 / %2").arg(total).arg(LevelFormat::MaxObjectsAllStages)
        << "\n";
    Out.flush();
    if (tooMany || total > LevelFormat::MaxObjectsAllStages)
        return Refuse(tr(TooManyObjectsMessage), files[0]);
    Out << files[0] << ": OK\n";
    Out.flush();
    return Success;
}
