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
</TS>
