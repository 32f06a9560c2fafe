#include "mainform/BuiltInLists.h"

#include "base/LevelFormat.h"
#include "graphics/HexText.h"

QStringList BuiltInLists::StageCaptions() {
    QStringList captions;
    for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
        captions << HexText::Two(stage) + " ステージ" + QString::number(stage + 1);
    return captions;
}

QStringList BuiltInLists::ObjectCaptions() {
    QStringList captions;
    for (int type = 0; type < 256; ++type) {
        if (type == 0x80)
            captions << HexText::Two(type) + " スクロール制御";
        else if (type < 0x40)
            captions << HexText::Two(type) + " 敵キャラクタ";
        else if (type < 0x60)
            captions << HexText::Two(type) + " アイテム";
        else
            captions << HexText::Two(type) + " 仕掛け";
    }
    return captions;
}

QStringList BuiltInLists::ScrollCaptions() {
    QStringList captions;
    for (int value = 0; value < 256; ++value)
        captions << HexText::Two(value) + " スクロール設定";
    return captions;
}
