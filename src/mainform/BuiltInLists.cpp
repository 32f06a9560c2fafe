#include "mainform/BuiltInLists.h"

#include "base/LevelFormat.h"
#include "graphics/HexText.h"

#include <QCoreApplication>

namespace {

// %1: the number in hexadecimal, %2 (stages only): the stage counted from one. Each source is
// looked up once per list.
QString Tr(const char* source) {
    return QCoreApplication::translate("BuiltInLists", source);
}

} // namespace

QStringList BuiltInLists::StageCaptions() {
    QStringList captions;
    const QString stageCaption = Tr(QT_TRANSLATE_NOOP("BuiltInLists", "%1 ステージ%2"));
    for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
        captions << stageCaption.arg(HexText::Two(stage)).arg(stage + 1);
    return captions;
}

QStringList BuiltInLists::ObjectCaptions() {
    QStringList captions;
    const QString scrollControl = Tr(QT_TRANSLATE_NOOP("BuiltInLists", "%1 スクロール制御"));
    const QString enemy = Tr(QT_TRANSLATE_NOOP("BuiltInLists", "%1 敵キャラクタ"));
    const QString item = Tr(QT_TRANSLATE_NOOP("BuiltInLists", "%1 アイテム"));
    const QString device = Tr(QT_TRANSLATE_NOOP("BuiltInLists", "%1 仕掛け"));
    for (int type = 0; type < 256; ++type) {
        const QString& caption = type == 0x80  ? scrollControl
                                 : type < 0x40 ? enemy
                                 : type < 0x60 ? item
                                               : device;
        captions << caption.arg(HexText::Two(type));
    }
    return captions;
}

QStringList BuiltInLists::ScrollCaptions() {
    QStringList captions;
    const QString caption = Tr(QT_TRANSLATE_NOOP("BuiltInLists", "%1 スクロール設定"));
    for (int value = 0; value < 256; ++value)
        captions << caption.arg(HexText::Two(value));
    return captions;
}
