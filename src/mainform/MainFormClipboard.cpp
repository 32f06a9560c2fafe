#include "mainform/TMainForm.h"

#include "16x16chipedit/Chip16x16EditClass.h"
#include "32x32chipedit/Chip32x32EditClass.h"
#include "document/ClipboardContent.h"
#include "document/LevelDocument.h"
#include "document/MapStamp.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "mapsetedit/MapSetEditClass.h"
#include "objectedit/ObjectEditClass.h"
#include "paletteedit/PaletteEditClass.h"
#include "prompts/UserPrompts.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>

#include <algorithm>
#include <optional>

namespace {

constexpr const char* PasteRefusedMessage =
    QT_TRANSLATE_NOOP("TMainForm", "クリップボードの内容を貼り付けられません");

QString Tr(const char* source) {
    return QCoreApplication::translate("TMainForm", source);
}

template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> FixedValues(const ClipboardContent& content) {
    if (content.Values.size() != N)
        return std::nullopt;
    std::array<std::uint8_t, N> values{};
    std::copy(content.Values.begin(), content.Values.end(), values.begin());
    return values;
}

} // namespace

void TMainForm::CreateClipboardMenuItems() {
    EditMenu->addSeparator();
    Copy1 = Captions.Set(EditMenu->addAction(QString(), this, &TMainForm::Copy1Click),
                         QT_TR_NOOP("コピー(&C)"));
    Copy1->setShortcut(QKeySequence::Copy);
    Paste1 = Captions.Set(EditMenu->addAction(QString(), this, &TMainForm::Paste1Click),
                          QT_TR_NOOP("貼り付け(&P)"));
    Paste1->setShortcut(QKeySequence::Paste);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TMainForm::ClipboardChanged);
    connect(EditMenu, &QMenu::aboutToShow, this, &TMainForm::UpdateClipboardActions);
    UpdateClipboardActions();
}

std::optional<ClipboardContent::Kind> TMainForm::ClipboardKindOfTab() const {
    if (!Document || !Document->Image().HasStages() || EditPageControl == nullptr)
        return std::nullopt;
    const QWidget* page = EditPageControl->currentWidget();
    if (page == TabMapSetEdit && MapSetEdit)
        return ClipboardContent::Kind::MapCells;
    if (page == Tab32x32ChipEdit && Chip32x32Edit)
        return ClipboardContent::Kind::Chip32x32;
    if (page == Tab16x16ChipEdit && Chip16x16Edit)
        return ClipboardContent::Kind::Chip16x16;
    if (page == TabPaletteEdit && PaletteEdit)
        return ClipboardContent::Kind::PaletteSet;
    if (page == TabObjectEdit && ObjectEdit)
        return ClipboardContent::Kind::ObjectType;
    return std::nullopt;
}

void TMainForm::UpdateClipboardActions() {
    if (Copy1 == nullptr || Paste1 == nullptr)
        return;
    const auto kind = ClipboardKindOfTab();
    // An object is copied when one is selected; everything else always has something to copy.
    Copy1->setEnabled(kind.has_value() && (kind != ClipboardContent::Kind::ObjectType ||
                                           ObjectEdit->SelectedNode() != nullptr));
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const bool offered =
        mime != nullptr && (mime->hasFormat(ClipboardFormat::MimeType) ||
                            (kind == ClipboardContent::Kind::MapCells && mime->hasText()));
    Paste1->setEnabled(kind.has_value() && offered);
}

void TMainForm::Copy1Click() {
    const auto kind = ClipboardKindOfTab();
    if (!kind)
        return;
    ClipboardContent content;
    switch (*kind) {
    case ClipboardContent::Kind::MapCells: {
        const MapStamp& stamp = MapSetEdit->Stamp();
        content = ClipboardFormat::MapCells(stamp.Width, stamp.Height, stamp.Cells);
        break;
    }
    case ClipboardContent::Kind::Chip32x32: {
        const auto quarters = Chip32x32Edit->EditChipQuarters();
        content = ClipboardFormat::Chip32x32({quarters.begin(), quarters.end()});
        break;
    }
    case ClipboardContent::Kind::Chip16x16: {
        const auto bytes = Chip16x16Edit->EditChipBytes();
        content = ClipboardFormat::Chip16x16({bytes.begin(), bytes.end()});
        break;
    }
    case ClipboardContent::Kind::PaletteSet: {
        const auto colours = PaletteEdit->ShownSetColours();
        content = ClipboardFormat::PaletteSet({colours.begin(), colours.end()});
        break;
    }
    case ClipboardContent::Kind::ObjectType:
        if (ObjectEdit->SelectedNode() == nullptr)
            return;
        content = ClipboardFormat::ObjectType(
            static_cast<std::uint8_t>(ObjectEdit->SelectedNode()->Type));
        break;
    }
    PutOnClipboard(content);
}

void TMainForm::PutOnClipboard(const ClipboardContent& content) {
    auto* mime = new QMimeData;
    mime->setData(ClipboardFormat::MimeType, ClipboardFormat::ToJson(content));
    mime->setText(ClipboardFormat::ToText(content));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void TMainForm::PutObjectTypeOnClipboard() {
    const int type = ObjectEdit->ClipboardType();
    if (type >= 0 && type <= 0xFF)
        PutOnClipboard(ClipboardFormat::ObjectType(static_cast<std::uint8_t>(type)));
}

void TMainForm::PasteObjectFromClipboard() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (mime != nullptr && mime->hasFormat(ClipboardFormat::MimeType)) {
        const auto content = ClipboardFormat::ReadJson(mime->data(ClipboardFormat::MimeType));
        if (!content || content->What != ClipboardContent::Kind::ObjectType) {
            Prompts().ShowMessage(this, Tr(PasteRefusedMessage));
            return;
        }
        ObjectEdit->TakeClipboardType(content->Values.front());
    }
    ObjectEdit->PasteObject();
}

void TMainForm::ClipboardChanged() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (ObjectEdit && mime != nullptr && mime->hasFormat(ClipboardFormat::MimeType)) {
        const auto content = ClipboardFormat::ReadJson(mime->data(ClipboardFormat::MimeType));
        if (content && content->What == ClipboardContent::Kind::ObjectType)
            ObjectEdit->TakeClipboardType(content->Values.front());
    }
    UpdateClipboardActions();
}

// The editor's own type first; on the map-set tab, plain rows of numbers as well. Anything
// else, or a kind this tab does not take, is refused before anything changes.
void TMainForm::Paste1Click() {
    const auto kind = ClipboardKindOfTab();
    if (!kind)
        return;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    std::optional<ClipboardContent> content;
    if (*kind == ClipboardContent::Kind::ObjectType) {
        PasteObjectFromClipboard();
        return;
    }
    if (mime != nullptr && mime->hasFormat(ClipboardFormat::MimeType))
        content = ClipboardFormat::ReadJson(mime->data(ClipboardFormat::MimeType));
    else if (mime != nullptr && mime->hasText() && *kind == ClipboardContent::Kind::MapCells)
        content = ClipboardFormat::ReadCellRows(mime->text());
    if (!content || content->What != *kind) {
        Prompts().ShowMessage(this, Tr(PasteRefusedMessage));
        return;
    }
    switch (*kind) {
    case ClipboardContent::Kind::MapCells:
        MapSetEdit->SetStamp({content->Width, content->Height, content->Values});
        break;
    case ClipboardContent::Kind::Chip32x32:
        if (const auto quarters = FixedValues<4>(*content))
            Chip32x32Edit->PasteQuarters(*quarters);
        break;
    case ClipboardContent::Kind::Chip16x16:
        if (const auto bytes = FixedValues<Chip16x16EditClass::ChipByteCount>(*content))
            Chip16x16Edit->PasteChipBytes(*bytes);
        break;
    case ClipboardContent::Kind::PaletteSet:
        if (const auto colours = FixedValues<PaletteEditClass::EntryCount>(*content))
            PaletteEdit->PasteSetColours(*colours);
        break;
    case ClipboardContent::Kind::ObjectType:
        break;
    }
}
