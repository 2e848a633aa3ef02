<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>OptionsWindow</name>
    <message>
        <source>設定 - </source>
        <translation>Options - </translation>
    </message>
    <message>
        <source>音と画面</source>
        <translation>Sound and screen</translation>
    </message>
    <message>
        <source>音楽の音量</source>
        <translation>Music volume</translation>
    </message>
    <message>
        <source>効果音の音量</source>
        <translation>Effects volume</translation>
    </message>
    <message>
        <source>画面の大きさ</source>
        <translation>Window size</translation>
    </message>
    <message>
        <source>言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>すべての音を消す（M）</source>
        <translation>Mute all sound (M)</translation>
    </message>
    <message>
        <source>フルスクリーン（F11）</source>
        <translation>Full screen (F11)</translation>
    </message>
    <message>
        <source>自動（デスクトップに合わせる）</source>
        <translation>Auto (as the desktop)</translation>
    </message>
    <message>
        <source>初期設定に戻す</source>
        <translation>Reset to defaults</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1 倍</source>
        <translation>%1×</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Controls</translation>
    </message>
    <message>
        <source>ゲームの速さ</source>
        <translation>Game speed</translation>
    </message>
    <message>
        <source>%1%（ふつう）</source>
        <translation>%1% (normal)</translation>
    </message>
    <message>
        <source>%1%（ゆっくり）</source>
        <translation>%1% (gentler)</translation>
    </message>
    <message>
        <source>音楽の音色</source>
        <translation>Music SoundFont</translation>
    </message>
    <message>
        <source>ファイル…</source>
        <translation>File…</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>自動（%1）</source>
        <translation>Automatic (%1)</translation>
    </message>
    <message>
        <source>SoundFont を選ぶ</source>
        <translation>Choose a SoundFont</translation>
    </message>
    <message>
        <source>SoundFont (*.sf2 *.sf3 *.SF2 *.SF3)</source>
        <translation>SoundFont (*.sf2 *.sf3 *.SF2 *.SF3)</translation>
    </message>
</context>
<context>
    <name>Practice</name>
    <message>
        <source>記録したゲーム %1</source>
        <translation>Recorded game %1</translation>
    </message>
</context>
<context>
    <name>PracticeChooser</name>
    <message>
        <source>ステージ練習 - </source>
        <translation>Stage practice - </translation>
    </message>
    <message>
        <source>セーブしたゲームの装備</source>
        <translation>The saved game&apos;s equipment</translation>
    </message>
    <message>
        <source>装備</source>
        <translation>Equipment</translation>
    </message>
    <message>
        <source>ステージ</source>
        <translation>Stage</translation>
    </message>
    <message>
        <source>もどる</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>はじめる</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>（ステージの記録がありません）</source>
        <translation>(no stage recorded)</translation>
    </message>
</context>
<context>
    <name>PracticeResultBox</name>
    <message>
        <source>ステージ練習 - </source>
        <translation>Stage practice - </translation>
    </message>
    <message>
        <source>タイム %1 秒</source>
        <translation>Time %1 s</translation>
    </message>
    <message>
        <source>スコア %1</source>
        <translation>Score %1</translation>
    </message>
    <message>
        <source>ゴールド %1</source>
        <translation>Gold %1</translation>
    </message>
    <message>
        <source>もう一度</source>
        <translation>Again</translation>
    </message>
    <message>
        <source>ほかのステージ</source>
        <translation>Another stage</translation>
    </message>
    <message>
        <source>もどる</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>RecordsScreen</name>
    <message>
        <source>順位</source>
        <translation>#</translation>
    </message>
    <message>
        <source>スコア</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>終わり</source>
        <translation>End</translation>
    </message>
    <message>
        <source>STAGE</source>
        <translation>STAGE</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>まだ記録がありません</source>
        <translation>No games recorded yet</translation>
    </message>
    <message>
        <source>RECORDS</source>
        <translation>RECORDS</translation>
    </message>
    <message>
        <source>最近</source>
        <translation>Recent</translation>
    </message>
    <message>
        <source>ベスト10</source>
        <translation>Best 10</translation>
    </message>
    <message>
        <source>見る</source>
        <translation>Watch</translation>
    </message>
    <message>
        <source>書き出す</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>消す</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>練習</source>
        <translation>Practice</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>記録を書き出す</source>
        <translation>Export the recording</translation>
    </message>
    <message>
        <source>QUILLOT の記録 (*.qrp)</source>
        <translation>QUILLOT recordings (*.qrp)</translation>
    </message>
    <message>
        <source>記録を書き出せませんでした: %1</source>
        <translation>The recording could not be exported: %1</translation>
    </message>
    <message>
        <source>この記録を消しますか？</source>
        <translation>Remove this recording?</translation>
    </message>
    <message>
        <source>記録を消せませんでした: %1</source>
        <translation>The recording could not be removed: %1</translation>
    </message>
    <message>
        <source>統計</source>
        <translation>Stats</translation>
    </message>
    <message>
        <source>RECORDS - 練習</source>
        <translation>RECORDS - practice</translation>
    </message>
    <message>
        <source>練習の記録</source>
        <translation>Practice games</translation>
    </message>
</context>
<context>
    <name>StatsView</name>
    <message>
        <source>全%1ゲームの合計</source>
        <translation>All %1 games</translation>
    </message>
    <message>
        <source>このゲームの記録</source>
        <translation>This game</translation>
    </message>
    <message>
        <source>プレイ時間</source>
        <translation>Play time</translation>
    </message>
    <message>
        <source>ゲーム数</source>
        <translation>Games</translation>
    </message>
    <message>
        <source>クリアしたステージ</source>
        <translation>Stages cleared</translation>
    </message>
    <message>
        <source>ショット</source>
        <translation>Shots</translation>
    </message>
    <message>
        <source>%1発 命中%2（%3）</source>
        <translation>%1 fired, %2 hit (%3)</translation>
    </message>
    <message>
        <source>倒した敵</source>
        <translation>Enemies destroyed</translation>
    </message>
    <message>
        <source>コイン</source>
        <translation>Coins</translation>
    </message>
    <message>
        <source>%1枚取得 %2枚落下</source>
        <translation>%1 caught, %2 missed</translation>
    </message>
    <message>
        <source>ゴールド</source>
        <translation>Gold</translation>
    </message>
    <message>
        <source>%1G稼ぎ %2G使用</source>
        <translation>%1G earned, %2G spent</translation>
    </message>
    <message>
        <source>使ったボム</source>
        <translation>Bombs used</translation>
    </message>
    <message>
        <source>被弾</source>
        <translation>Hits taken</translation>
    </message>
    <message>
        <source>失ったガード</source>
        <translation>Guards lost</translation>
    </message>
    <message>
        <source>リトライ</source>
        <translation>Retries</translation>
    </message>
    <message>
        <source>敵の種類別: </source>
        <translation>By kind: </translation>
    </message>
    <message>
        <source>ステージごとの時間: </source>
        <translation>Time of each stage: </translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>記録 (R)</source>
        <translation>Records (R)</translation>
    </message>
    <message>
        <source>ベスト10に入りました！（%1点）
名前を入力してください:</source>
        <translation>A best-10 game! (%1 points)
Your name:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>STARTER</source>
        <translation>STARTER</translation>
    </message>
    <message>
        <source>NEW START</source>
        <translation>NEW START</translation>
    </message>
    <message>
        <source>COUNTINUE</source>
        <translation>CONTINUE</translation>
    </message>
    <message>
        <source>-SHOP MENU-</source>
        <translation>-SHOP MENU-</translation>
    </message>
    <message>
        <source>←ＲＥＴＲＹ</source>
        <translation>← RETRY</translation>
    </message>
    <message>
        <source>ＮＥＸＴ→</source>
        <translation>NEXT →</translation>
    </message>
    <message>
        <source>MESSAGE!!!!</source>
        <translation>MESSAGE!!!!</translation>
    </message>
    <message>
        <source>select</source>
        <translation>select</translation>
    </message>
    <message>
        <source>はい</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>いいえ</source>
        <translation>No</translation>
    </message>
    <message>
        <source>dat/s.dat</source>
        <extracomment>The story file. Each language has its own, with the same records.</extracomment>
        <translation>dat/s_en.dat</translation>
    </message>
    <message>
        <source>♪ ミュート</source>
        <translation>♪ Muted</translation>
    </message>
    <message>
        <source>×%1 は画面に入りません</source>
        <translation>×%1 does not fit the screen</translation>
    </message>
    <message>
        <source>SHOP</source>
        <translation>SHOP</translation>
    </message>
    <message>
        <source>♪ 音楽 %1%</source>
        <translation>♪ Music %1%</translation>
    </message>
    <message>
        <source>♪ 効果音 %1%</source>
        <translation>♪ Effects %1%</translation>
    </message>
    <message>
        <source>新しいゲームを始めると、セーブデータ（STAGE %1 / GOLD &gt; %2円）は次のセーブかゲームオーバーで置き換わります。始めますか？</source>
        <translation>A new game replaces your saved game (STAGE %1 / GOLD &gt; %2 G) at the next save or game over. Start a new game?</translation>
    </message>
    <message>
        <source>F1: 操作方法</source>
        <translation>F1: Controls</translation>
    </message>
    <message>
        <source>速さ %1%</source>
        <translation>Speed %1%</translation>
    </message>
    <message>
        <source>この記録は再生できません。
%1</source>
        <translation>This recording cannot be played.
%1</translation>
    </message>
    <message>
        <source>↓ 一つずつのゲーム</source>
        <translation>↓ one game at a time</translation>
    </message>
    <message>
        <source>%1点  STAGE %2  %3  ↑ 全ゲーム</source>
        <translation>%1 points  STAGE %2  %3  ↑ all games</translation>
    </message>
</context>
<context>
    <name>TheatreBar</name>
    <message>
        <source>見るのをやめる (Esc)</source>
        <translation>Stop watching (Esc)</translation>
    </message>
    <message>
        <source>10秒戻る (←)</source>
        <translation>Back 10 seconds (←)</translation>
    </message>
    <message>
        <source>一時停止・再開 (Space)</source>
        <translation>Pause or resume (Space)</translation>
    </message>
    <message>
        <source>一時停止中に1コマ進む (.)</source>
        <translation>One frame on while paused (.)</translation>
    </message>
    <message>
        <source>10秒進む (→)</source>
        <translation>On 10 seconds (→)</translation>
    </message>
    <message>
        <source>遅く (-)</source>
        <translation>Slower (-)</translation>
    </message>
    <message>
        <source>速く (+)</source>
        <translation>Faster (+)</translation>
    </message>
    <message>
        <source>クリック・ドラッグでその場面へ (Home 最初 / End 最後)</source>
        <translation>Click or drag to go there (Home: start / End: end)</translation>
    </message>
</context>
<context>
    <name>TheatreView</name>
    <message>
        <source>最後まで再生しました。記録とすべて一致しています</source>
        <translation>Played to the end; everything matched the recording</translation>
    </message>
    <message>
        <source>ここで記録と食い違ったので止まりました: %1</source>
        <translation>Stopped here: the game left the recording: %1</translation>
    </message>
    <message>
        <source>記録はここで途切れています: %1</source>
        <translation>The recording breaks off here: %1</translation>
    </message>
</context>
<context>
    <name>quillot</name>
    <message>
        <source>ＱＵＩＬＬＯＴはもう動いています。</source>
        <translation>QUILLOT is already running.</translation>
    </message>
    <message>
        <source>P・クリックで再開&#x3000;F1 操作方法</source>
        <translation>P or click to resume   F1 controls</translation>
    </message>
    <message>
        <source>クリア！！！！<byte value="xd"/><byte value="xd"/>これ以上ステージはありません。<byte value="xd"/>見事クリアおめでとう！！すごいね！！</source>
        <translation>CLEAR!!!!<byte value="xd"/><byte value="xd"/>There are no more stages.<byte value="xd"/>You beat the whole game. Congratulations!! Amazing!!</translation>
    </message>
    <message>
        <source>これ以上リトライできません</source>
        <translation>No more retries.</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>入力値が数値ではありません</source>
        <translation>A value in the file is not a number</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ ｱｸｾｽが拒否されました</source>
        <translation>File access denied</translation>
    </message>
    <message>
        <source>ﾊﾟｽが見つかりません</source>
        <translation>Path not found</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸがいっぱいです</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>入出力ｴﾗｰ %1</source>
        <translation>Input/output error %1</translation>
    </message>
    <message>
        <source>お金たりんち!</source>
        <translation>Not enough gold!</translation>
    </message>
    <message>
        <source>スピードアップ(%1円)</source>
        <translation>SPEED UP (%1 G)</translation>
    </message>
    <message>
        <source>スピードを上げます。同時に弾の慣性も大きくなります。</source>
        <translation>Makes you faster. Your shots also carry more of your sideways speed.</translation>
    </message>
    <message>
        <source>ＨＰ＋１(%1円)</source>
        <translation>HP +1 (%1 G)</translation>
    </message>
    <message>
        <source>ＨＰを＋１させます。同時に自機の大きさも大きくなってしまいます。</source>
        <translation>One more hit point. Your bird also grows a little bigger.</translation>
    </message>
    <message>
        <source>ＳＨＯＴ・ＬＶ(%1円)</source>
        <translation>SHOT LV (%1 G)</translation>
    </message>
    <message>
        <source>ショットの最大同時発射数を増やします</source>
        <translation>More of your shots can be in the air at once.</translation>
    </message>
    <message>
        <source>ＳＨＯＴ・ＢＩＧＥＲ(%1円)</source>
        <translation>SHOT BIGGER (%1 G)</translation>
    </message>
    <message>
        <source>ショットの大きさを大きくし、当たりやすくします</source>
        <translation>Makes your shots bigger, so they hit more easily.</translation>
    </message>
    <message>
        <source>ＳＨＯＴ・SPEED(%1円)</source>
        <translation>SHOT SPEED (%1 G)</translation>
    </message>
    <message>
        <source>ショットのスピードをあげます</source>
        <translation>Makes your shots faster.</translation>
    </message>
    <message>
        <source>BIRD SMALLER(%1円)</source>
        <translation>BIRD SMALLER (%1 G)</translation>
    </message>
    <message>
        <source>自機の大きさを小さくし、敵の攻撃に当たりにくくなります</source>
        <translation>Makes your bird smaller, so enemy fire hits it less often.</translation>
    </message>
    <message>
        <source>RANDOM SHOT(%1円)</source>
        <translation>RANDOM SHOT (%1 G)</translation>
    </message>
    <message>
        <source>ショットの発射位置をズラし、当たりやすくします。</source>
        <translation>Spreads where your shots start, so they hit more easily.</translation>
    </message>
    <message>
        <source>BOMB(%1円)</source>
        <translation>BOMB (%1 G)</translation>
    </message>
    <message>
        <source>ボムを１つ増やします。ボムは、敵の弾を金貨に変えることができます</source>
        <translation>One more bomb. A bomb turns enemy bullets into gold coins.</translation>
    </message>
    <message>
        <source>ＳＡＶＥ(%1円)</source>
        <translation>SAVE (%1 G)</translation>
    </message>
    <message>
        <source>セーブします。</source>
        <translation>Saves your game.</translation>
    </message>
    <message>
        <source>GURAD(%1円)</source>
        <translation>GUARD (%1 G)</translation>
    </message>
    <message>
        <source>バリアを張ります。敵の弾の攻撃を１回だけ防ぎますが、敵本体との接触は防げません。</source>
        <translation>Puts up a barrier that stops one enemy bullet. It does not stop you from crashing into an enemy.</translation>
    </message>
    <message>
        <source>スピードＵＰ

SPEED %1→%2</source>
        <translation>SPEED UP

SPEED %1→%2</translation>
    </message>
    <message>
        <source>ＨＰ・ＵＰ

HP %1→%2
BIRD %3mm.→%4mm.</source>
        <translation>HP UP

HP %1→%2
BIRD %3mm.→%4mm.</translation>
    </message>
    <message>
        <source>ＳＨＯＴ・ＬＶ

SHOT-LV %1→%2</source>
        <translation>SHOT LV UP

SHOT-LV %1→%2</translation>
    </message>
    <message>
        <source>ＳＨＯＴ・ＢＩＧＥＲ

SHOT-BIGER %1→%2</source>
        <translation>SHOT BIGGER

SHOT-BIGGER %1→%2</translation>
    </message>
    <message>
        <source>ＳＨＯＴ・ＳＰＥＥＤ

SHOT-SPEED %1→%2</source>
        <translation>SHOT SPEED UP

SHOT-SPEED %1→%2</translation>
    </message>
    <message>
        <source>ＢＩＲＤ・ＳＭＡＬＬＥＲ

BIRD %1mm.→%2mm.</source>
        <translation>BIRD SMALLER

BIRD %1mm.→%2mm.</translation>
    </message>
    <message>
        <source>ＲＡＮＤＯＭ ＳＨＯＴ

RND-SHOT %1→%2</source>
        <translation>RANDOM SHOT

RND-SHOT %1→%2</translation>
    </message>
    <message>
        <source>２ＷＡＹ！

2WAY ON
SHOT LV %1→%2</source>
        <translation>2-WAY!

2WAY ON
SHOT LV %1→%2</translation>
    </message>
    <message>
        <source>３ＷＡＹ！

2WAY ON
SHOT LV %1→%2</source>
        <translation>3-WAY!

3WAY ON
SHOT LV %1→%2</translation>
    </message>
    <message>
        <source>ＢＯＭＢ

BOMB %1→%2</source>
        <translation>BOMB

BOMB %1→%2</translation>
    </message>
    <message>
        <source>ＳＡＶＥ完了!!</source>
        <translation>SAVED!!</translation>
    </message>
    <message>
        <source>ガード

GUARD ON</source>
        <translation>GUARD

GUARD ON</translation>
    </message>
    <message>
        <source>普通のトリ</source>
        <translation>PLAIN BIRD</translation>
    </message>
    <message>
        <source>戦うトリ</source>
        <translation>FIGHTING BIRD</translation>
    </message>
    <message>
        <source>Ｃ級バード</source>
        <translation>C-CLASS BIRD</translation>
    </message>
    <message>
        <source>Ｂ級バード</source>
        <translation>B-CLASS BIRD</translation>
    </message>
    <message>
        <source>Ａ級バード</source>
        <translation>A-CLASS BIRD</translation>
    </message>
    <message>
        <source>Ｓ級バード</source>
        <translation>S-CLASS BIRD</translation>
    </message>
    <message>
        <source>赤い鳥アルフレド</source>
        <translation>ALFREDO THE RED</translation>
    </message>
    <message>
        <source>ｵｸﾀﾋﾞｰ十騎士ｱﾙﾌﾚﾄﾞ</source>
        <translation>OCTAVY KNIGHT ALFREDO</translation>
    </message>
    <message>
        <source>◆YOUR STATUS

HP&gt; %1
SPEED&gt; %2km/h

SHOT-LV&gt; %3
SHOT-BIGER&gt; %4
SHOT-SPEED&gt; %5

BIRD&gt; %6mm.
RND-SHOT&gt; %7
BOMB&gt; %8

GOLD&gt; %9G.</source>
        <translation>◆YOUR STATUS

HP&gt; %1
SPEED&gt; %2km/h

SHOT-LV&gt; %3
SHOT-BIGGER&gt; %4
SHOT-SPEED&gt; %5

BIRD&gt; %6mm.
RND-SHOT&gt; %7
BOMB&gt; %8

GOLD&gt; %9G.</translation>
    </message>
    <message>
        <source>YOUR HI-SCORE &gt; %1point</source>
        <translation>YOUR HI-SCORE &gt; %1 points</translation>
    </message>
    <message>
        <source>SAVE DATE &gt; STAGE %1
GOLD &gt; %2円</source>
        <translation>SAVE DATA &gt; STAGE %1
GOLD &gt; %2 G</translation>
    </message>
    <message>
        <source>STAGE &gt; %1</source>
        <translation>STAGE &gt; %1</translation>
    </message>
    <message>
        <source>
セーブの場所: %1
</source>
        <translation>
Your save: %1
</translation>
    </message>
    <message>
        <source>使い方: quillot [オプション]...
小さな赤い鳥のシューティングゲームです。

  --record FILE   いつも通りに遊び、その様子を FILE に記録する
  --replay FILE   記録した様子をウィンドウで再生する
  --headless      --replay と共に: 記録をウィンドウなしで、できるだけ速く確かめる
  --scale N       この回だけ、ゲームを N 倍（1～4）に拡大して表示する
  --fullscreen    フルスクリーンで始める
  --mute          この回だけ、すべての音を消して始める
  --soundfont FILE  この回だけ、音楽を SoundFont の FILE（.sf2 か .sf3）で鳴らす
  --language L    この回だけ、ja（日本語）か en（英語）で表示する
  -h, --help      この説明を表示して終わる
  -v, --version   バージョンを表示して終わる
</source>
        <translation>Usage: quillot [OPTION]...
A little red bird&apos;s shooting game.

  --record FILE   play as usual and record the session into FILE
  --replay FILE   play a recorded session back in the window
  --headless      with --replay: check the recording without a window, as fast as possible
  --scale N       show the game N times enlarged (1 to 4) for this run
  --fullscreen    start in full screen
  --mute          start with all sound muted, for this run
  --soundfont FILE  play the music through the SoundFont FILE (.sf2 or .sf3), for this run
  --language L    speak ja (Japanese) or en (English) for this run
  -h, --help      show this help and exit
  -v, --version   show the version and exit
</translation>
    </message>
    <message>
        <source>なし（ホームフォルダがありません）</source>
        <translation>none (there is no home folder)</translation>
    </message>
    <message>
        <source>ＱＵＩＬＬＯＴを起動できません。<byte value="xd"/>%1 はロック ファイルとして使えません。<byte value="xd"/>これを削除すると起動できます。</source>
        <translation>The game cannot start: %1 is not a lock file it can use.<byte value="xd"/>Remove it and the game will start.</translation>
    </message>
    <message>
        <source>ﾎｰﾑ ﾌｫﾙﾀﾞが見つからないためｾｰﾌﾞできません</source>
        <translation>Cannot save: no home folder was found</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>◆操作方法</source>
        <translation>◆Controls</translation>
    </message>
    <message>
        <source>左スティック</source>
        <translation>left stick</translation>
    </message>
    <message>
        <source>キー: %1 と %2 で移動、%3 でショット、%4 でボム。%5 か Esc で一時停止。
%6 で音を消す、%7 と %8 で音楽の音量、Shift と - + で効果音の音量。
Ctrl+1～Ctrl+4、Ctrl+-、Ctrl++ で画面の大きさ。F11 か Alt+Enter でフルスクリーン。
F1 で操作方法、F2 で設定、Ctrl+Q で終了。
</source>
        <translation>Keys: %1 and %2 move, %3 shoots, %4 bombs; %5 or Esc pauses;
%6 mutes, %7 and %8 set the music&apos;s volume, Shift with - and + the effects&apos;;
Ctrl+1..Ctrl+4, Ctrl+- and Ctrl++ set the scale; F11 or Alt+Enter toggles full screen;
F1 shows the controls; F2 opens the options; Ctrl+Q quits.
</translation>
    </message>
    <message>
        <source>キーとパッドのボタンは設定ファイルの [keys] と [pad] で変えられます。
</source>
        <translation>Keys and pad buttons can be rebound in the [keys] and [pad] groups of the settings file.
</translation>
    </message>
    <message>
        <source>左へ</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>右へ</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>ショット</source>
        <translation>Shoot</translation>
    </message>
    <message>
        <source>ボム</source>
        <translation>Bomb</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>この説明</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>音を消す</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>音量を下げる</source>
        <translation>Volume down</translation>
    </message>
    <message>
        <source>音量を上げる</source>
        <translation>Volume up</translation>
    </message>
    <message>
        <source>キー</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>ゲームパッド</source>
        <translation>Gamepad</translation>
    </message>
    <message>
        <source>キーとボタンを初期設定に戻す</source>
        <translation>Reset keys and buttons</translation>
    </message>
    <message>
        <source>初期設定に戻しました。</source>
        <translation>Back to the defaults.</translation>
    </message>
    <message>
        <source>キーを押す…</source>
        <translation>Press a key…</translation>
    </message>
    <message>
        <source>「%1」にするキーを押してください。</source>
        <translation>Press the key for &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>「%1」にするパッドのボタンを押してください。</source>
        <translation>Press the pad button for &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>ボタンを押す…</source>
        <translation>Press a button…</translation>
    </message>
    <message>
        <source>「%1」は %2 になりました。</source>
        <translation>&quot;%1&quot; is now %2.</translation>
    </message>
    <message>
        <source>%1 はもう「%2」に使われています。</source>
        <translation>%1 is already used for &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>ほかの操作</source>
        <translation>another action</translation>
    </message>
    <message>
        <source>%1 はウィンドウのキーなので使えません（F1, F2, F11, Esc, Ctrl, Alt）。</source>
        <translation>%1 belongs to the window and cannot be used (F1, F2, F11, Esc, Ctrl, Alt).</translation>
    </message>
    <message>
        <source>%1 は名前のないキーなので覚えておけません。</source>
        <translation>%1 has no name the settings file can keep it by.</translation>
    </message>
    <message>
        <source>%1 は使えません。</source>
        <translation>%1 cannot be used.</translation>
    </message>
    <message>
        <source>十字↑</source>
        <translation>D-pad ↑</translation>
    </message>
    <message>
        <source>十字↓</source>
        <translation>D-pad ↓</translation>
    </message>
    <message>
        <source>十字←</source>
        <translation>D-pad ←</translation>
    </message>
    <message>
        <source>十字→</source>
        <translation>D-pad →</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>マウス</source>
        <translation>Mouse</translation>
    </message>
    <message>
        <source>左クリック</source>
        <translation>Left click</translation>
    </message>
    <message>
        <source>右クリック</source>
        <translation>Right click</translation>
    </message>
    <message>
        <source>%1（クリックで再開）</source>
        <translation>%1 (click to go on)</translation>
    </message>
    <message>
        <source>音楽の音量</source>
        <translation>Music volume</translation>
    </message>
    <message>
        <source>効果音の音量</source>
        <translation>Effects volume</translation>
    </message>
    <message>
        <source>画面の大きさ</source>
        <translation>Window size</translation>
    </message>
    <message>
        <source>フルスクリーン</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>F11 / Alt+Enter（Escで戻る）</source>
        <translation>F11 / Alt+Enter (Esc leaves)</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>選ぶ</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>Tab / 矢印キー</source>
        <translation>Tab / arrow keys</translation>
    </message>
    <message>
        <source>十字キー / 左スティック</source>
        <translation>D-pad / left stick</translation>
    </message>
    <message>
        <source>押す</source>
        <translation>Press</translation>
    </message>
    <message>
        <source>閉じる・いいえ</source>
        <translation>Close, No</translation>
    </message>
    <message>
        <source>この説明を閉じる</source>
        <translation>Close this help</translation>
    </message>
    <message>
        <source>十字キー以外のボタン</source>
        <translation>any button but the D-pad</translation>
    </message>
    <message>
        <source>キーとマウス</source>
        <translation>Keys and mouse</translation>
    </message>
    <message>
        <source>◆メニュー</source>
        <translation>◆Menus</translation>
    </message>
    <message>
        <source>ゲームパッド:
</source>
        <translation>Gamepad:
</translation>
    </message>
    <message>
        <source>キーはそのままです。</source>
        <translation>Keys unchanged.</translation>
    </message>
    <message>
        <source>%1 を外しました。</source>
        <translation>%1 removed. </translation>
    </message>
    <message>
        <source>「%1」は %2 つまでです。外すものを押してください。</source>
        <translation>&quot;%1&quot; takes %2 at most: press one of them to remove it.</translation>
    </message>
    <message>
        <source>Ctrl+1～Ctrl+4 / Ctrl+- / Ctrl++</source>
        <translation>Ctrl+1..Ctrl+4 / Ctrl+- / Ctrl++</translation>
    </message>
</context>
</TS>
