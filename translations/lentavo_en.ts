<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>ExamWindow</name>
    <message>
        <source>模擬試験</source>
        <translation>Mock test</translation>
    </message>
    <message>
        <source>見直し (F)</source>
        <translation>Flag (F)</translation>
    </message>
    <message>
        <source>正</source>
        <translation>True</translation>
    </message>
    <message>
        <source>誤</source>
        <translation>False</translation>
    </message>
    <message>
        <source>問題番号(クリックで移動)</source>
        <translation>Questions (click to go to one)</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;color:#5c94d0&quot;&gt;■&lt;/span&gt; 解答済み&#x3000;□ 未解答&#x3000;&lt;span style=&quot;color:#e07000&quot;&gt;◥&lt;/span&gt; 見直し</source>
        <translation>&lt;span style=&quot;color:#5c94d0&quot;&gt;■&lt;/span&gt; answered&#x3000;□ not answered&#x3000;&lt;span style=&quot;color:#e07000&quot;&gt;◥&lt;/span&gt; flagged</translation>
    </message>
    <message>
        <source>◀ 前へ</source>
        <translation>◀ Back</translation>
    </message>
    <message>
        <source>次へ ▶</source>
        <translation>Next ▶</translation>
    </message>
    <message>
        <source>採点する</source>
        <translation>Grade</translation>
    </message>
</context>
<context>
    <name>LanguageButton</name>
    <message>
        <source>問題文: 日本語のみ</source>
        <translation>Questions: Japanese only</translation>
    </message>
    <message>
        <source>問題文: 訳のみ</source>
        <translation>Questions: translation only</translation>
    </message>
    <message>
        <source>問題文: 日本語と訳</source>
        <translation>Questions: Japanese with the translation</translation>
    </message>
</context>
<context>
    <name>LanguageChoice</name>
    <message>
        <source>（日本語の文が変わったため、この訳は表示しません。）</source>
        <translation>(The Japanese text has changed, so its translation is not shown.)</translation>
    </message>
</context>
<context>
    <name>ProgressWindow</name>
    <message>
        <source>学習記録</source>
        <translation>Learning record</translation>
    </message>
    <message>
        <source>まだ学習の記録がありません。

練習問題や模擬試験に挑戦すると、ここに
点数の移り変わり、苦手な項目、合格圏かどうかが表示されます。

まずはメニューの「仮免(簡単)に挑戦」から始めてみましょう。</source>
        <translation>Nothing has been recorded yet.

Once you take drills or mock tests, this page shows
how your scores change, your weak topics and whether you are ready to pass.

Start with &quot;Provisional test (easy)&quot; on the menu.</translation>
    </message>
    <message>
        <source>間違えた問題を練習</source>
        <translation>Practise my mistakes</translation>
    </message>
    <message>
        <source>いちばん苦手な項目を練習</source>
        <translation>Practise my weakest topic</translation>
    </message>
    <message>
        <source>危険予測を練習</source>
        <translation>Practise hazard items</translation>
    </message>
    <message>
        <source>PDFに保存</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>ResultsWindow</name>
    <message>
        <source>模擬試験の結果</source>
        <translation>Mock test results</translation>
    </message>
    <message>
        <source>間違えた問題を練習する</source>
        <translation>Practise the questions I got wrong</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>学科練習システム</source>
        <translation>Written Test Trainer</translation>
    </message>
    <message>
        <source>仮免(簡単)に挑戦</source>
        <translation>Provisional test (easy)</translation>
    </message>
    <message>
        <source>仮免(普通)に挑戦</source>
        <translation>Provisional test (normal)</translation>
    </message>
    <message>
        <source>仮免(難問)に挑戦</source>
        <translation>Provisional test (hard)</translation>
    </message>
    <message>
        <source>本免(簡単)に挑戦</source>
        <translation>Full licence test (easy)</translation>
    </message>
    <message>
        <source>本免(普通)に挑戦</source>
        <translation>Full licence test (normal)</translation>
    </message>
    <message>
        <source>本免(難問)に挑戦</source>
        <translation>Full licence test (hard)</translation>
    </message>
    <message>
        <source>問題の見直し</source>
        <translation>Review the answers</translation>
    </message>
    <message>
        <source>学習記録</source>
        <translation>Learning record</translation>
    </message>
    <message>
        <source>問題設定</source>
        <translation>Question settings</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>仮免 模擬試験 ▶
50問・30分</source>
        <translation>Provisional mock ▶
50 questions · 30 min</translation>
    </message>
    <message>
        <source>本免 模擬試験 ▶
95問・50分</source>
        <translation>Full licence mock ▶
95 questions · 50 min</translation>
    </message>
    <message>
        <source>外免切替 模擬試験 ▶
50問・30分</source>
        <translation>Conversion mock ▶
50 questions · 30 min</translation>
    </message>
</context>
<context>
    <name>TForm4</name>
    <message>
        <source>問題画面</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>問題</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>解説</source>
        <translation>Explanation</translation>
    </message>
    <message>
        <source>図</source>
        <translation>Figure</translation>
    </message>
    <message>
        <source>問題情報</source>
        <translation>About the question</translation>
    </message>
    <message>
        <source>問情報</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>今回数</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>正解数</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>回数</source>
        <translation>Asked</translation>
    </message>
    <message>
        <source>難易度</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>** %</source>
        <translation>** %</translation>
    </message>
    <message>
        <source>正解率</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>/</source>
        <translation>/</translation>
    </message>
    <message>
        <source>=</source>
        <translation>=</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>アドバイス</source>
        <translation>Advice</translation>
    </message>
    <message>
        <source>解答欄</source>
        <translation>Your answer</translation>
    </message>
    <message>
        <source>判&#x3000;定</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>正&#x3000;解</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>正</source>
        <translation>True</translation>
    </message>
    <message>
        <source>誤</source>
        <translation>False</translation>
    </message>
    <message>
        <source>次の問題</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>不正解</source>
        <translation>Wrong</translation>
    </message>
    <message>
        <source>出題できる問題がありません。</source>
        <translation>There are no questions left to ask.</translation>
    </message>
    <message>
        <source>このデータは、別に起動している学科練習システムで練習中のため使えません。そちらの練習を終了してから、もう一度始めてください。</source>
        <translation>This data is in use by another copy of the trainer that is running a drill. Finish that drill, then start again.</translation>
    </message>
    <message>
        <source>データファイルが、ほかのプログラムで使用中のため使えません。しばらくしてから、もう一度始めてください。</source>
        <translation>The data files are in use by another program. Wait a little, then start again.</translation>
    </message>
    <message>
        <source>学習記録を使えないため、この練習の答えは学習記録に残りません。練習はこのまま続けられます。</source>
        <translation>The learning record cannot be used, so the answers of this drill will not be kept in it. You can go on with the drill.</translation>
    </message>
    <message>
        <source>問題%1</source>
        <translation>Question %1</translation>
    </message>
    <message>
        <source>正&#x3000;解</source>
        <comment>verdict</comment>
        <translation>Right!</translation>
    </message>
</context>
<context>
    <name>TForm6</name>
    <message>
        <source>問題</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>図</source>
        <translation>Figure</translation>
    </message>
    <message>
        <source>433×369</source>
        <translation>433×369</translation>
    </message>
    <message>
        <source>解説</source>
        <translation>Explanation</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>TForm7</name>
    <message>
        <source>Orvessa</source>
        <translation>Orvessa</translation>
    </message>
    <message>
        <source>http://www.orvessa.example.jp/</source>
        <translation>http://www.orvessa.example.jp/</translation>
    </message>
    <message>
        <source>ご意見ご要望をお聞かせ下さい。</source>
        <translation>We welcome your comments and requests.</translation>
    </message>
    <message>
        <source>Tel: 03-0000-0000  Fax: 03-0000-0001</source>
        <translation>Tel: 03-0000-0000  Fax: 03-0000-0001</translation>
    </message>
    <message>
        <source>© Orvessa 自動車学校 Ver.X.XX</source>
        <translation>© Orvessa Driving School Ver.X.XX</translation>
    </message>
    <message>
        <source>E-mail: info@orvessa.example.jp</source>
        <translation>E-mail: info@orvessa.example.jp</translation>
    </message>
    <message>
        <source>最新版はこちら</source>
        <translation>Latest version here</translation>
    </message>
    <message>
        <source>最新版の問題が必要な方は</source>
        <translation>For the latest questions,</translation>
    </message>
    <message>
        <source>ときどきご覧ください</source>
        <translation>look here now and then</translation>
    </message>
    <message>
        <source>当校を卒業された方を対象に、</source>
        <translation>For our graduates,</translation>
    </message>
    <message>
        <source>火・水・金曜日（13：00〜）</source>
        <translation>Tue, Wed, Fri (from 13:00)</translation>
    </message>
    <message>
        <source>を実施していますので、お気軽に尋ねてください。</source>
        <translation>are held; feel free to ask us.</translation>
    </message>
    <message>
        <source>勉強会</source>
        <translation>Study sessions</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>exam</name>
    <message>
        <source>仮免</source>
        <translation>Provisional</translation>
    </message>
    <message>
        <source>本免</source>
        <translation>Full licence</translation>
    </message>
    <message>
        <source>外免切替</source>
        <translation>Conversion</translation>
    </message>
    <message>
        <source>%1 模擬試験</source>
        <translation>%1 mock</translation>
    </message>
    <message>
        <source> ▶
%1問・%2分</source>
        <translation> ▶
%1 questions · %2 min</translation>
    </message>
</context>
</TS>
