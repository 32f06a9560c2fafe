<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>BuiltInLists</name>
    <message>
        <source>%1 ステージ%2</source>
        <translation>%1 Stage %2</translation>
    </message>
    <message>
        <source>%1 スクロール制御</source>
        <translation>%1 Scroll control</translation>
    </message>
    <message>
        <source>%1 敵キャラクタ</source>
        <translation>%1 Enemy</translation>
    </message>
    <message>
        <source>%1 アイテム</source>
        <translation>%1 Item</translation>
    </message>
    <message>
        <source>%1 仕掛け</source>
        <translation>%1 Device</translation>
    </message>
    <message>
        <source>%1 スクロール設定</source>
        <translation>%1 Scroll setting</translation>
    </message>
</context>
<context>
    <name>Chip16x16EditClass</name>
    <message>
        <source>このステージのチップ・BGバンクを読み込み直します。よろしいですか？</source>
        <translation>Reload this stage&apos;s chips and BG bank from the file. Are you sure?</translation>
    </message>
    <message>
        <source>破壊後に切替</source>
        <translation>Switch to destroyed</translation>
    </message>
    <message>
        <source>破壊前に切替</source>
        <translation>Switch to intact</translation>
    </message>
    <message>
        <source>使用数: </source>
        <translation>Uses: </translation>
    </message>
</context>
<context>
    <name>Chip32x32EditClass</name>
    <message>
        <source>このステージの32x32チップデータを読み込み直します。よろしいですか？</source>
        <translation>Reload this stage&apos;s 32x32 chip data from the file. Are you sure?</translation>
    </message>
    <message>
        <source>使用数: </source>
        <translation>Uses: </translation>
    </message>
</context>
<context>
    <name>ChipTypeCaptions</name>
    <message>
        <source>00 背景</source>
        <translation>00 Background</translation>
    </message>
    <message>
        <source>01 ブロック</source>
        <translation>01 Block</translation>
    </message>
    <message>
        <source>02 オイル</source>
        <translation>02 Oil</translation>
    </message>
    <message>
        <source>03 はしご(頂点)</source>
        <translation>03 Ladder (top)</translation>
    </message>
    <message>
        <source>04 はしご(途中)</source>
        <translation>04 Ladder (middle)</translation>
    </message>
    <message>
        <source>05 すべる床</source>
        <translation>05 Slippery floor</translation>
    </message>
    <message>
        <source>06 前景</source>
        <translation>06 Foreground</translation>
    </message>
    <message>
        <source>07 前景ブロック</source>
        <translation>07 Foreground block</translation>
    </message>
    <message>
        <source>08 水中</source>
        <translation>08 Water</translation>
    </message>
    <message>
        <source>09 オイル床</source>
        <translation>09 Oil floor</translation>
    </message>
    <message>
        <source>0A 送風機の上</source>
        <translation>0A Above fan</translation>
    </message>
    <message>
        <source>0B P.Kで破壊</source>
        <translation>0B Broken by P.K</translation>
    </message>
    <message>
        <source>0C 送風機</source>
        <translation>0C Fan</translation>
    </message>
    <message>
        <source>0D F.Bで破壊</source>
        <translation>0D Broken by F.B</translation>
    </message>
    <message>
        <source>0E 送風機の下</source>
        <translation>0E Below fan</translation>
    </message>
    <message>
        <source>0F トゲ</source>
        <translation>0F Spikes</translation>
    </message>
    <message>
        <source>10 W3カプセル中？</source>
        <translation>10 Inside W3 capsule?</translation>
    </message>
    <message>
        <source>11 バネ</source>
        <translation>11 Spring</translation>
    </message>
    <message>
        <source>13 ポヨヨン(上)</source>
        <translation>13 Bouncer (up)</translation>
    </message>
    <message>
        <source>15 ポヨヨン(下)</source>
        <translation>15 Bouncer (down)</translation>
    </message>
    <message>
        <source>17 コンベア(左)</source>
        <translation>17 Conveyor (left)</translation>
    </message>
    <message>
        <source>19 コンベア(右)</source>
        <translation>19 Conveyor (right)</translation>
    </message>
    <message>
        <source>1B P.Kで破壊(細)</source>
        <translation>1B Broken by P.K (thin)</translation>
    </message>
    <message>
        <source>1D 落下ブロック</source>
        <translation>1D Falling block</translation>
    </message>
    <message>
        <source>1F W3カプセル床？</source>
        <translation>1F W3 capsule floor?</translation>
    </message>
    <message>
        <source>XX 不正な値</source>
        <translation>XX Invalid value</translation>
    </message>
</context>
<context>
    <name>CommandLineTool</name>
    <message>
        <source>オブジェクトの数が多すぎます</source>
        <translation>Too many objects</translation>
    </message>
    <message>
        <source>STAGE の全ページを PNG に書き出す</source>
        <translation>Write all pages of STAGE to a PNG</translation>
    </message>
    <message>
        <source>STAGE の 16x16 / 32x32 チップ一覧を PNG に書き出す</source>
        <translation>Write the 16x16 / 32x32 chip sheet of STAGE to a PNG</translation>
    </message>
    <message>
        <source>オブジェクトも描く</source>
        <translation>Draw the objects too</translation>
    </message>
    <message>
        <source>パレットセット (0 か 1)</source>
        <translation>Palette set (0 or 1)</translation>
    </message>
    <message>
        <source>ORIGINAL から EDITED へのパッチを作る</source>
        <translation>Make a patch from ORIGINAL to EDITED</translation>
    </message>
    <message>
        <source>ORIGINAL に PATCH を当てて書き出す</source>
        <translation>Apply PATCH to ORIGINAL and write the result</translation>
    </message>
    <message>
        <source>IMAGE を検査する</source>
        <translation>Check IMAGE</translation>
    </message>
    <message>
        <source>STAGE のマップを TMX に書き出す</source>
        <translation>Write the map of STAGE to a TMX file</translation>
    </message>
    <message>
        <source>TMX を STAGE のマップに読み込んで書き出す</source>
        <translation>Read a TMX file into the map of STAGE and write the result</translation>
    </message>
    <message>
        <source>STAGE: 0-15 (10進数か 0x付き16進数)</source>
        <translation>STAGE: 0-15 (decimal, or hexadecimal with 0x)</translation>
    </message>
    <message>
        <source>コマンドごとのファイル</source>
        <translation>The files of the command</translation>
    </message>
    <message>
        <source>コマンドは1つだけ指定してください</source>
        <translation>Give only one command</translation>
    </message>
    <message>
        <source>コマンドが指定されていません</source>
        <translation>No command given</translation>
    </message>
    <message>
        <source>--objects と --palette-set は --export-map にだけ使えます</source>
        <translation>--objects and --palette-set work only with --export-map</translation>
    </message>
    <message>
        <source>kestrin6editor --help で使い方を表示します</source>
        <translation>kestrin6editor --help shows the usage</translation>
    </message>
    <message>
        <source>STAGE は 0 から 15 です: </source>
        <translation>STAGE is 0 to 15: </translation>
    </message>
    <message>
        <source>--palette-set は 0 か 1 です: </source>
        <translation>--palette-set is 0 or 1: </translation>
    </message>
    <message>
        <source>--export-sheet は 16 か 32 です: </source>
        <translation>--export-sheet is 16 or 32: </translation>
    </message>
    <message>
        <source>パッチの名前は .ips か .bps で終わります: </source>
        <translation>A patch name ends in .ips or .bps: </translation>
    </message>
    <message>
        <source>ステージ%1: オブジェクト %2 / %3</source>
        <translation>Stage %1: objects %2 / %3</translation>
    </message>
    <message>
        <source>合計: オブジェクト %1 / %2</source>
        <translation>Total: objects %1 / %2</translation>
    </message>
</context>
<context>
    <name>DataMessages</name>
    <message>
        <source>ROMのパレットデータが書き込まない色が変更されています</source>
        <translation>A colour that the cartridge&apos;s palette data does not write was changed</translation>
    </message>
    <message>
        <source>変更後の色が元のパレットデータの長さに収まりません</source>
        <translation>The changed colours do not fit in the length of the original palette data</translation>
    </message>
    <message>
        <source>色番号が範囲外です</source>
        <translation>A colour number is out of range</translation>
    </message>
    <message>
        <source>パレットデータの終わりが定義の中にありません</source>
        <translation>The palette data does not end within the set</translation>
    </message>
    <message>
        <source>パレットデータが他のデータと重なっています</source>
        <translation>The palette data overlaps other data</translation>
    </message>
    <message>
        <source>同じパレットデータを使う定義0と定義1の色が異なります</source>
        <translation>Sets 0 and 1 share the same palette data but hold different colours</translation>
    </message>
    <message>
        <source>同じパレットデータを使う他のステージと色が異なります</source>
        <translation>Another stage shares the same palette data but holds different colours</translation>
    </message>
    <message>
        <source>オブジェクトの数が多すぎるため、保存できませんでした</source>
        <translation>Could not save: there are too many objects</translation>
    </message>
    <message>
        <source>オブジェクトデータがバンクに収まらないため、保存できませんでした</source>
        <translation>Could not save: the object data does not fit in its bank</translation>
    </message>
    <message>
        <source>パッチの形式が不明です</source>
        <translation>The patch format is unknown</translation>
    </message>
    <message>
        <source>パッチが途中で切れています</source>
        <translation>The patch is cut short</translation>
    </message>
    <message>
        <source>パッチのレコードが壊れています</source>
        <translation>A record of the patch is broken</translation>
    </message>
    <message>
        <source>パッチが16MiBを超える位置に書き込みます</source>
        <translation>The patch writes beyond 16 MiB</translation>
    </message>
    <message>
        <source>パッチがファイルの範囲外を参照しています</source>
        <translation>The patch refers outside the file</translation>
    </message>
    <message>
        <source>パッチの元のファイルの大きさが一致しません</source>
        <translation>The size of the patch&apos;s source file does not match</translation>
    </message>
    <message>
        <source>パッチの元のチェックサムが一致しません</source>
        <translation>The patch&apos;s source checksum does not match</translation>
    </message>
    <message>
        <source>パッチの先のチェックサムが一致しません</source>
        <translation>The patch&apos;s target checksum does not match</translation>
    </message>
    <message>
        <source>パッチ自身のチェックサムが一致しません</source>
        <translation>The patch&apos;s own checksum does not match</translation>
    </message>
    <message>
        <source> を読み込めませんでした。</source>
        <translation> could not be read. </translation>
    </message>
    <message>
        <source> は設定ファイルとして大きすぎるため読み込みませんでした。</source>
        <translation> was not read: it is too large for a settings file.</translation>
    </message>
    <message>
        <source>(通常のファイルではありません)</source>
        <translation>(not a regular file)</translation>
    </message>
    <message>
        <source>
設定ファイルを書き込みませんでした。</source>
        <translation>
The settings file was not written.</translation>
    </message>
    <message>
        <source> に書き込めませんでした。</source>
        <translation> could not be written. </translation>
    </message>
    <message>
        <source>元に戻すこともできなかったため、ファイルが壊れている可能性があります。</source>
        <translation> It could not be restored either, so the file may be damaged.</translation>
    </message>
    <message>
        <source>次に開くときに </source>
        <translation> The save can be completed, the next time the file is opened, from </translation>
    </message>
    <message>
        <source> から保存を完了できます。</source>
        <translation>.</translation>
    </message>
    <message>
        <source> を作成できませんでした。</source>
        <translation> could not be created. </translation>
    </message>
    <message>
        <source> を削除できませんでした。</source>
        <translation> could not be deleted. </translation>
    </message>
    <message>
        <source>が読み込めませんでした</source>
        <translation> could not be read</translation>
    </message>
    <message>
        <source>のサイズが不正です</source>
        <translation> has an invalid size</translation>
    </message>
    <message>
        <source> を作成できなかったため、</source>
        <translation> could not be created, so the restore point was made as </translation>
    </message>
    <message>
        <source> に作成しました。</source>
        <translation> instead.</translation>
    </message>
    <message>
        <source>ファイルを開けませんでした</source>
        <translation>The file could not be opened</translation>
    </message>
    <message>
        <source>ROMイメージが異常です</source>
        <translation>The ROM image is invalid</translation>
    </message>
    <message>
        <source> を開けませんでした。</source>
        <translation> could not be opened. </translation>
    </message>
    <message>
        <source>ROMイメージのレベルデータの位置が不正です</source>
        <translation>The ROM image&apos;s level data is in an invalid place</translation>
    </message>
    <message>
        <source>変更あり</source>
        <translation>Modified</translation>
    </message>
</context>
<context>
    <name>EditHistory</name>
    <message>
        <source>マップチップの配置</source>
        <translation>Place map chip</translation>
    </message>
    <message>
        <source>マップの塗りつぶし</source>
        <translation>Fill map</translation>
    </message>
    <message>
        <source>ページの貼り付け</source>
        <translation>Paste page</translation>
    </message>
    <message>
        <source>マップセットの読み込み直し</source>
        <translation>Reload map set</translation>
    </message>
    <message>
        <source>32x32チップの変更</source>
        <translation>Change 32x32 chip</translation>
    </message>
    <message>
        <source>構造の貼り付け</source>
        <translation>Paste structure</translation>
    </message>
    <message>
        <source>32x32チップの読み込み直し</source>
        <translation>Reload 32x32 chips</translation>
    </message>
    <message>
        <source>16x16チップのタイルの変更</source>
        <translation>Change 16x16 chip tile</translation>
    </message>
    <message>
        <source>属性タイプの変更</source>
        <translation>Change attribute type</translation>
    </message>
    <message>
        <source>サブパレットの変更</source>
        <translation>Change sub-palette</translation>
    </message>
    <message>
        <source>16x16チップの読み込み直し</source>
        <translation>Reload 16x16 chips</translation>
    </message>
    <message>
        <source>16x16チップの貼り付け</source>
        <translation>Paste 16x16 chip</translation>
    </message>
    <message>
        <source>パレットの変更</source>
        <translation>Change palette</translation>
    </message>
    <message>
        <source>アニメーションパレットの変更</source>
        <translation>Change animation palette</translation>
    </message>
    <message>
        <source>パレットの読み込み直し</source>
        <translation>Reload palettes</translation>
    </message>
    <message>
        <source>アニメーションパレットの読み込み直し</source>
        <translation>Reload animation palette</translation>
    </message>
    <message>
        <source>パレットの貼り付け</source>
        <translation>Paste palette</translation>
    </message>
    <message>
        <source>オブジェクトの作成</source>
        <translation>Create object</translation>
    </message>
    <message>
        <source>オブジェクトの貼り付け</source>
        <translation>Paste object</translation>
    </message>
    <message>
        <source>オブジェクトの切り取り</source>
        <translation>Cut object</translation>
    </message>
    <message>
        <source>オブジェクトの削除</source>
        <translation>Delete object</translation>
    </message>
    <message>
        <source>オブジェクトの種類の変更</source>
        <translation>Change object type</translation>
    </message>
    <message>
        <source>スクロールの変更</source>
        <translation>Change scroll</translation>
    </message>
    <message>
        <source>オブジェクトの移動</source>
        <translation>Move object</translation>
    </message>
    <message>
        <source>オブジェクトの読み込み直し</source>
        <translation>Reload objects</translation>
    </message>
    <message>
        <source>TMXの読み込み</source>
        <translation>Import TMX</translation>
    </message>
</context>
<context>
    <name>MapSetEditClass</name>
    <message>
        <source>このステージのマップセットデータを読み込み直します。よろしいですか？</source>
        <translation>Reload this stage&apos;s map set data from the file. Are you sure?</translation>
    </message>
</context>
<context>
    <name>ObjectEditClass</name>
    <message>
        <source>設置番号:</source>
        <translation>Index:</translation>
    </message>
    <message>
        <source>X座標:</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>Y座標:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>種類:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>オブジェクト(%1)を貼り付け</source>
        <translation>Paste object (%1)</translation>
    </message>
    <message>
        <source>オブジェクトを貼り付け</source>
        <translation>Paste object</translation>
    </message>
    <message>
        <source>オブジェクトの総数を越えるため、オブジェクトを作成できませんでした</source>
        <translation>The object could not be created: it would exceed the total number of objects</translation>
    </message>
    <message>
        <source>このステージのオブジェクトデータを読み込み直します。よろしいですか？</source>
        <translation>Reload this stage&apos;s object data from the file. Are you sure?</translation>
    </message>
</context>
<context>
    <name>PaletteEditClass</name>
    <message>
        <source>パレット編集</source>
        <translation>Palette editing</translation>
    </message>
    <message>
        <source>パレット編集(現時点でファイルの保存を行っても反映されません)</source>
        <translation>Palette editing (saving the file now does not write these changes)</translation>
    </message>
    <message>
        <source>この定義はファイルに保存できません: </source>
        <translation>This set cannot be saved to the file: </translation>
    </message>
    <message>
        <source>このステージのパレットを読み込み直します。よろしいですか？</source>
        <translation>Reload this stage&apos;s palettes from the file. Are you sure?</translation>
    </message>
    <message>
        <source>このステージのアニメーションパレットを読み込み直します。よろしいですか？</source>
        <translation>Reload this stage&apos;s animation palette from the file. Are you sure?</translation>
    </message>
</context>
<context>
    <name>PlayTestLauncher</name>
    <message>
        <source>コマンドが空です</source>
        <translation>The command is empty</translation>
    </message>
    <message>
        <source>の値がイメージの範囲外です</source>
        <translation> is outside the image</translation>
    </message>
    <message>
        <source>を起動できませんでした</source>
        <translation> could not be started</translation>
    </message>
</context>
<context>
    <name>RecentFilesMenu</name>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
</context>
<context>
    <name>StagePicture</name>
    <message>
        <source>画像を書き込めませんでした</source>
        <translation>The image could not be written</translation>
    </message>
</context>
<context>
    <name>TExportPictureDialog</name>
    <message>
        <source>マップ全体 (2048x1024)</source>
        <translation>Whole map (2048x1024)</translation>
    </message>
    <message>
        <source>オブジェクトを描く</source>
        <translation>Draw objects</translation>
    </message>
    <message>
        <source>16x16チップ一覧 (256x256)</source>
        <translation>16x16 chip sheet (256x256)</translation>
    </message>
    <message>
        <source>32x32チップ一覧 (512x512)</source>
        <translation>32x32 chip sheet (512x512)</translation>
    </message>
    <message>
        <source>画像として書き出す</source>
        <translation>Export as Picture</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>BG表示切り替え</source>
        <translation>Background display</translation>
    </message>
    <message>
        <source>PT書き込み番号:</source>
        <translation>PT write number:</translation>
    </message>
    <message>
        <source>チップ表示切り替え</source>
        <translation>Chip display</translation>
    </message>
    <message>
        <source>再読み込み</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>編集対象チップ</source>
        <translation>Edited chip</translation>
    </message>
    <message>
        <source>属性:</source>
        <translation>Attribute:</translation>
    </message>
    <message>
        <source>選択タイル</source>
        <translation>Selected tile</translation>
    </message>
    <message>
        <source>チップ属性</source>
        <translation>Chip attribute</translation>
    </message>
    <message>
        <source>使用パレット</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>未使用チップ番号表示</source>
        <translation>Show unused chips</translation>
    </message>
    <message>
        <source>未使用タイル番号表示</source>
        <translation>Show unused tiles</translation>
    </message>
    <message>
        <source>グリッド線の描画</source>
        <translation>Draw grid lines</translation>
    </message>
    <message>
        <source>  構成チップNo:</source>
        <translation>  Part chips No:</translation>
    </message>
    <message>
        <source>構成チップ属性:</source>
        <translation>Part chip attributes:</translation>
    </message>
    <message>
        <source>選択チップ</source>
        <translation>Selected chip</translation>
    </message>
    <message>
        <source>表示切替</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>クリップボードの内容を貼り付けられません</source>
        <translation>The clipboard&apos;s contents cannot be pasted</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>塗りつぶし</source>
        <translation>Fill</translation>
    </message>
    <message>
        <source>構成チップNo:</source>
        <translation>Part chips No:</translation>
    </message>
    <message>
        <source>表示ページ</source>
        <translation>Shown pages</translation>
    </message>
    <message>
        <source>新規作成</source>
        <translation>New</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>オブジェクトを自動で並び替える</source>
        <translation>Sort objects automatically</translation>
    </message>
    <message>
        <source>ポップアップでオブジェクト情報を表示</source>
        <translation>Show object details in a pop-up</translation>
    </message>
    <message>
        <source>オブジェクトの新規作成</source>
        <translation>New object</translation>
    </message>
    <message>
        <source>このオブジェクトをコピー</source>
        <translation>Copy this object</translation>
    </message>
    <message>
        <source>このオブジェクトを切り取り</source>
        <translation>Cut this object</translation>
    </message>
    <message>
        <source>オブジェクトを貼り付け</source>
        <translation>Paste object</translation>
    </message>
    <message>
        <source>このオブジェクトを削除</source>
        <translation>Delete this object</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>表示中の部屋:</source>
        <translation>Rooms shown:</translation>
    </message>
    <message>
        <source>部屋のオブジェクト数:</source>
        <translation>Objects in room:</translation>
    </message>
    <message>
        <source>ステージのオブジェクト数:</source>
        <translation>Objects in stage:</translation>
    </message>
    <message>
        <source>全ステージのオブジェクト数:</source>
        <translation>Objects in all stages:</translation>
    </message>
    <message>
        <source>選択中のオブジェクト</source>
        <translation>Selected object</translation>
    </message>
    <message>
        <source>設置番号:</source>
        <translation>Number:</translation>
    </message>
    <message>
        <source>部屋:</source>
        <translation>Room:</translation>
    </message>
    <message>
        <source>X座標:</source>
        <translation>X:</translation>
    </message>
    <message>
        <source>Y座標:</source>
        <translation>Y:</translation>
    </message>
    <message>
        <source>種類:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>スクロール:</source>
        <translation>Scroll:</translation>
    </message>
    <message>
        <source>次のパレットの変更はファイルに保存できませんでした(ファイルでは変更前のままです)。</source>
        <translation>These palette changes could not be saved to the file (the file keeps the previous colours).</translation>
    </message>
    <message>
        <source>アニメーションパレットはファイルに保存されません(編集中のみ有効)</source>
        <translation>The animation palette is not saved to the file (it applies while editing only)</translation>
    </message>
    <message>
        <source>定義0</source>
        <translation>Set 0</translation>
    </message>
    <message>
        <source>定義1</source>
        <translation>Set 1</translation>
    </message>
    <message>
        <source>パレットの変更をファイルに保存する</source>
        <translation>Save palette changes to the file</translation>
    </message>
    <message>
        <source>カラーテーブル</source>
        <translation>Colour table</translation>
    </message>
    <message>
        <source>選択カラー</source>
        <translation>Selected colour</translation>
    </message>
    <message>
        <source>パレットアニメーション選択</source>
        <translation>Palette animation</translation>
    </message>
    <message>
        <source>プログラム (*)</source>
        <translation>Programs (*)</translation>
    </message>
    <message>
        <source>一時フォルダを作成できませんでした</source>
        <translation>A temporary folder could not be created</translation>
    </message>
    <message>
        <source>IPSパッチ (*.ips);;BPSパッチ (*.bps)</source>
        <translation>IPS patch (*.ips);;BPS patch (*.bps)</translation>
    </message>
    <message>
        <source>パッチ (*.ips *.bps);;IPSパッチ (*.ips);;BPSパッチ (*.bps);;すべてのファイル (*)</source>
        <translation>Patches (*.ips *.bps);;IPS patch (*.ips);;BPS patch (*.bps);;All files (*)</translation>
    </message>
    <message>
        <source>PNG画像 (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>Tiledマップ (*.tmx)</source>
        <translation>Tiled map (*.tmx)</translation>
    </message>
    <message>
        <source>パッチを作成(&amp;P)...</source>
        <translation>Make &amp;Patch...</translation>
    </message>
    <message>
        <source>パッチを当てて開く(&amp;T)...</source>
        <translation>Apply Pa&amp;tch and Open...</translation>
    </message>
    <message>
        <source>画像として書き出す(&amp;E)...</source>
        <translation>&amp;Export as Picture...</translation>
    </message>
    <message>
        <source>テストプレイ(&amp;T)</source>
        <translation>&amp;Test Play</translation>
    </message>
    <message>
        <source>TMX形式で書き出す(&amp;M)...</source>
        <translation>Export as T&amp;MX...</translation>
    </message>
    <message>
        <source>TMX形式から読み込む(&amp;L)...</source>
        <translation>&amp;Load from TMX...</translation>
    </message>
    <message>
        <source>ケストリン6 ROMイメージ (*.nes)|*.nes|すべてのファイル (*)|*</source>
        <translation>KESTRIN 6 ROM image (*.nes)|*.nes|All files (*)|*</translation>
    </message>
    <message>
        <source>ケストリン6 ROMイメージ (*.nes)|*.nes</source>
        <translation>KESTRIN 6 ROM image (*.nes)|*.nes</translation>
    </message>
    <message>
        <source>%1への変更を保存しますか？</source>
        <translation>Save the changes to %1?</translation>
    </message>
    <message>
        <source>%1を読み込めませんでした。</source>
        <translation>%1 could not be read.</translation>
    </message>
    <message>
        <source>%1の前回の保存は中断されました。保存を完了しますか？（「いいえ」で中断した保存を破棄します）</source>
        <translation>The last save of %1 was interrupted. Finish it? (&quot;No&quot; discards the interrupted save)</translation>
    </message>
    <message>
        <source>%1の中断した保存の記録が壊れているため、使えません：%2この記録を削除しますか？</source>
        <translation>The record of the interrupted save of %1 is damaged and cannot be used: %2
Delete this record?</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>元に戻す %1(&amp;U)</source>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>やり直し %1(&amp;R)</source>
        <translation>&amp;Redo %1</translation>
    </message>
    <message>
        <source>履歴</source>
        <translation>History</translation>
    </message>
    <message>
        <source>&lt;開いたときの状態&gt;</source>
        <translation>&lt;As opened&gt;</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)</source>
        <translation>Save &amp;As</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>言語(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>履歴(&amp;H)...</source>
        <translation>&amp;History...</translation>
    </message>
    <message>
        <source>マップセット</source>
        <translation>Map Set</translation>
    </message>
    <message>
        <source>32x32チップ</source>
        <translation>32x32 Chips</translation>
    </message>
    <message>
        <source>16x16チップ</source>
        <translation>16x16 Chips</translation>
    </message>
    <message>
        <source>パレット</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>オブジェクト</source>
        <translation>Objects</translation>
    </message>
    <message>
        <source>パレットファイル (*.pal)|*.pal|すべてのファイル (*)|*</source>
        <translation>Palette files (*.pal)|*.pal|All files (*)|*</translation>
    </message>
    <message>
        <source>マスターパレットを開く(&amp;M)...</source>
        <translation>Ope&amp;n Master Palette...</translation>
    </message>
    <message>
        <source>ステージ全体図(&amp;W)</source>
        <translation>Stage Overvie&amp;w</translation>
    </message>
    <message>
        <source>拡大(&amp;I)</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>縮小(&amp;O)</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>等倍(&amp;N)</source>
        <translation>&amp;Normal Size</translation>
    </message>
</context>
<context>
    <name>TShowUnusedChipNumForm</name>
    <message>
        <source>未使用チップ番号</source>
        <translation>Unused Chip Numbers</translation>
    </message>
    <message>
        <source>未使用チップ番号は</source>
        <translation>The unused chip numbers are:</translation>
    </message>
    <message>
        <source>32x32チップに使用されてない16x16チップ番号は</source>
        <translation>16x16 chips no 32x32 chip uses:</translation>
    </message>
    <message>
        <source>マップセットに使用されてない32x32チップ番号は</source>
        <translation>32x32 chips the map set does not use:</translation>
    </message>
    <message>
        <source>16x16チップに使用されてないタイル番号は</source>
        <translation>Tiles no 16x16 chip uses:</translation>
    </message>
</context>
<context>
    <name>TStageOverviewForm</name>
    <message>
        <source>ステージ全体図</source>
        <translation>Stage Overview</translation>
    </message>
    <message>
        <source>オブジェクトを描く</source>
        <translation>Draw objects</translation>
    </message>
    <message>
        <source>使用箇所を表示</source>
        <translation>Show uses</translation>
    </message>
</context>
<context>
    <name>TmxMap</name>
    <message>
        <source>XMLとして読めません</source>
        <translation>it is not readable as XML</translation>
    </message>
    <message>
        <source>TMXのマップではありません</source>
        <translation>it is not a TMX map</translation>
    </message>
    <message>
        <source>マップが直交(orthogonal)ではありません</source>
        <translation>the map is not orthogonal</translation>
    </message>
    <message>
        <source>マップの大きさが64x32ではありません</source>
        <translation>the map is not 64x32 tiles</translation>
    </message>
    <message>
        <source>タイルの大きさが32x32ではありません</source>
        <translation>the tiles are not 32x32 pixels</translation>
    </message>
    <message>
        <source>無限マップは読み込めません</source>
        <translation>infinite maps cannot be read</translation>
    </message>
    <message>
        <source>「map」という名前のタイルレイヤーがありません</source>
        <translation>there is no tile layer named &quot;map&quot;</translation>
    </message>
    <message>
        <source>「map」という名前のタイルレイヤーが複数あります</source>
        <translation>there are several tile layers named &quot;map&quot;</translation>
    </message>
    <message>
        <source>タイルセットがGID 1からの256タイルの1つだけではありません</source>
        <translation>the tilesets are not exactly one of 256 tiles from GID 1</translation>
    </message>
    <message>
        <source>外部タイルセットを読み込めませんでした</source>
        <translation>the external tileset could not be read</translation>
    </message>
    <message>
        <source>レイヤーのデータ形式に対応していません(CSVかBase64、圧縮なしかzlibのみ)</source>
        <translation>the layer data format is not supported (CSV or Base64, uncompressed or zlib only)</translation>
    </message>
    <message>
        <source>レイヤーのデータが壊れています</source>
        <translation>the layer data is broken</translation>
    </message>
    <message>
        <source>レイヤーのセルの数が2048ではありません</source>
        <translation>the layer does not have 2048 cells</translation>
    </message>
    <message>
        <source>反転・回転したセルがあります</source>
        <translation>some cells are flipped or rotated</translation>
    </message>
    <message>
        <source>空のセルがあります</source>
        <translation>some cells are empty</translation>
    </message>
    <message>
        <source>GIDが1から256の範囲外のセルがあります</source>
        <translation>some cells have a GID outside 1 to 256</translation>
    </message>
    <message>
        <source>を読み込めませんでした: </source>
        <translation> could not be read: </translation>
    </message>
</context>
</TS>
