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
    <message>
        <source>透過色にするドットをクリックします。</source>
        <translation>Click the pixel whose colour becomes transparent.</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>%1倍</source>
        <translation>%1×</translation>
    </message>
    <message>
        <source>画像を拡大して、ドットを選びやすくします。</source>
        <translation>Enlarges the picture so a pixel is easier to hit.</translation>
    </message>
    <message>
        <source>選択された色の見本です。</source>
        <translation>A swatch of the chosen colour.</translation>
    </message>
    <message>
        <source>選択された色を #RRGGBB（16進数）で示します。</source>
        <translation>The chosen colour as #RRGGBB (hexadecimal).</translation>
    </message>
    <message>
        <source>選択した色を透過色にします。</source>
        <translation>Makes the chosen colour the transparent colour.</translation>
    </message>
    <message>
        <source>透過色を変えずに閉じます。</source>
        <translation>Closes without changing the transparent colour.</translation>
    </message>
</context>
<context>
    <name>TConversionProgress</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>変換をすぐに止めます。書き終えたファイルは残り、書きかけのファイルは残りません。</source>
        <translation>Stops the conversion at once. Files already written stay; none is left half-written.</translation>
    </message>
</context>
<context>
    <name>TFailureMessage</name>
    <message>
        <source>入力画像が指定されていません。</source>
        <translation>No input picture was given.</translation>
    </message>
    <message>
        <source>出力フォルダが指定されていません。</source>
        <translation>No output folder was given.</translation>
    </message>
    <message>
        <source>出力する画像がありません。アルファチャネル付き、無し、のみのどれかを選んでください。</source>
        <translation>No output is chosen: choose at least one of with alpha, without alpha and alpha only.</translation>
    </message>
    <message>
        <source>二つの出力のサフィックスが同じです（大文字と小文字は区別しません）。</source>
        <translation>Two outputs have the same suffix (letter case does not count).</translation>
    </message>
    <message>
        <source>出力ファイル名を「.」で始めることはできません。</source>
        <translation>An output file name cannot begin with &apos;.&apos;.</translation>
    </message>
    <message>
        <source>入力画像か出力フォルダが渡されていません。</source>
        <translation>No input picture or no output folder was passed.</translation>
    </message>
    <message>
        <source>出力フォルダ &apos;%1&apos; はフォルダではありません。</source>
        <translation>The output folder &apos;%1&apos; is not a folder.</translation>
    </message>
    <message>
        <source>出力フォルダ &apos;%1&apos; を作れません: 親フォルダ &apos;%2&apos; がありません。</source>
        <translation>The output folder &apos;%1&apos; cannot be made: its parent &apos;%2&apos; does not exist</translation>
    </message>
    <message>
        <source>出力フォルダ &apos;%1&apos; を作れません</source>
        <translation>The output folder &apos;%1&apos; cannot be made</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は名前に使えません</source>
        <translation>&apos;%1&apos; cannot be used as a name</translation>
    </message>
    <message>
        <source>&apos;%1&apos; を開けません</source>
        <translation>Cannot open &apos;%1&apos;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; を画像として読めません</source>
        <translation>Cannot read &apos;%1&apos; as a picture</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は大きすぎて変換できません</source>
        <translation>&apos;%1&apos; is too large to convert</translation>
    </message>
    <message>
        <source>&apos;%1&apos; をセルに分けられませんでした。</source>
        <translation>&apos;%1&apos; could not be cut into cells.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; のセルを変換できませんでした。</source>
        <translation>A cell of &apos;%1&apos; could not be converted.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; に書き込めません</source>
        <translation>Cannot write &apos;%1&apos;</translation>
    </message>
    <message>
        <source>変換は中止されました。</source>
        <translation>The conversion was stopped.</translation>
    </message>
    <message>
        <source>変換中にエラーが起きました（コード %1）</source>
        <translation>The conversion failed (code %1)</translation>
    </message>
</context>
<context>
    <name>THelpDialog</name>
    <message>
        <source>Pixwrightのヘルプ</source>
        <translation>Pixwright Help</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>TGameDialog</name>
    <message>
        <source>ゲームフォルダを変換</source>
        <translation>Convert a Game Folder</translation>
    </message>
    <message>
        <source>ゲームフォルダ</source>
        <translation>Game folder</translation>
    </message>
    <message>
        <source>素材フォルダ（ChipSet、CharSet など）の入ったゲームのフォルダです。</source>
        <translation>The folder of a game, holding its asset folders (ChipSet, CharSet, ...).</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>種類ごとの設定</source>
        <translation>Settings by kind</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>グリッド</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高さ</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>透過色</source>
        <translation>Transparent colour</translation>
    </message>
    <message>
        <source>画像</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>形式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>出力フォルダ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>素材フォルダごとに同じ名前のフォルダを作って保存します。</source>
        <translation>Each asset folder is written to a folder of the same name in here.</translation>
    </message>
    <message>
        <source>変換</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>出力フォルダを開く</source>
        <translation>Open output folder</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ゲームフォルダを選択してください</source>
        <translation>Choose the game folder</translation>
    </message>
    <message>
        <source>出力フォルダを選択してください</source>
        <translation>Choose the output folder</translation>
    </message>
    <message>
        <source>対象外（素材フォルダの外）</source>
        <translation>Skipped (not in an asset folder)</translation>
    </message>
    <message>
        <source>対象外（素材フォルダではない）</source>
        <translation>Skipped (not an asset folder)</translation>
    </message>
    <message>
        <source>対象外（素材フォルダの中のフォルダ）</source>
        <translation>Skipped (a folder inside an asset folder)</translation>
    </message>
    <message>
        <source>対象外（画像ではない）</source>
        <translation>Skipped (not a picture)</translation>
    </message>
    <message>
        <source>チップセット</source>
        <translation>Chipset</translation>
    </message>
    <message>
        <source>キャラセット</source>
        <translation>Charset</translation>
    </message>
    <message>
        <source>グリッド無し</source>
        <translation>No grid</translation>
    </message>
    <message>
        <source>カスタム %1×%2</source>
        <translation>Custom %1×%2</translation>
    </message>
    <message>
        <source>・透過色 %1</source>
        <translation>, transparent colour %1</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>auto</translation>
    </message>
    <message>
        <source>読めません</source>
        <translation>unreadable</translation>
    </message>
    <message>
        <source>画像 %1 件、対象外 %2 件</source>
        <translation>%1 pictures, %2 skipped</translation>
    </message>
    <message>
        <source>カスタム</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>%1 / %2 枚目: %3</source>
        <translation>%1 of %2: %3</translation>
    </message>
    <message>
        <source>変換しました</source>
        <translation>Converted</translation>
    </message>
    <message>
        <source>停止しました</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>失敗（コード %1）: %2</source>
        <translation>Failed (code %1): %2</translation>
    </message>
    <message>
        <source>変換 %1 件、対象外 %2 件、失敗 %3 件</source>
        <translation>%1 converted, %2 skipped, %3 failed</translation>
    </message>
    <message>
        <source>。停止したため %1 件は変換していません</source>
        <translation>; stopped, so %1 were not converted</translation>
    </message>
    <message>
        <source>終わりました</source>
        <translation>Finished</translation>
    </message>
    <message>
        <source>%1 と同じファイル名になるため変換しません</source>
        <translation>not converted: its files would replace those of %1</translation>
    </message>
    <message>
        <source>失敗: %1</source>
        <translation>Failed: %1</translation>
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
        <source>すべてのファイル (*.png;*.jpg;*.jpeg;*.bmp;*.xyz)|*.png;*.jpg;*.jpeg;*.bmp;*.xyz|PNG イメージファイル (*.png)|*.png|JPEG イメージファイル (*.jpg;*.jpeg)|*.jpg;*.jpeg|ビットマップ (*.bmp)|*.bmp|XYZ イメージファイル (*.xyz)|*.xyz</source>
        <translation>All pictures (*.png;*.jpg;*.jpeg;*.bmp;*.xyz)|*.png;*.jpg;*.jpeg;*.bmp;*.xyz|PNG pictures (*.png)|*.png|JPEG pictures (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp|XYZ pictures (*.xyz)|*.xyz</translation>
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
        <translation>Choose Colour…</translation>
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
        <translation>Keep the palette (smaller files)</translation>
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
        <source>使い方のあらましです。詳しくはヘルプメニューから説明書を開きます。</source>
        <translation>A short guide. The Help menu opens the full manual.</translation>
    </message>
    <message>
        <source>詳しくはヘルプメニューまたは</source>
        <translation>For more, see the Help menu or</translation>
    </message>
    <message>
        <source>入力画像をファイルの選択画面で選びます。</source>
        <translation>Chooses the input picture in a file chooser.</translation>
    </message>
    <message>
        <source>このファイルは見つかりません。</source>
        <translation>There is no such file.</translation>
    </message>
    <message>
        <source>補間設定</source>
        <translation>Interpolation</translation>
    </message>
    <message>
        <source>拡大するときのドットの補い方を選びます。Scale2x と xBR を選ぶと、色を増やさないようにシャープ化を行わない設定になります。</source>
        <translation>How the pixels in between are filled when enlarging. Choosing Scale2x or xBR turns sharpening off, so no colours are added.</translation>
    </message>
    <message>
        <source>それぞれの画像の左上のドットの色を透過色にします。</source>
        <translation>Each picture&apos;s top-left pixel gives its transparent colour.</translation>
    </message>
    <message>
        <source>透過色を入力画像のドットから選びます。画像が無いときは色の選択画面で選びます。</source>
        <translation>Picks the transparent colour from a pixel of the input picture, or from a colour chooser when there is no picture.</translation>
    </message>
    <message>
        <source>透過色になる色です（#RRGGBB、16進数）。</source>
        <translation>The colour that becomes transparent (#RRGGBB, hexadecimal).</translation>
    </message>
    <message>
        <source>出力ファイルの形式を選びます。アルファチャネル付きの画像は PNG でだけ出力できます。</source>
        <translation>The format of the files written. Only PNG keeps the picture with its alpha channel.</translation>
    </message>
    <message>
        <source>出力フォルダを選択画面で選びます。</source>
        <translation>Chooses the output folder in a folder chooser.</translation>
    </message>
    <message>
        <source>サフィックス:</source>
        <translation>suffix:</translation>
    </message>
    <message>
        <source>アルファチャネル付きの画像のファイル名の最後に付ける文字です。</source>
        <translation>Added to the end of the name of the picture with alpha.</translation>
    </message>
    <message>
        <source>アルファチャネル無しの画像のファイル名の最後に付ける文字です。</source>
        <translation>Added to the end of the name of the colour-only picture.</translation>
    </message>
    <message>
        <source>アルファチャネルのみの画像のファイル名の最後に付ける文字です。</source>
        <translation>Added to the end of the name of the alpha-only picture.</translation>
    </message>
    <message>
        <source>上書きの前に確認する</source>
        <translation>Ask before overwriting</translation>
    </message>
    <message>
        <source>同じ名前のファイルが既にあるとき、変換の前に一度だけ上書きしてよいか確認します。</source>
        <translation>When files of the same names exist already, asks once before the conversion whether to write over them.</translation>
    </message>
    <message>
        <source>設定した内容で変換を始めます。入力画像が読み込まれるまでは押せません。</source>
        <translation>Starts the conversion with these settings. It is available once an input picture is loaded.</translation>
    </message>
    <message>
        <source>設定を保存して終了します。変換中なら変換を止めてから終了します。</source>
        <translation>Saves the settings and quits; a running conversion is stopped first.</translation>
    </message>
    <message>
        <source>上書きの確認</source>
        <translation>Overwrite?</translation>
    </message>
    <message numerus="yes">
        <source>%n 個のファイルが既にあります。上書きしますか？</source>
        <translation>
            <numerusform>%n file already exists: overwrite?</numerusform>
            <numerusform>%n files already exist: overwrite?</numerusform>
        </translation>
    </message>
    <message>
        <source>フォルダを開く</source>
        <translation>Open Folder</translation>
    </message>
    <message numerus="yes">
        <source>%n 個のファイルを %1 に書き出しました。</source>
        <translation>
            <numerusform>%n file written to %1.</numerusform>
            <numerusform>%n files written to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>中止しました: %n 個のファイルを書き出しました。</source>
        <translation>
            <numerusform>Stopped: %n file written</numerusform>
            <numerusform>Stopped: %n files written</numerusform>
        </translation>
    </message>
    <message>
        <source>出力フォルダ: %1</source>
        <translation>Output folder: %1</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ゲームフォルダを変換…</source>
        <translation>Convert a game folder…</translation>
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
    <message>
        <source>最後の変換で書き出したファイルです。クリックすると表示します。</source>
        <translation>The files the last conversion wrote; click one to show it.</translation>
    </message>
    <message>
        <source>読み込み中…</source>
        <translation>Loading…</translation>
    </message>
    <message>
        <source>変換結果: %1 (%2 × %3、縮小して表示)</source>
        <translation>Result: %1 (%2 × %3, shown scaled down)</translation>
    </message>
    <message>
        <source>変換結果 %1 を表示できません。</source>
        <translation>The result %1 cannot be shown.</translation>
    </message>
</context>
</TS>
