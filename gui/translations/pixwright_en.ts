<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>TColorKeyDialog</name>
    <message>
        <source>透過色選択</source>
        <translation>Choose Transparent Colour</translation>
    </message>
    <message>
        <source>選択された透過色</source>
        <translation>Chosen transparent colour</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TConversionProgress</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>変換を次のセルの区切りで止めます。</source>
        <translation>Stops the conversion at the end of the current cell.</translation>
    </message>
</context>
<context>
    <name>TPixwrightForm</name>
    <message>
        <source>エラー発生</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>グリッド値が整数ではありません。</source>
        <translation>The grid value is not a whole number.</translation>
    </message>
    <message>
        <source>変換開始</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>変換中</source>
        <translation>Converting</translation>
    </message>
    <message>
        <source>すべてのファイル (*.png;*.jpg;*.jpeg;*.bmp)|*.png;*.jpg;*.jpeg;*.bmp|PNG イメージファイル (*.png)|*.png|JPEG イメージファイル (*.jpg;*.jpeg)|*.jpg;*.jpeg|ビットマップ (*.bmp)|*.bmp</source>
        <translation>All pictures (*.png;*.jpg;*.jpeg;*.bmp)|*.png;*.jpg;*.jpeg;*.bmp|PNG pictures (*.png)|*.png|JPEG pictures (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp</translation>
    </message>
    <message>
        <source>画像変換</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>お手軽チュートリアル</source>
        <translation>Quick tutorial</translation>
    </message>
    <message>
        <source>&#x3000;１、変換元の画像を指定します。</source>
        <translation>  1. Choose the picture to convert.</translation>
    </message>
    <message>
        <source>&#x3000;２，画像にグリッドの大きさを決めます。</source>
        <translation>  2. Set the size of the picture&apos;s grid.</translation>
    </message>
    <message>
        <source>&#x3000;３，補間方法＆透過色を設定します。</source>
        <translation>  3. Set the interpolation and the transparent colour.</translation>
    </message>
    <message>
        <source>&#x3000;４，保存先ディレクトリの設定を行います。</source>
        <translation>  4. Set the output folder.</translation>
    </message>
    <message>
        <source>詳しくは Readme.txt または</source>
        <translation>For more, see Readme.txt or</translation>
    </message>
    <message>
        <source>ツールチップを参照してちょ。</source>
        <translation>the tool tips.</translation>
    </message>
    <message>
        <source>入力ファイル</source>
        <translation>Input file</translation>
    </message>
    <message>
        <source>入力画像を選択します。</source>
        <translation>Chooses the input picture.</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>画像変換モード</source>
        <translation>Conversion mode</translation>
    </message>
    <message>
        <source>ゲームエディタ用チップセット</source>
        <translation>Game editor chipset</translation>
    </message>
    <message>
        <source>グリッドモードをゲームエディタ用チップセット用に合わせます。</source>
        <translation>Sets the grid for a game editor chipset.</translation>
    </message>
    <message>
        <source>ゲームエディタ用キャラセット</source>
        <translation>Game editor charset</translation>
    </message>
    <message>
        <source>グリッドモードをゲームエディタ用キャラセットに合わせます。</source>
        <translation>Sets the grid for a game editor charset.</translation>
    </message>
    <message>
        <source>グリッド無し</source>
        <translation>No grid</translation>
    </message>
    <message>
        <source>グリッド設定を行いません。</source>
        <translation>Uses no grid.</translation>
    </message>
    <message>
        <source>カスタム</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>任意のグリッドを設定してください。</source>
        <translation>Set a grid of your own.</translation>
    </message>
    <message>
        <source>グリッド設定</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>おなじファイル内で画像を区切りたい場合に設定します。</source>
        <translation>Set this to divide one file into several pictures.</translation>
    </message>
    <message>
        <source>グリッドの幅</source>
        <translation>Grid width</translation>
    </message>
    <message>
        <source>グリッドの高さ</source>
        <translation>Grid height</translation>
    </message>
    <message>
        <source>格子状になったアルファ値を補正する</source>
        <translation>Correct the alpha grid pattern</translation>
    </message>
    <message>
        <source>グリッドにそって生じるアルファ値の誤差を修正します。</source>
        <translation>Corrects the alpha errors that appear along the grid.</translation>
    </message>
    <message>
        <source>補完設定</source>
        <translation>Interpolation</translation>
    </message>
    <message>
        <source>補間モード</source>
        <translation>Interpolation mode</translation>
    </message>
    <message>
        <source>ニアレストネイバー</source>
        <translation>Nearest neighbour</translation>
    </message>
    <message>
        <source>バイリニア</source>
        <translation>Bilinear</translation>
    </message>
    <message>
        <source>オリジナル</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Scale2x</source>
        <translation>Scale2x</translation>
    </message>
    <message>
        <source>xBR</source>
        <translation>xBR</translation>
    </message>
    <message>
        <source>シャープ化レベル</source>
        <translation>Sharpening level</translation>
    </message>
    <message>
        <source>シャープ化を行わない</source>
        <translation>No sharpening</translation>
    </message>
    <message>
        <source>レベル１</source>
        <translation>Level 1</translation>
    </message>
    <message>
        <source>レベル２</source>
        <translation>Level 2</translation>
    </message>
    <message>
        <source>レベル３</source>
        <translation>Level 3</translation>
    </message>
    <message>
        <source>レベル４</source>
        <translation>Level 4</translation>
    </message>
    <message>
        <source>レベル５</source>
        <translation>Level 5</translation>
    </message>
    <message>
        <source>補間法によっては画像がぼけるのでその修正に使ってください。</source>
        <translation>Some interpolations blur the picture; use this to correct it.</translation>
    </message>
    <message>
        <source>透過色は画像の左上のドット</source>
        <translation>Transparent colour is the top-left pixel</translation>
    </message>
    <message>
        <source>透過色はパレットの0番の色</source>
        <translation>Transparent colour is palette entry 0</translation>
    </message>
    <message>
        <source>パレットを持つ画像では、パレットの0番の色を透過色にします。</source>
        <translation>For a picture with a palette, its entry 0 becomes the transparent colour.</translation>
    </message>
    <message>
        <source>透過色選択</source>
        <translation>Choose Transparent Colour</translation>
    </message>
    <message>
        <source>設定された色</source>
        <translation>Colour set</translation>
    </message>
    <message>
        <source>出力設定</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>出力形式</source>
        <translation>Output format</translation>
    </message>
    <message>
        <source>ＢＭＰファイル</source>
        <translation>BMP file</translation>
    </message>
    <message>
        <source>ＰＮＧファイル</source>
        <translation>PNG file</translation>
    </message>
    <message>
        <source>ＪＰＧファイル</source>
        <translation>JPG file</translation>
    </message>
    <message>
        <source>出力フォルダ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>パスの最後の&apos;\&apos;記号はなくても構いません。フォルダが存在しない場合は勝手に作成します。</source>
        <translation>The path need not end in &apos;\&apos;. A folder that does not exist is created.</translation>
    </message>
    <message>
        <source>出力ファイル名</source>
        <translation>Output file name</translation>
    </message>
    <message>
        <source>出力ファイル名を指定します。空欄の場合は入力ファイルの名前が使われます。</source>
        <translation>Sets the output file name. When empty, the input file&apos;s name is used.</translation>
    </message>
    <message>
        <source>アルファチャネル付き</source>
        <translation>With alpha channel</translation>
    </message>
    <message>
        <source>アルファ情報付き画像を出力するか決めます。</source>
        <translation>Whether to write the picture with alpha.</translation>
    </message>
    <message>
        <source>アルファチャネル無し</source>
        <translation>Without alpha channel</translation>
    </message>
    <message>
        <source>アルファ情報無しの画像を出力するか決めます。</source>
        <translation>Whether to write the picture without alpha.</translation>
    </message>
    <message>
        <source>アルファチャネルのみ</source>
        <translation>Alpha channel only</translation>
    </message>
    <message>
        <source>アルファ情報だけの画像を出力するか決めます。</source>
        <translation>Whether to write the alpha alone as a picture.</translation>
    </message>
    <message>
        <source>パレットを保つ（小さいファイル）</source>
        <translation>keep the palette (smaller files)</translation>
    </message>
    <message>
        <source>256色以下の画像をパレット付きのPNGファイルで出力します。画素は同じで、ファイルはずっと小さくなります。</source>
        <translation>Writes pictures of at most 256 colours as PNG files with a palette: the same pixels in much smaller files.</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Pixwrightのヘルプ</source>
        <translation>Pixwright Help</translation>
    </message>
    <message>
        <source>画像を開けません。</source>
        <translation>The picture cannot be opened.</translation>
    </message>
    <message>
        <source>出力フォルダを指定して下さい。</source>
        <translation>Choose the output folder.</translation>
    </message>
    <message>
        <source>画像の変換に成功しました。</source>
        <translation>The picture was converted.</translation>
    </message>
    <message>
        <source>変換を中止しました。</source>
        <translation>The conversion was stopped.</translation>
    </message>
    <message>
        <source>画像変換に失敗しました。</source>
        <translation>The conversion failed.</translation>
    </message>
</context>
<context>
    <name>TPreviewView</name>
    <message>
        <source>2倍表示</source>
        <translation>Show at 2x</translation>
    </message>
    <message>
        <source>プレビューを2倍の大きさで表示します。</source>
        <translation>Shows the preview at twice its size.</translation>
    </message>
    <message>
        <source>透過色を表示</source>
        <translation>Show transparent colour</translation>
    </message>
    <message>
        <source>入力画像の透過色になるドットを目立つ色で示します。</source>
        <translation>Marks the input picture&apos;s pixels of the transparent colour in a striking colour.</translation>
    </message>
    <message>
        <source>変換結果を表示</source>
        <translation>Show result</translation>
    </message>
    <message>
        <source>最後の変換で最初に保存された画像を表示します。</source>
        <translation>Shows the first picture the last conversion saved.</translation>
    </message>
    <message>
        <source>変換結果: %1 (%2 × %3)</source>
        <translation>Result: %1 (%2 × %3)</translation>
    </message>
    <message>
        <source>入力画像: %1 × %2</source>
        <translation>Input picture: %1 × %2</translation>
    </message>
    <message>
        <source>入力画像がありません。</source>
        <translation>No input picture.</translation>
    </message>
</context>
</TS>
