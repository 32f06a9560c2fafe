#include "document/DisplayText.h"

#include "address/LevelDataLayout.h"
#include "atomicfile/AtomicFileWriter.h"
#include "atomicfile/SaveJournal.h"
#include "base/PlainFile.h"
#include "document/TmxMap.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/ChipTypeCaptions.h"
#include "editdata/PaletteEncoder.h"
#include "editdata/StageData.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RestorePoint.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "patch/PatchMessages.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace {

constexpr const char* MessageContext = "DataMessages";

std::vector<DisplayText::Phrase> CollectPhrases() {
    std::vector<DisplayText::Phrase> phrases;
    for (const char* source : {
             PlainFile::CannotOpenPhrase,
             AtomicFileWriter::CannotWritePhrase,
             AtomicFileWriter::MayBeDamagedPhrase,
             AtomicFileWriter::JournalBeforePhrase,
             AtomicFileWriter::JournalAfterPhrase,
             SaveJournal::CannotCreatePhrase,
             SaveJournal::CannotRemovePhrase,
             IniFile::CannotReadPhrase,
             IniFile::TooLargePhrase,
             IniFile::NotRegularPhrase,
             IniFile::NotWrittenPhrase,
             EditFlagManagement::ModifiedText,
             LevelDataLayout::BadLayoutMessage,
             StageData::TooManyObjectsMessage,
             StageData::ObjectsDoNotFitMessage,
             FcPaletteData::CannotReadPhrase,
             FcPaletteData::BadSizePhrase,
             RestorePoint::CannotCreatePhrase,
             RestorePoint::FallbackBeforePhrase,
             RestorePoint::FallbackAfterPhrase,
             RomImageData::BadSizeMessage,
             RomImageData::BadHeaderMessage,
             PatchMessages::UnknownFormat,
             PatchMessages::Truncated,
             PatchMessages::BrokenRecord,
             PatchMessages::TooLarge,
             PatchMessages::OutOfRange,
             PatchMessages::SourceSizeMismatch,
             PatchMessages::SourceChecksumMismatch,
             PatchMessages::TargetChecksumMismatch,
             PatchMessages::PatchChecksumMismatch,
         })
        phrases.push_back({MessageContext, source});
    for (const char* source :
         {TmxMap::MalformedXml, TmxMap::NotAMap, TmxMap::NotOrthogonal, TmxMap::WrongMapSize,
          TmxMap::WrongTileSize, TmxMap::InfiniteMap, TmxMap::NoMapLayer, TmxMap::SeveralMapLayers,
          TmxMap::WrongTileset, TmxMap::TilesetUnreadable, TmxMap::UnsupportedEncoding,
          TmxMap::BrokenData, TmxMap::WrongCellCount, TmxMap::FlippedCell, TmxMap::EmptyCell,
          TmxMap::GidOutOfRange, TmxMap::CannotReadPhrase})
        phrases.push_back({"TmxMap", source});
    for (int reason = static_cast<int>(PaletteRefusal::None) + 1;
         reason <= static_cast<int>(PaletteRefusal::SharersDisagree); ++reason)
        phrases.push_back(
            {MessageContext, PaletteEncoder::RefusalText(static_cast<PaletteRefusal>(reason))});
    // A caption that is only its code ("12") has no words to translate.
    for (int code = 0; code <= ChipTypeCaptions::KnownCodes; ++code) {
        const std::string& caption = ChipTypeCaptions::Of(static_cast<std::uint8_t>(code));
        if (caption.find(' ') != std::string::npos)
            phrases.push_back({"ChipTypeCaptions", caption.c_str()});
    }
    // An empty phrase would match everywhere without moving on.
    std::erase_if(phrases, [](const DisplayText::Phrase& phrase) { return *phrase.Source == 0; });
    std::stable_sort(phrases.begin(), phrases.end(),
                     [](const DisplayText::Phrase& a, const DisplayText::Phrase& b) {
                         return std::strlen(a.Source) > std::strlen(b.Source);
                     });
    return phrases;
}

} // namespace

const std::vector<DisplayText::Phrase>& DisplayText::Phrases() {
    static const std::vector<Phrase> phrases = CollectPhrases();
    return phrases;
}

// One pass from the start: a translation is never searched again, so an English text cannot be
// taken for a phrase.
QString DisplayText::Of(const std::string& message) {
    QString shown;
    std::size_t plainFrom = 0;
    std::size_t at = 0;
    while (at < message.size()) {
        const auto found =
            std::find_if(Phrases().begin(), Phrases().end(), [&](const Phrase& phrase) {
                return message.compare(at, std::strlen(phrase.Source), phrase.Source) == 0;
            });
        if (found == Phrases().end()) {
            ++at;
            continue;
        }
        shown += QString::fromStdString(message.substr(plainFrom, at - plainFrom));
        shown += QCoreApplication::translate(found->Context, found->Source);
        at += std::strlen(found->Source);
        plainFrom = at;
    }
    shown += QString::fromStdString(message.substr(plainFrom));
    return shown;
}
