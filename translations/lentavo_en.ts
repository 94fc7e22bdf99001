<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>DataDirectory</name>
    <message>
        <source>問題データファイルを開いてください。</source>
        <translation>Please open the question data file.</translation>
    </message>
    <message>
        <source>データファイル(*.cds)</source>
        <translation>Data files (*.cds)</translation>
    </message>
    <message>
        <source>すべてのファイル(*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>データファイルが、ほかのプログラムで使用中のため使えません。しばらくしてから、もう一度始めてください。</source>
        <translation>The data files are in use by another program. Wait a little, then start again.</translation>
    </message>
    <message>
        <source>データファイルが、見付かりません。</source>
        <translation>The data files cannot be found.</translation>
    </message>
</context>
<context>
    <name>DrillRecovery</name>
    <message>
        <source>M月d日 H:mm</source>
        <translation>MMM d, H:mm</translation>
    </message>
    <message>
        <source>前回の練習 (%1 開始、%2問) は、結果を問題データと履歴に保存しないまま終わりました。
学習記録に残っている答えから、いま保存しますか？</source>
        <translation>The last drill (started %1, %2 questions) ended without its results being stored in the question data and the history.
Store them now from the answers kept in the learning record?</translation>
    </message>
    <message>
        <source>保存する</source>
        <translation>Store</translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation>Do not store</translation>
    </message>
    <message>
        <source>前回の練習の結果を保存しました。</source>
        <translation>The results of the last drill have been stored.</translation>
    </message>
    <message>
        <source>前回の練習の結果を保存できませんでした。問題データと履歴は前のままです。
</source>
        <translation>The results of the last drill could not be stored. The question data and the history are as they were.
</translation>
    </message>
</context>
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
    <name>HistoryModel</name>
    <message>
        <source>番号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>正誤</source>
        <translation>R/W</translation>
    </message>
    <message>
        <source>問題</source>
        <translation>Question</translation>
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
    <name>LearningRecordView</name>
    <message>
        <source>学習記録を開けませんでした。
</source>
        <translation>The learning record could not be opened.
</translation>
    </message>
    <message>
        <source>学習記録に書き込めませんでした。
</source>
        <translation>The learning record could not be written.
</translation>
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
    <message>
        <source>%1 %2 %3/%4点 %5</source>
        <translation>%1 %2 %3/%4 points %5</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>fail</translation>
    </message>
    <message>
        <source>練習の画面がまだありません</source>
        <translation>Practice is not available yet</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)がありません</source>
        <translation>There is no hazard item file (kiken.cds)</translation>
    </message>
    <message>
        <source>棒をクリックすると、その項目の問題を練習します</source>
        <translation>Click a bar to practise the questions of that topic</translation>
    </message>
    <message>
        <source>解答した数</source>
        <translation>Answers</translation>
    </message>
    <message>
        <source>%1問</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>練習した日数</source>
        <translation>Days practised</translation>
    </message>
    <message>
        <source>%1日</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>まだ解いていない問題</source>
        <translation>Questions never answered</translation>
    </message>
    <message>
        <source>最後に間違えた問題</source>
        <translation>Questions last answered wrong</translation>
    </message>
    <message>
        <source>&lt;/table&gt;&lt;p&gt;直近の模擬試験:</source>
        <translation>&lt;/table&gt;&lt;p&gt;Latest mock tests:</translation>
    </message>
    <message>
        <source>&lt;br&gt;まだありません</source>
        <translation>&lt;br&gt;none yet</translation>
    </message>
    <message>
        <source>模擬試験を受けると、ここに得点の移り変わりが表示されます。</source>
        <translation>Take a mock test and your scores over time are shown here.</translation>
    </message>
    <message>
        <source>模擬試験の得点(満点に対する%)</source>
        <translation>Mock test scores (% of the maximum)</translation>
    </message>
    <message>
        <source>合格ライン(%1%)</source>
        <translation>Pass mark (%1%)</translation>
    </message>
    <message>
        <source>練習問題に挑戦すると、ここに正答率の移り変わりが表示されます。</source>
        <translation>Take drills and your success rate over time is shown here.</translation>
    </message>
    <message>
        <source>練習ごとの正答率(%)</source>
        <translation>Success rate per drill (%)</translation>
    </message>
    <message>
        <source>練習問題</source>
        <translation>Drills</translation>
    </message>
    <message>
        <source>苦手の練習</source>
        <translation>Weak-point practice</translation>
    </message>
    <message>
        <source>正答率</source>
        <translation>Success rate</translation>
    </message>
    <message>
        <source>学習記録_</source>
        <translation>learning-record_</translation>
    </message>
    <message>
        <source>学習記録  </source>
        <translation>Learning record  </translation>
    </message>
    <message>
        <source>yyyy年M月d日</source>
        <translation>d MMMM yyyy</translation>
    </message>
    <message>
        <source>解答した数 %1問 / 練習した日数 %2日 / まだ解いていない問題 %3問 / 最後に間違えた問題 %4問</source>
        <translation>Answers %1 / days practised %2 / never answered %3 / last answered wrong %4</translation>
    </message>
    <message>
        <source>直近の模擬試験: </source>
        <translation>Latest mock tests: </translation>
    </message>
    <message>
        <source>まだありません</source>
        <translation>none yet</translation>
    </message>
    <message>
        <source>%1%  %2 (%3/%4問)</source>
        <translation>%1%  %2 (%3/%4)</translation>
    </message>
    <message>
        <source>PDFを保存するフォルダ</source>
        <translation>Folder to save the PDF in</translation>
    </message>
    <message>
        <source>PDFを保存しました。
</source>
        <translation>The PDF has been saved.
</translation>
    </message>
    <message>
        <source>PDFを保存できませんでした。フォルダに書き込めるか確かめてください。
</source>
        <translation>The PDF could not be saved. Check that the folder can be written to.
</translation>
    </message>
    <message>
        <source>氏名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>名前を入力(PDFに載ります)</source>
        <translation>Enter your name (printed on the PDF)</translation>
    </message>
    <message>
        <source>試験日</source>
        <translation>Test date</translation>
    </message>
    <message>
        <source>未定</source>
        <translation>Not set</translation>
    </message>
    <message>
        <source>仮免</source>
        <translation>Provisional</translation>
    </message>
    <message>
        <source>本免</source>
        <translation>Full licence</translation>
    </message>
    <message>
        <source>yyyy/MM/dd</source>
        <translation>yyyy-MM-dd</translation>
    </message>
    <message>
        <source>項目のついた問題に%1問以上答えると、ここに項目ごとの正答率が弱い順に表示されます。%2</source>
        <translation>Once you have answered %1 or more questions of a topic, the success rate per topic is shown here, weakest first.%2</translation>
    </message>
    <message>
        <source>(答えが%1問未満の項目: %2)</source>
        <translation> (topics with fewer than %1 answers: %2)</translation>
    </message>
    <message>
        <source>項目ごとの正答率(直近%1問ずつ・%2問以上答えた項目を弱い順)</source>
        <translation>Success rate per topic (last %1 each, topics with %2+ answers, weakest first)</translation>
    </message>
    <message>
        <source>項目ごとの正答率(直近%1問ずつ、%2問以上答えた項目を弱い順)</source>
        <translation>Success rate per topic (last %1 each, topics with %2+ answers, weakest first)</translation>
    </message>
    <message>
        <source>%1% %2 %3%4(%5/%6問)</source>
        <translation>%1% %2 %3%4(%5/%6 answers)</translation>
    </message>
    <message>
        <source>今日の復習 %1問(期日の来た問題 %2問)</source>
        <translation>Today&apos;s review: %1 (questions due: %2)</translation>
    </message>
    <message>
        <source>推定 記憶率 %1%(%2の範囲)</source>
        <translation>Estimated recall %1% (%2 questions)</translation>
    </message>
    <message>
        <source>%1 %2まで%3日: 1日に約%4問(新しい問題 %5問)</source>
        <translation>%1 on %2, %3 days: about %4 a day (%5 new)</translation>
    </message>
    <message>
        <source>%1の試験日 %2 は過ぎました</source>
        <translation>The %1 test date %2 has passed</translation>
    </message>
    <message>
        <source>問題ファイルがあると、ここに復習の予定が表示されます。</source>
        <translation>With a question file, the review plan is shown here.</translation>
    </message>
    <message>
        <source>これから7日の復習(問・左端が今日)</source>
        <translation>Reviews, next 7 days (questions)</translation>
    </message>
    <message>
        <source>復習</source>
        <translation>Review</translation>
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
    <name>SchoolMode</name>
    <message>
        <source>学校のサーバーに接続しています…</source>
        <translation>Connecting to the school&apos;s server…</translation>
    </message>
    <message>
        <source>学校のサーバーに接続できません。ネットワークを確かめて、再試行してください。

</source>
        <translation>The school&apos;s server cannot be reached. Check the network and try again.

</translation>
    </message>
    <message>
        <source>再試行</source>
        <translation>Try again</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>SignInWindow</name>
    <message>
        <source>ログイン</source>
        <translation>Sign in</translation>
    </message>
    <message>
        <source>学科練習システム</source>
        <translation>Written Test Trainer</translation>
    </message>
    <message>
        <source>教習生番号</source>
        <translation>Pupil number</translation>
    </message>
    <message>
        <source>PIN</source>
        <translation>PIN</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>PINがちがいます。あと%1回まちがえると、しばらくログインできなくなります。</source>
        <translation>Wrong PIN. After %1 more wrong tries you cannot sign in for a while.</translation>
    </message>
    <message>
        <source>PINがちがいます。</source>
        <translation>Wrong PIN.</translation>
    </message>
    <message>
        <source>PINを続けてまちがえたため、この教習生番号は %1 までログインできません。</source>
        <translation>The PIN was wrong too many times in a row: this pupil number cannot sign in until %1.</translation>
    </message>
    <message>
        <source>この教習生番号は登録されていません。番号を確かめてください。</source>
        <translation>This pupil number is not registered. Please check the number.</translation>
    </message>
    <message>
        <source>別のパソコン</source>
        <translation>another computer</translation>
    </message>
    <message>
        <source>別のパソコン (%1)</source>
        <translation>another computer (%1)</translation>
    </message>
    <message>
        <source>この教習生番号は、%1でログイン中です。
こちらでログインし直しますか？ 向こうのパソコンはログアウトします。</source>
        <translation>This pupil number is signed in on %1.
Sign in here instead? The other computer will be signed out.</translation>
    </message>
    <message>
        <source>ログインし直す</source>
        <translation>Sign in here</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>教習生番号を入力してください。</source>
        <translation>Please enter your pupil number.</translation>
    </message>
    <message>
        <source>教習生番号は4～8桁の数字です。</source>
        <translation>The pupil number is 4 to 8 digits.</translation>
    </message>
    <message>
        <source>PINを入力してください。</source>
        <translation>Please enter your PIN.</translation>
    </message>
    <message>
        <source>ログインしています…</source>
        <translation>Signing in…</translation>
    </message>
</context>
<context>
    <name>Statistics</name>
    <message>
        <source>項目 %1</source>
        <translation>Topic %1</translation>
    </message>
    <message>
        <source>%1: 合格圏です(直近3回の模擬試験はすべて合格)</source>
        <translation>%1: ready to pass (the last 3 mock tests were all passed)</translation>
    </message>
    <message>
        <source>%1: 模擬試験をまだ受けていません。合格圏かどうかは、模擬試験を3回受けると分かります</source>
        <translation>%1: no mock test taken yet. After 3 mock tests you will know whether you are ready to pass</translation>
    </message>
    <message>
        <source>%1: 模擬試験は%2回(合格%3回)。合格圏かどうかは、あと%4回受けると分かります</source>
        <translation>%1: %2 mock tests (%3 passed). After %4 more you will know whether you are ready to pass</translation>
    </message>
    <message>
        <source>%1: まだ合格圏ではありません。直近3回の模擬試験のうち合格は%2回</source>
        <translation>%1: not ready to pass yet. %2 of the last 3 mock tests were passed</translation>
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
    <message>
        <source>ログアウト</source>
        <translation>Sign out</translation>
    </message>
    <message>
        <source>今日の復習</source>
        <translation>Today&apos;s review</translation>
    </message>
    <message>
        <source>未送信 %1件</source>
        <translation>Not sent: %1</translation>
    </message>
    <message>
        <source>今日の復習  %1問</source>
        <translation>Today&apos;s review: %1</translation>
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
        <translation> are held; feel free to ask us.</translation>
    </message>
    <message>
        <source>勉強会</source>
        <translation>Study sessions</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>問題画面へ移動</source>
        <translation>Go to the questions</translation>
    </message>
    <message>
        <source>© Orvessa 自動車学校 Ver.</source>
        <translation>© Orvessa Driving School Ver.</translation>
    </message>
</context>
<context>
    <name>TeacherMode</name>
    <message>
        <source>学習記録 — </source>
        <translation>Learning record — </translation>
    </message>
    <message>
        <source>教習生 %1 %2 を追加しました。PIN: %3
このPINは今だけ表示されます。教習生に渡してください。</source>
        <translation>Pupil %1 %2 was added. PIN: %3
This PIN is shown only now. Please give it to the pupil.</translation>
    </message>
    <message>
        <source>%1 %2 の新しいPIN: %3
このPINは今だけ表示されます。教習生に渡してください。</source>
        <translation>New PIN for %1 %2: %3
This PIN is shown only now. Please give it to the pupil.</translation>
    </message>
    <message>
        <source>学科練習 管理</source>
        <translation>Written Test Trainer — administration</translation>
    </message>
</context>
<context>
    <name>TeacherOverviewWindow</name>
    <message>
        <source>教官用 一覧</source>
        <translation>Teacher&apos;s overview</translation>
    </message>
    <message>
        <source>絞り込み:</source>
        <translation>Filter:</translation>
    </message>
    <message>
        <source>合格圏の教習生だけを表示します</source>
        <translation>Show only the pupils ready to pass</translation>
    </message>
    <message>
        <source>学習していない日数:</source>
        <translation>Days without study:</translation>
    </message>
    <message>
        <source>日以上</source>
        <translation> days or more</translation>
    </message>
    <message>
        <source>氏名・ふりがな・番号</source>
        <translation>Name, reading or number</translation>
    </message>
    <message>
        <source>ダブルクリックでその教習生の学習記録を開きます</source>
        <translation>Double-click a pupil to open their learning record</translation>
    </message>
    <message>
        <source>新しい教習生:</source>
        <translation>New pupil:</translation>
    </message>
    <message>
        <source>番号(4〜8桁)</source>
        <translation>Number (4–8 digits)</translation>
    </message>
    <message>
        <source>氏名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>ふりがな</source>
        <translation>Reading (kana)</translation>
    </message>
    <message>
        <source>教習生を追加</source>
        <translation>Add pupil</translation>
    </message>
    <message>
        <source>PINを再発行</source>
        <translation>Reset PIN</translation>
    </message>
    <message>
        <source>退所にする</source>
        <translation>Mark as left</translation>
    </message>
    <message>
        <source>一覧に表示しなくなります。記録は残ります</source>
        <translation>Hidden from the list; the record is kept</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>CSVに保存</source>
        <translation>Save as CSV</translation>
    </message>
    <message>
        <source>PDFに保存</source>
        <translation>Save as PDF</translation>
    </message>
    <message>
        <source>すべての教習生</source>
        <translation>All pupils</translation>
    </message>
    <message>
        <source>%1人 / 在籍 %2人</source>
        <translation>%1 shown / %2 enrolled</translation>
    </message>
    <message>
        <source>一覧で教習生を選んでください。</source>
        <translation>Please choose a pupil in the list.</translation>
    </message>
    <message>
        <source>教習生番号は 4〜8 桁の数字で入力してください。</source>
        <translation>Please enter the pupil number as 4 to 8 digits.</translation>
    </message>
    <message>
        <source>氏名を入力してください。</source>
        <translation>Please enter the name.</translation>
    </message>
    <message>
        <source>教習生 %1 を追加します。よろしいですか?</source>
        <translation>Add pupil %1?</translation>
    </message>
    <message>
        <source>追加する</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 %2 のPINを新しくします。今のPINは使えなくなります。よろしいですか?</source>
        <translation>Issue a new PIN for %1 %2? The current PIN will stop working.</translation>
    </message>
    <message>
        <source>再発行する</source>
        <translation>Issue a new PIN</translation>
    </message>
    <message>
        <source>%1 %2 を退所にします。一覧には表示されなくなりますが、記録は残ります。よろしいですか?</source>
        <translation>Mark %1 %2 as left? The pupil is no longer shown in the list, but the record is kept.</translation>
    </message>
    <message>
        <source>教官用一覧_</source>
        <translation>teachers-overview_</translation>
    </message>
    <message>
        <source>CSVを保存しました。
</source>
        <translation>The CSV was saved.
</translation>
    </message>
    <message>
        <source>PDFを保存しました。
</source>
        <translation>The PDF was saved.
</translation>
    </message>
    <message>
        <source>%1&#x3000;絞り込み: %2&#x3000;%3人&#x3000;%4/%5ページ</source>
        <translation>%1   Filter: %2   %3 pupils   page %4/%5</translation>
    </message>
    <message>
        <source>yyyy年M月d日</source>
        <translation>yyyy-MM-dd</translation>
    </message>
</context>
<context>
    <name>drill::Session</name>
    <message>
        <source>「%1」に書き込めないため、練習の結果を保存できません。ファイルを確かめてから、もう一度終了してください。</source>
        <translation>“%1” cannot be written, so the results of the drill cannot be stored. Check the file, then finish the drill again.</translation>
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
    <message>
        <source>%1の模擬試験には問題が%2問必要ですが、この問題集で出題できる問題は%3問です。</source>
        <translation>The %1 mock test needs %2 questions, but this question bank can set only %3.</translation>
    </message>
    <message>
        <source>危険予測の問題が%1問必要ですが、%2問しかありません。</source>
        <translation>%1 hazard items are needed, but there are only %2.</translation>
    </message>
    <message>
        <source>危険予測の問題なしの%1問・%2点満点、%3点以上で合格として行います。</source>
        <translation> The test is held without hazard items: %1 questions, %2 points in all, a pass at %3 points or more.</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)がありません。</source>
        <translation>There is no hazard item file (kiken.cds).</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)を読めません(%1)。</source>
        <translation>The hazard item file (kiken.cds) cannot be read (%1).</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)に問題がありません。</source>
        <translation>The hazard item file (kiken.cds) holds no items.</translation>
    </message>
</context>
<context>
    <name>exam::ExamLauncher</name>
    <message>
        <source>問題データファイルを読めません。
</source>
        <translation>The question data file cannot be read.
</translation>
    </message>
    <message>
        <source>学習記録(kiroku.sqlite)を開けません。この回は記録を残さずに続けます。
</source>
        <translation>The learning record (kiroku.sqlite) cannot be opened. This session goes on without being recorded.
</translation>
    </message>
    <message>
        <source>練習できる問題がありません。</source>
        <translation>There are no questions to practise.</translation>
    </message>
    <message>
        <source>今日の復習はもうありません。明日また来てください。</source>
        <translation>Nothing is due for review today. Come back tomorrow.</translation>
    </message>
</context>
<context>
    <name>exam::ExamWindow</name>
    <message>
        <source>正</source>
        <translation>True</translation>
    </message>
    <message>
        <source>誤</source>
        <translation>False</translation>
    </message>
    <message>
        <source>練習</source>
        <translation>Practice</translation>
    </message>
    <message>
        <source>このまま続けられますが、この回は学習記録に残りません。</source>
        <translation>You can go on, but this session will not be kept in the learning record.</translation>
    </message>
    <message>
        <source>練習を終える</source>
        <translation>Finish practice</translation>
    </message>
    <message>
        <source>採点する</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>問%1 / %2&#x3000;危険予測</source>
        <translation>Question %1 / %2  Hazard prediction</translation>
    </message>
    <message>
        <source>問%1 / %2</source>
        <translation>Question %1 / %2</translation>
    </message>
    <message>
        <source>正解&#x3000;</source>
        <translation>Right  </translation>
    </message>
    <message>
        <source>不正解(正しくは%1)&#x3000;</source>
        <translation>Wrong (the answer is %1)  </translation>
    </message>
    <message>
        <source>残り </source>
        <translation>Left </translation>
    </message>
    <message>
        <source>練習はこのまま続けられますが、ここからの答えは学習記録に残りません(それまでの答えは残っています)。</source>
        <translation>You can go on practising, but your answers from here on will not be kept in the learning record (the earlier ones are kept).</translation>
    </message>
    <message>
        <source>試験に戻る</source>
        <translation>Back to the test</translation>
    </message>
    <message>
        <source>この試験の解答と採点の結果は学習記録に残りません(記録には「未完了」の試験として残ります)。</source>
        <translation>The answers and the score of this test will not be kept in the learning record (it stays there as an unfinished test).</translation>
    </message>
    <message>
        <source>答えは学習記録に残っていますが、練習は「未完了」として残ります。</source>
        <translation>Your answers are kept in the learning record, but the practice stays there as unfinished.</translation>
    </message>
    <message>
        <source>練習を終えました。%1問中%2問正解でした。</source>
        <translation>Practice finished: %2 of %1 questions right.</translation>
    </message>
    <message>
        <source>学習記録に書き込めません。</source>
        <translation>The learning record cannot be written to.</translation>
    </message>
    <message>
        <source>試験をやめますか？
採点はされず、記録には「未完了」として残ります。</source>
        <translation>Stop the test?
It will not be graded, and it stays in the record as unfinished.</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;color:#8cc88c&apos;&gt;■&lt;/span&gt; 正解&#x3000;&lt;span style=&apos;color:#e89c9c&apos;&gt;■&lt;/span&gt; 不正解&#x3000;□ 未解答</source>
        <translation>&lt;span style=&apos;color:#8cc88c&apos;&gt;■&lt;/span&gt; right&#x3000;&lt;span style=&apos;color:#e89c9c&apos;&gt;■&lt;/span&gt; wrong&#x3000;□ not answered</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;color:#5c94d0&apos;&gt;■&lt;/span&gt; 解答済み&#x3000;□ 未解答&#x3000;&lt;span style=&apos;color:#e07000&apos;&gt;◥&lt;/span&gt; 見直し</source>
        <translation>&lt;span style=&apos;color:#5c94d0&apos;&gt;■&lt;/span&gt; answered&#x3000;□ not answered&#x3000;&lt;span style=&apos;color:#e07000&apos;&gt;◥&lt;/span&gt; flagged</translation>
    </message>
    <message>
        <source>1/O 正&#x3000;2/X 誤&#x3000;Enter 次へ&#x3000;←→ 移動
↑↓ 危険予測の小問&#x3000;Z 図を拡大</source>
        <translation>1/O True&#x3000;2/X False&#x3000;Enter Next&#x3000;←→ Move
↑↓ Hazard parts&#x3000;Z Enlarge figure</translation>
    </message>
    <message>
        <source>1/O 正&#x3000;2/X 誤&#x3000;←→ 移動&#x3000;↑↓ 危険予測の小問
F 見直し&#x3000;Z 図を拡大&#x3000;Ctrl+Enter 採点</source>
        <translation>1/O True&#x3000;2/X False&#x3000;←→ Move&#x3000;↑↓ Hazard parts
F Flag&#x3000;Z Enlarge figure&#x3000;Ctrl+Enter Grade</translation>
    </message>
    <message>
        <source>採点しますか？
</source>
        <translation>Grade the test?
</translation>
    </message>
    <message>
        <source>練習を終えました。答えた問題はありません。</source>
        <translation>Practice finished. No question was answered.</translation>
    </message>
    <message>
        <source>未解答の問題が%1問あります(未解答は不正解になります)。</source>
        <translation>%1 questions are not answered (an unanswered question counts as wrong).</translation>
    </message>
    <message>
        <source>すべての問題に解答しています。</source>
        <translation>Every question is answered.</translation>
    </message>
    <message>
        <source>
「見直し」の印が付いたままの問題が%1問あります。</source>
        <translation>
%1 questions are still flagged.</translation>
    </message>
</context>
<context>
    <name>exam::FigureView</name>
    <message>
        <source>クリックで拡大</source>
        <translation>Click to enlarge</translation>
    </message>
    <message>
        <source>図(Escで閉じる)</source>
        <translation>Figure (Esc to close)</translation>
    </message>
    <message>
        <source>Esc またはクリックで閉じる</source>
        <translation>Esc or a click closes it</translation>
    </message>
</context>
<context>
    <name>exam::ResultsWindow</name>
    <message>
        <source>(教習項目なし)</source>
        <translation>(no topic)</translation>
    </message>
    <message>
        <source>不明な項目</source>
        <translation>unknown topic</translation>
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
        <source>未解答</source>
        <translation>not answered</translation>
    </message>
    <message>
        <source>教習項目</source>
        <translation>Topic</translation>
    </message>
    <message>
        <source>得点</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>正答率</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>問</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>あなたの答え</source>
        <translation>Your answer</translation>
    </message>
    <message>
        <source>正解</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>問題</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>練習</source>
        <translation>Practice</translation>
    </message>
    <message>
        <source>の結果</source>
        <translation>: results</translation>
    </message>
    <message>
        <source>%1 / %2 点&#x3000;(合格点 %3 点)</source>
        <translation>%1 / %2 points  (pass mark %3)</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>所要時間 %1 / 制限時間 %2</source>
        <translation>Time taken %1 / time allowed %2</translation>
    </message>
    <message>
        <source>
時間切れで採点しました。</source>
        <translation>
Graded when the time ran out.</translation>
    </message>
    <message>
        <source>&#x3000;未解答 %1問</source>
        <translation>  not answered: %1</translation>
    </message>
    <message>
        <source>○</source>
        <translation>○</translation>
    </message>
    <message>
        <source>×</source>
        <translation>×</translation>
    </message>
    <message>
        <source>× </source>
        <translation>× </translation>
    </message>
    <message>
        <source>【危険予測】</source>
        <translation>[Hazard prediction] </translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;%1%2&lt;/b&gt;&lt;br&gt;あなたの答え: &lt;span style=&apos;color:%3&apos;&gt;%4&lt;/span&gt;&#x3000;正解: %5&lt;br&gt;%6&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;%1%2&lt;/b&gt;&lt;br&gt;Your answer: &lt;span style=&apos;color:%3&apos;&gt;%4&lt;/span&gt;  Answer: %5&lt;br&gt;%6&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>school::Overview</name>
    <message>
        <source>%1 合格圏</source>
        <translation>%1 ready to pass</translation>
    </message>
    <message>
        <source>%1日以上学習なし</source>
        <translation>no study for %1 days or more</translation>
    </message>
    <message>
        <source>「%1」を含む</source>
        <translation>containing “%1”</translation>
    </message>
    <message>
        <source>絞り込みなし</source>
        <translation>no filter</translation>
    </message>
    <message>
        <source>・</source>
        <translation>, </translation>
    </message>
    <message>
        <source>番号</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>氏名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>最終学習日</source>
        <translation>Last studied</translation>
    </message>
    <message>
        <source>解答数</source>
        <translation>Answers</translation>
    </message>
    <message>
        <source>学習日数</source>
        <translation>Days studied</translation>
    </message>
    <message>
        <source>模試回数</source>
        <translation>Mock tests</translation>
    </message>
    <message>
        <source>%1 直近3回</source>
        <translation>%1 last 3</translation>
    </message>
    <message>
        <source>%1 判定</source>
        <translation>%1 verdict</translation>
    </message>
    <message>
        <source>苦手項目</source>
        <translation>Weakest topics</translation>
    </message>
    <message>
        <source>合格圏</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>まだ</source>
        <translation>Not yet</translation>
    </message>
</context>
<context>
    <name>school::SchoolLink</name>
    <message>
        <source>学校の問題データがまだ登録されていません。先生に知らせてください。</source>
        <translation>The school&apos;s question data has not been registered yet. Please tell your teacher.</translation>
    </message>
</context>
<context>
    <name>syllabus</name>
    <message>
        <source>運転者の心得</source>
        <translation>The driver&apos;s attitude</translation>
    </message>
    <message>
        <source>信号</source>
        <translation>Traffic signals</translation>
    </message>
    <message>
        <source>標識・標示</source>
        <translation>Signs and road markings</translation>
    </message>
    <message>
        <source>通行するところ・してはいけないところ</source>
        <translation>Where to drive and where not to</translation>
    </message>
    <message>
        <source>緊急自動車等の優先</source>
        <translation>Priority of emergency vehicles</translation>
    </message>
    <message>
        <source>交差点等・踏切</source>
        <translation>Intersections and level crossings</translation>
    </message>
    <message>
        <source>安全な速度と車間距離</source>
        <translation>Safe speed and following distance</translation>
    </message>
    <message>
        <source>歩行者の保護等</source>
        <translation>Protecting pedestrians</translation>
    </message>
    <message>
        <source>安全確認・合図・警音器</source>
        <translation>Safety checks, signals and the horn</translation>
    </message>
    <message>
        <source>進路変更等</source>
        <translation>Changing course</translation>
    </message>
    <message>
        <source>追越し</source>
        <translation>Overtaking</translation>
    </message>
    <message>
        <source>行き違い</source>
        <translation>Passing oncoming traffic</translation>
    </message>
    <message>
        <source>運転免許制度・交通反則通告制度</source>
        <translation>Licences and traffic-violation notices</translation>
    </message>
    <message>
        <source>オートマチック車の運転</source>
        <translation>Driving an automatic car</translation>
    </message>
    <message>
        <source>危険予測</source>
        <translation>Hazard prediction</translation>
    </message>
    <message>
        <source>応急救護処置</source>
        <translation>First aid</translation>
    </message>
    <message>
        <source>死角と運転</source>
        <translation>Blind spots</translation>
    </message>
    <message>
        <source>適性と運転行動</source>
        <translation>Aptitude and driving behaviour</translation>
    </message>
    <message>
        <source>人間の能力と運転</source>
        <translation>Human abilities and driving</translation>
    </message>
    <message>
        <source>車に働く自然の力と運転</source>
        <translation>Natural forces acting on a vehicle</translation>
    </message>
    <message>
        <source>悪条件下での運転</source>
        <translation>Driving in bad conditions</translation>
    </message>
    <message>
        <source>特徴的な事故と事故の悲惨さ</source>
        <translation>Typical accidents and their toll</translation>
    </message>
    <message>
        <source>自動車の保守管理</source>
        <translation>Vehicle maintenance</translation>
    </message>
    <message>
        <source>駐車と停車</source>
        <translation>Parking and stopping</translation>
    </message>
    <message>
        <source>乗車と積載</source>
        <translation>Passengers and loads</translation>
    </message>
    <message>
        <source>けん引</source>
        <translation>Towing</translation>
    </message>
    <message>
        <source>交通事故のとき</source>
        <translation>After a traffic accident</translation>
    </message>
    <message>
        <source>所有者の心得と保険制度</source>
        <translation>Owners&apos; duties and insurance</translation>
    </message>
    <message>
        <source>経路の設計</source>
        <translation>Route planning</translation>
    </message>
    <message>
        <source>高速道路での運転</source>
        <translation>Expressway driving</translation>
    </message>
    <message>
        <source>二輪車・原付・特定小型原付と自転車</source>
        <translation>Motorcycles, mopeds, designated small mopeds and bicycles</translation>
    </message>
</context>
</TS>
