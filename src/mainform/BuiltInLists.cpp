#include "mainform/BuiltInLists.h"

namespace {

QString Hex2(int value) { return QString("%1").arg(value, 2, 16, QChar('0')).toUpper(); }

} // namespace

QStringList BuiltInLists::StageCaptions() {
    QStringList captions;
    for (int stage = 0; stage < 16; ++stage)
        captions << Hex2(stage) + " ステージ" + QString::number(stage + 1);
    return captions;
}

QStringList BuiltInLists::ObjectCaptions() {
    QStringList captions;
    for (int type = 0; type < 256; ++type) {
        if (type == 0x80)
            captions << Hex2(type) + " スクロール制御";
        else if (type < 0x40)
            captions << Hex2(type) + " 敵キャラクタ";
        else if (type < 0x60)
            captions << Hex2(type) + " アイテム";
        else
            captions << Hex2(type) + " 仕掛け";
    }
    return captions;
}

QStringList BuiltInLists::ScrollCaptions() {
    QStringList captions;
    for (int value = 0; value < 256; ++value)
        captions << Hex2(value) + " スクロール設定";
    return captions;
}
