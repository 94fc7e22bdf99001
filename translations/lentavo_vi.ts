<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="vi" sourcelanguage="ja">
<context>
    <name>DataDirectory</name>
    <message>
        <source>問題データファイルを開いてください。</source>
        <translation>Hãy mở tệp dữ liệu câu hỏi.</translation>
    </message>
    <message>
        <source>データファイル(*.cds)</source>
        <translation>Tệp dữ liệu (*.cds)</translation>
    </message>
    <message>
        <source>すべてのファイル(*)</source>
        <translation>Mọi tệp (*)</translation>
    </message>
    <message>
        <source>データファイルが、ほかのプログラムで使用中のため使えません。しばらくしてから、もう一度始めてください。</source>
        <translation>Tệp dữ liệu đang được chương trình khác sử dụng. Hãy đợi một lát rồi bắt đầu lại.</translation>
    </message>
    <message>
        <source>データファイルが、見付かりません。</source>
        <translation>Không tìm thấy tệp dữ liệu.</translation>
    </message>
</context>
<context>
    <name>DrillRecovery</name>
    <message>
        <source>M月d日 H:mm</source>
        <translation>d/M H:mm</translation>
    </message>
    <message>
        <source>前回の練習 (%1 開始、%2問) は、結果を問題データと履歴に保存しないまま終わりました。
学習記録に残っている答えから、いま保存しますか？</source>
        <translation>Bài luyện lần trước (bắt đầu %1, %2 câu) đã kết thúc mà kết quả chưa được lưu vào dữ liệu câu hỏi và lịch sử.
Lưu ngay bây giờ từ các câu trả lời còn trong nhật ký học tập?</translation>
    </message>
    <message>
        <source>保存する</source>
        <translation>Lưu</translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation>Không lưu</translation>
    </message>
    <message>
        <source>前回の練習の結果を保存しました。</source>
        <translation>Đã lưu kết quả của bài luyện lần trước.</translation>
    </message>
    <message>
        <source>前回の練習の結果を保存できませんでした。問題データと履歴は前のままです。
</source>
        <translation>Không lưu được kết quả của bài luyện lần trước. Dữ liệu câu hỏi và lịch sử vẫn như cũ.
</translation>
    </message>
</context>
<context>
    <name>ExamWindow</name>
    <message>
        <source>模擬試験</source>
        <translation>Thi thử</translation>
    </message>
    <message>
        <source>見直し (F)</source>
        <translation>Đánh dấu (F)</translation>
    </message>
    <message>
        <source>正</source>
        <translation>Đúng</translation>
    </message>
    <message>
        <source>誤</source>
        <translation>Sai</translation>
    </message>
    <message>
        <source>問題番号(クリックで移動)</source>
        <translation>Số câu (bấm để chuyển)</translation>
    </message>
    <message>
        <source>&lt;span style=&quot;color:#5c94d0&quot;&gt;■&lt;/span&gt; 解答済み&#x3000;□ 未解答&#x3000;&lt;span style=&quot;color:#e07000&quot;&gt;◥&lt;/span&gt; 見直し</source>
        <translation>&lt;span style=&quot;color:#5c94d0&quot;&gt;■&lt;/span&gt; đã trả lời&#x3000;□ chưa trả lời&#x3000;&lt;span style=&quot;color:#e07000&quot;&gt;◥&lt;/span&gt; đánh dấu</translation>
    </message>
    <message>
        <source>◀ 前へ</source>
        <translation>◀ Trước</translation>
    </message>
    <message>
        <source>次へ ▶</source>
        <translation>Tiếp ▶</translation>
    </message>
    <message>
        <source>採点する</source>
        <translation>Chấm điểm</translation>
    </message>
</context>
<context>
    <name>HistoryModel</name>
    <message>
        <source>番号</source>
        <translation>Số</translation>
    </message>
    <message>
        <source>正誤</source>
        <translation>Đ/S</translation>
    </message>
    <message>
        <source>問題</source>
        <translation>Câu hỏi</translation>
    </message>
</context>
<context>
    <name>LanguageButton</name>
    <message>
        <source>問題文: 日本語のみ</source>
        <translation>Câu hỏi: chỉ tiếng Nhật</translation>
    </message>
    <message>
        <source>問題文: 訳のみ</source>
        <translation>Câu hỏi: chỉ bản dịch</translation>
    </message>
    <message>
        <source>問題文: 日本語と訳</source>
        <translation>Câu hỏi: tiếng Nhật kèm bản dịch</translation>
    </message>
</context>
<context>
    <name>LanguageChoice</name>
    <message>
        <source>（日本語の文が変わったため、この訳は表示しません。）</source>
        <translation>(Câu tiếng Nhật đã được sửa nên bản dịch cũ không được hiển thị.)</translation>
    </message>
</context>
<context>
    <name>LearningRecordView</name>
    <message>
        <source>学習記録を開けませんでした。
</source>
        <translation>Không mở được nhật ký học tập.
</translation>
    </message>
    <message>
        <source>学習記録に書き込めませんでした。
</source>
        <translation>Không ghi được vào nhật ký học tập.
</translation>
    </message>
</context>
<context>
    <name>ProgressWindow</name>
    <message>
        <source>学習記録</source>
        <translation>Nhật ký học tập</translation>
    </message>
    <message>
        <source>まだ学習の記録がありません。

練習問題や模擬試験に挑戦すると、ここに
点数の移り変わり、苦手な項目、合格圏かどうかが表示されます。

まずはメニューの「仮免(簡単)に挑戦」から始めてみましょう。</source>
        <translation>Chưa có gì được ghi lại.

Khi bạn luyện tập hoặc thi thử, trang này sẽ hiện
điểm số thay đổi thế nào, các chủ đề còn yếu và bạn đã đủ sức đỗ chưa.

Hãy bắt đầu với &quot;Bằng tạm: dễ&quot; trên menu.</translation>
    </message>
    <message>
        <source>間違えた問題を練習</source>
        <translation>Luyện các câu đã sai</translation>
    </message>
    <message>
        <source>いちばん苦手な項目を練習</source>
        <translation>Luyện chủ đề yếu nhất</translation>
    </message>
    <message>
        <source>危険予測を練習</source>
        <translation>Luyện dự đoán nguy hiểm</translation>
    </message>
    <message>
        <source>PDFに保存</source>
        <translation>Lưu thành PDF</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Đóng</translation>
    </message>
    <message>
        <source>%1 %2 %3/%4点 %5</source>
        <translation>%1 %2 %3/%4 điểm %5</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>đỗ</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>trượt</translation>
    </message>
    <message>
        <source>練習の画面がまだありません</source>
        <translation>Chưa có màn hình luyện tập</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)がありません</source>
        <translation>Không có tệp câu hỏi dự đoán nguy hiểm (kiken.cds)</translation>
    </message>
    <message>
        <source>棒をクリックすると、その項目の問題を練習します</source>
        <translation>Bấm vào một cột để luyện các câu của chủ đề đó</translation>
    </message>
    <message>
        <source>解答した数</source>
        <translation>Số câu đã trả lời</translation>
    </message>
    <message>
        <source>%1問</source>
        <translation>%1 câu</translation>
    </message>
    <message>
        <source>練習した日数</source>
        <translation>Số ngày đã luyện</translation>
    </message>
    <message>
        <source>%1日</source>
        <translation>%1 ngày</translation>
    </message>
    <message>
        <source>まだ解いていない問題</source>
        <translation>Câu chưa làm</translation>
    </message>
    <message>
        <source>最後に間違えた問題</source>
        <translation>Câu lần gần nhất làm sai</translation>
    </message>
    <message>
        <source>&lt;/table&gt;&lt;p&gt;直近の模擬試験:</source>
        <translation>&lt;/table&gt;&lt;p&gt;Các lần thi thử gần nhất:</translation>
    </message>
    <message>
        <source>&lt;br&gt;まだありません</source>
        <translation>&lt;br&gt;chưa có</translation>
    </message>
    <message>
        <source>模擬試験を受けると、ここに得点の移り変わりが表示されます。</source>
        <translation>Khi bạn thi thử, điểm số qua các lần sẽ hiện ở đây.</translation>
    </message>
    <message>
        <source>模擬試験の得点(満点に対する%)</source>
        <translation>Điểm thi thử (% so với điểm tối đa)</translation>
    </message>
    <message>
        <source>合格ライン(%1%)</source>
        <translation>Điểm đỗ (%1%)</translation>
    </message>
    <message>
        <source>練習問題に挑戦すると、ここに正答率の移り変わりが表示されます。</source>
        <translation>Khi bạn luyện tập, tỉ lệ đúng qua các lần sẽ hiện ở đây.</translation>
    </message>
    <message>
        <source>練習ごとの正答率(%)</source>
        <translation>Tỉ lệ đúng mỗi lần luyện (%)</translation>
    </message>
    <message>
        <source>練習問題</source>
        <translation>Luyện tập</translation>
    </message>
    <message>
        <source>苦手の練習</source>
        <translation>Luyện điểm yếu</translation>
    </message>
    <message>
        <source>正答率</source>
        <translation>Tỉ lệ đúng</translation>
    </message>
    <message>
        <source>学習記録_</source>
        <translation>nhat-ky-hoc-tap_</translation>
    </message>
    <message>
        <source>学習記録  </source>
        <translation>Nhật ký học tập  </translation>
    </message>
    <message>
        <source>yyyy年M月d日</source>
        <translation>d/M/yyyy</translation>
    </message>
    <message>
        <source>解答した数 %1問 / 練習した日数 %2日 / まだ解いていない問題 %3問 / 最後に間違えた問題 %4問</source>
        <translation>Đã trả lời %1 câu / đã luyện %2 ngày / chưa làm %3 câu / lần gần nhất sai %4 câu</translation>
    </message>
    <message>
        <source>直近の模擬試験: </source>
        <translation>Các lần thi thử gần nhất: </translation>
    </message>
    <message>
        <source>まだありません</source>
        <translation>chưa có</translation>
    </message>
    <message>
        <source>%1%  %2 (%3/%4問)</source>
        <translation>%1%  %2 (%3/%4 câu)</translation>
    </message>
    <message>
        <source>PDFを保存するフォルダ</source>
        <translation>Thư mục lưu PDF</translation>
    </message>
    <message>
        <source>PDFを保存しました。
</source>
        <translation>Đã lưu PDF.
</translation>
    </message>
    <message>
        <source>PDFを保存できませんでした。フォルダに書き込めるか確かめてください。
</source>
        <translation>Không lưu được PDF. Hãy kiểm tra xem có ghi được vào thư mục không.
</translation>
    </message>
    <message>
        <source>氏名</source>
        <translation>Họ tên</translation>
    </message>
    <message>
        <source>名前を入力(PDFに載ります)</source>
        <translation>Nhập họ tên (in trên PDF)</translation>
    </message>
    <message>
        <source>試験日</source>
        <translation>Ngày thi</translation>
    </message>
    <message>
        <source>未定</source>
        <translation>Chưa định</translation>
    </message>
    <message>
        <source>仮免</source>
        <translation>Bằng tạm</translation>
    </message>
    <message>
        <source>本免</source>
        <translation>Chính thức</translation>
    </message>
    <message>
        <source>yyyy/MM/dd</source>
        <translation>dd/MM/yyyy</translation>
    </message>
    <message>
        <source>項目のついた問題に%1問以上答えると、ここに項目ごとの正答率が弱い順に表示されます。%2</source>
        <translation>Khi bạn đã trả lời từ %1 câu trở lên của một mục, tỷ lệ đúng theo từng mục sẽ hiện ở đây, mục yếu nhất trước.%2</translation>
    </message>
    <message>
        <source>(答えが%1問未満の項目: %2)</source>
        <translation> (số mục có dưới %1 câu trả lời: %2)</translation>
    </message>
    <message>
        <source>項目ごとの正答率(直近%1問ずつ・%2問以上答えた項目を弱い順)</source>
        <translation>Tỷ lệ đúng theo mục (%1 câu gần nhất mỗi mục, mục có từ %2 câu, yếu nhất trước)</translation>
    </message>
    <message>
        <source>項目ごとの正答率(直近%1問ずつ、%2問以上答えた項目を弱い順)</source>
        <translation>Tỷ lệ đúng theo mục (%1 câu gần nhất mỗi mục, mục có từ %2 câu, yếu nhất trước)</translation>
    </message>
    <message>
        <source>%1% %2 %3%4(%5/%6問)</source>
        <translation>%1% %2 %3%4(%5/%6 câu)</translation>
    </message>
    <message>
        <source>今日の復習 %1問(期日の来た問題 %2問)</source>
        <translation>Ôn tập hôm nay: %1 câu (câu đến hạn: %2)</translation>
    </message>
    <message>
        <source>推定 記憶率 %1%(%2の範囲)</source>
        <translation>Tỷ lệ nhớ ước tính %1% (phạm vi %2)</translation>
    </message>
    <message>
        <source>%1 %2まで%3日: 1日に約%4問(新しい問題 %5問)</source>
        <translation>%1 ngày %2, còn %3 ngày: khoảng %4 câu mỗi ngày (%5 câu mới)</translation>
    </message>
    <message>
        <source>%1の試験日 %2 は過ぎました</source>
        <translation>Ngày thi %1 (%2) đã qua</translation>
    </message>
    <message>
        <source>問題ファイルがあると、ここに復習の予定が表示されます。</source>
        <translation>Khi có tệp câu hỏi, kế hoạch ôn tập sẽ hiện ở đây.</translation>
    </message>
    <message>
        <source>これから7日の復習(問・左端が今日)</source>
        <translation>Ôn tập 7 ngày tới (số câu)</translation>
    </message>
    <message>
        <source>復習</source>
        <translation>Ôn tập</translation>
    </message>
</context>
<context>
    <name>ResultsWindow</name>
    <message>
        <source>模擬試験の結果</source>
        <translation>Kết quả thi thử</translation>
    </message>
    <message>
        <source>間違えた問題を練習する</source>
        <translation>Luyện lại các câu đã sai</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Đóng</translation>
    </message>
</context>
<context>
    <name>SchoolMode</name>
    <message>
        <source>学校のサーバーに接続しています…</source>
        <translation>Đang kết nối với máy chủ của trường…</translation>
    </message>
    <message>
        <source>学校のサーバーに接続できません。ネットワークを確かめて、再試行してください。

</source>
        <translation>Không kết nối được với máy chủ của trường. Hãy kiểm tra mạng rồi thử lại.

</translation>
    </message>
    <message>
        <source>再試行</source>
        <translation>Thử lại</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Thoát</translation>
    </message>
</context>
<context>
    <name>SignInWindow</name>
    <message>
        <source>ログイン</source>
        <translation>Đăng nhập</translation>
    </message>
    <message>
        <source>学科練習システム</source>
        <translation>Luyện thi lý thuyết</translation>
    </message>
    <message>
        <source>教習生番号</source>
        <translation>Mã số học viên</translation>
    </message>
    <message>
        <source>PIN</source>
        <translation>Mã PIN</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Thoát</translation>
    </message>
    <message>
        <source>PINがちがいます。あと%1回まちがえると、しばらくログインできなくなります。</source>
        <translation>Sai mã PIN. Nếu sai thêm %1 lần nữa, bạn sẽ tạm thời không đăng nhập được.</translation>
    </message>
    <message>
        <source>PINがちがいます。</source>
        <translation>Sai mã PIN.</translation>
    </message>
    <message>
        <source>PINを続けてまちがえたため、この教習生番号は %1 までログインできません。</source>
        <translation>Do nhập sai mã PIN nhiều lần liên tiếp, mã số học viên này không đăng nhập được cho đến %1.</translation>
    </message>
    <message>
        <source>この教習生番号は登録されていません。番号を確かめてください。</source>
        <translation>Mã số học viên này chưa được đăng ký. Hãy kiểm tra lại mã số.</translation>
    </message>
    <message>
        <source>別のパソコン</source>
        <translation>một máy tính khác</translation>
    </message>
    <message>
        <source>別のパソコン (%1)</source>
        <translation>một máy tính khác (%1)</translation>
    </message>
    <message>
        <source>この教習生番号は、%1でログイン中です。
こちらでログインし直しますか？ 向こうのパソコンはログアウトします。</source>
        <translation>Mã số học viên này đang đăng nhập trên %1.
Đăng nhập lại ở đây? Máy tính kia sẽ bị đăng xuất.</translation>
    </message>
    <message>
        <source>ログインし直す</source>
        <translation>Đăng nhập ở đây</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Hủy</translation>
    </message>
    <message>
        <source>教習生番号を入力してください。</source>
        <translation>Hãy nhập mã số học viên.</translation>
    </message>
    <message>
        <source>教習生番号は4～8桁の数字です。</source>
        <translation>Mã số học viên gồm 4 đến 8 chữ số.</translation>
    </message>
    <message>
        <source>PINを入力してください。</source>
        <translation>Hãy nhập mã PIN.</translation>
    </message>
    <message>
        <source>ログインしています…</source>
        <translation>Đang đăng nhập…</translation>
    </message>
</context>
<context>
    <name>Statistics</name>
    <message>
        <source>項目 %1</source>
        <translation>Chủ đề %1</translation>
    </message>
    <message>
        <source>%1: 合格圏です(直近3回の模擬試験はすべて合格)</source>
        <translation>%1: đủ sức đỗ (cả 3 lần thi thử gần nhất đều đỗ)</translation>
    </message>
    <message>
        <source>%1: 模擬試験をまだ受けていません。合格圏かどうかは、模擬試験を3回受けると分かります</source>
        <translation>%1: chưa thi thử lần nào. Sau 3 lần thi thử sẽ biết bạn đã đủ sức đỗ chưa</translation>
    </message>
    <message>
        <source>%1: 模擬試験は%2回(合格%3回)。合格圏かどうかは、あと%4回受けると分かります</source>
        <translation>%1: đã thi thử %2 lần (đỗ %3 lần). Thi thêm %4 lần nữa sẽ biết bạn đã đủ sức đỗ chưa</translation>
    </message>
    <message>
        <source>%1: まだ合格圏ではありません。直近3回の模擬試験のうち合格は%2回</source>
        <translation>%1: chưa đủ sức đỗ. Trong 3 lần thi thử gần nhất, đỗ %2 lần</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>学科練習システム</source>
        <translation>Luyện thi lý thuyết</translation>
    </message>
    <message>
        <source>仮免(簡単)に挑戦</source>
        <translation>Bằng tạm: dễ</translation>
    </message>
    <message>
        <source>仮免(普通)に挑戦</source>
        <translation>Bằng tạm: vừa</translation>
    </message>
    <message>
        <source>仮免(難問)に挑戦</source>
        <translation>Bằng tạm: khó</translation>
    </message>
    <message>
        <source>本免(簡単)に挑戦</source>
        <translation>Bằng chính thức: dễ</translation>
    </message>
    <message>
        <source>本免(普通)に挑戦</source>
        <translation>Bằng chính thức: vừa</translation>
    </message>
    <message>
        <source>本免(難問)に挑戦</source>
        <translation>Bằng chính thức: khó</translation>
    </message>
    <message>
        <source>問題の見直し</source>
        <translation>Xem lại câu đã làm</translation>
    </message>
    <message>
        <source>学習記録</source>
        <translation>Nhật ký học tập</translation>
    </message>
    <message>
        <source>問題設定</source>
        <translation>Cài đặt câu hỏi</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Thoát</translation>
    </message>
    <message>
        <source>仮免 模擬試験 ▶
50問・30分</source>
        <translation>Thi thử bằng tạm ▶
50 câu · 30 phút</translation>
    </message>
    <message>
        <source>本免 模擬試験 ▶
95問・50分</source>
        <translation>Thi thử Chính thức ▶
95 câu · 50 phút</translation>
    </message>
    <message>
        <source>外免切替 模擬試験 ▶
50問・30分</source>
        <translation>Thi thử Chuyển đổi ▶
50 câu · 30 phút</translation>
    </message>
    <message>
        <source>ログアウト</source>
        <translation>Đăng xuất</translation>
    </message>
    <message>
        <source>今日の復習</source>
        <translation>Ôn tập hôm nay</translation>
    </message>
    <message>
        <source>未送信 %1件</source>
        <translation>Chưa gửi: %1</translation>
    </message>
    <message>
        <source>今日の復習  %1問</source>
        <translation>Ôn tập hôm nay: %1 câu</translation>
    </message>
</context>
<context>
    <name>TForm4</name>
    <message>
        <source>問題画面</source>
        <translation>Câu hỏi</translation>
    </message>
    <message>
        <source>問題</source>
        <translation>Câu hỏi</translation>
    </message>
    <message>
        <source>解説</source>
        <translation>Giải thích</translation>
    </message>
    <message>
        <source>図</source>
        <translation>Hình</translation>
    </message>
    <message>
        <source>問題情報</source>
        <translation>Thông tin câu hỏi</translation>
    </message>
    <message>
        <source>問情報</source>
        <translation>Câu</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>Số</translation>
    </message>
    <message>
        <source>今回数</source>
        <translation>Lượt</translation>
    </message>
    <message>
        <source>正解数</source>
        <translation>Đúng</translation>
    </message>
    <message>
        <source>回数</source>
        <translation>Số lần</translation>
    </message>
    <message>
        <source>難易度</source>
        <translation>Độ khó</translation>
    </message>
    <message>
        <source>** %</source>
        <translation>** %</translation>
    </message>
    <message>
        <source>正解率</source>
        <translation>Tỉ lệ</translation>
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
        <translation>Kết thúc</translation>
    </message>
    <message>
        <source>アドバイス</source>
        <translation>Lời khuyên</translation>
    </message>
    <message>
        <source>解答欄</source>
        <translation>Trả lời</translation>
    </message>
    <message>
        <source>判&#x3000;定</source>
        <translation>Kết quả</translation>
    </message>
    <message>
        <source>正&#x3000;解</source>
        <translation>Đáp án</translation>
    </message>
    <message>
        <source>正</source>
        <translation>Đúng</translation>
    </message>
    <message>
        <source>誤</source>
        <translation>Sai</translation>
    </message>
    <message>
        <source>次の問題</source>
        <translation>Câu sau</translation>
    </message>
    <message>
        <source>不正解</source>
        <translation>Chưa đúng</translation>
    </message>
    <message>
        <source>出題できる問題がありません。</source>
        <translation>Không còn câu hỏi nào để ra.</translation>
    </message>
    <message>
        <source>このデータは、別に起動している学科練習システムで練習中のため使えません。そちらの練習を終了してから、もう一度始めてください。</source>
        <translation>Dữ liệu này đang được một chương trình luyện thi khác dùng để luyện tập. Hãy kết thúc bài luyện đó rồi bắt đầu lại.</translation>
    </message>
    <message>
        <source>データファイルが、ほかのプログラムで使用中のため使えません。しばらくしてから、もう一度始めてください。</source>
        <translation>Tệp dữ liệu đang được chương trình khác sử dụng. Hãy đợi một lát rồi bắt đầu lại.</translation>
    </message>
    <message>
        <source>学習記録を使えないため、この練習の答えは学習記録に残りません。練習はこのまま続けられます。</source>
        <translation>Không dùng được nhật ký học tập nên câu trả lời của bài luyện này sẽ không được lưu vào đó. Bạn vẫn có thể tiếp tục luyện tập.</translation>
    </message>
    <message>
        <source>問題%1</source>
        <translation>Câu hỏi %1</translation>
    </message>
    <message>
        <source>正&#x3000;解</source>
        <comment>verdict</comment>
        <translation>Chính xác</translation>
    </message>
</context>
<context>
    <name>TForm6</name>
    <message>
        <source>問題</source>
        <translation>Câu hỏi</translation>
    </message>
    <message>
        <source>図</source>
        <translation>Hình</translation>
    </message>
    <message>
        <source>433×369</source>
        <translation>433×369</translation>
    </message>
    <message>
        <source>解説</source>
        <translation>Giải thích</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Thoát</translation>
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
        <translation>Rất mong nhận được góp ý của bạn.</translation>
    </message>
    <message>
        <source>Tel: 03-0000-0000  Fax: 03-0000-0001</source>
        <translation>ĐT: 03-0000-0000  Fax: 03-0000-0001</translation>
    </message>
    <message>
        <source>© Orvessa 自動車学校 Ver.X.XX</source>
        <translation>© Trường lái xe Orvessa Ver.X.XX</translation>
    </message>
    <message>
        <source>E-mail: info@orvessa.example.jp</source>
        <translation>E-mail: info@orvessa.example.jp</translation>
    </message>
    <message>
        <source>最新版はこちら</source>
        <translation>Phiên bản mới nhất</translation>
    </message>
    <message>
        <source>最新版の問題が必要な方は</source>
        <translation>Nếu cần bộ câu hỏi mới nhất,</translation>
    </message>
    <message>
        <source>ときどきご覧ください</source>
        <translation>hãy thỉnh thoảng ghé xem</translation>
    </message>
    <message>
        <source>当校を卒業された方を対象に、</source>
        <translation>Dành cho học viên đã tốt nghiệp,</translation>
    </message>
    <message>
        <source>火・水・金曜日（13：00〜）</source>
        <translation>Thứ Ba, Tư, Sáu (từ 13:00)</translation>
    </message>
    <message>
        <source>を実施していますので、お気軽に尋ねてください。</source>
        <translation> được tổ chức; cứ tự nhiên hỏi chúng tôi.</translation>
    </message>
    <message>
        <source>勉強会</source>
        <translation>Buổi học</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Đóng</translation>
    </message>
    <message>
        <source>問題画面へ移動</source>
        <translation>Vào màn hình câu hỏi</translation>
    </message>
    <message>
        <source>© Orvessa 自動車学校 Ver.</source>
        <translation>© Trường lái xe Orvessa Ver.</translation>
    </message>
</context>
<context>
    <name>TeacherMode</name>
    <message>
        <source>学習記録 — </source>
        <translation>Nhật ký học tập — </translation>
    </message>
    <message>
        <source>教習生 %1 %2 を追加しました。PIN: %3
このPINは今だけ表示されます。教習生に渡してください。</source>
        <translation>Đã thêm học viên %1 %2. Mã PIN: %3
Mã PIN này chỉ hiện lúc này. Hãy đưa cho học viên.</translation>
    </message>
    <message>
        <source>%1 %2 の新しいPIN: %3
このPINは今だけ表示されます。教習生に渡してください。</source>
        <translation>Mã PIN mới của %1 %2: %3
Mã PIN này chỉ hiện lúc này. Hãy đưa cho học viên.</translation>
    </message>
    <message>
        <source>学科練習 管理</source>
        <translation>Luyện thi lý thuyết — quản lý</translation>
    </message>
</context>
<context>
    <name>TeacherOverviewWindow</name>
    <message>
        <source>教官用 一覧</source>
        <translation>Tổng quan của giáo viên</translation>
    </message>
    <message>
        <source>絞り込み:</source>
        <translation>Lọc:</translation>
    </message>
    <message>
        <source>合格圏の教習生だけを表示します</source>
        <translation>Chỉ hiện học viên đã đủ sức đậu</translation>
    </message>
    <message>
        <source>学習していない日数:</source>
        <translation>Số ngày không học:</translation>
    </message>
    <message>
        <source>日以上</source>
        <translation> ngày trở lên</translation>
    </message>
    <message>
        <source>氏名・ふりがな・番号</source>
        <translation>Họ tên, cách đọc hoặc số</translation>
    </message>
    <message>
        <source>ダブルクリックでその教習生の学習記録を開きます</source>
        <translation>Nhấp đúp để mở hồ sơ học tập của học viên</translation>
    </message>
    <message>
        <source>新しい教習生:</source>
        <translation>Học viên mới:</translation>
    </message>
    <message>
        <source>番号(4〜8桁)</source>
        <translation>Số (4–8 chữ số)</translation>
    </message>
    <message>
        <source>氏名</source>
        <translation>Họ tên</translation>
    </message>
    <message>
        <source>ふりがな</source>
        <translation>Cách đọc (kana)</translation>
    </message>
    <message>
        <source>教習生を追加</source>
        <translation>Thêm học viên</translation>
    </message>
    <message>
        <source>PINを再発行</source>
        <translation>Cấp lại PIN</translation>
    </message>
    <message>
        <source>退所にする</source>
        <translation>Đánh dấu đã nghỉ</translation>
    </message>
    <message>
        <source>一覧に表示しなくなります。記録は残ります</source>
        <translation>Không hiện trong danh sách nữa; hồ sơ vẫn được giữ</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Cập nhật</translation>
    </message>
    <message>
        <source>CSVに保存</source>
        <translation>Lưu CSV</translation>
    </message>
    <message>
        <source>PDFに保存</source>
        <translation>Lưu PDF</translation>
    </message>
    <message>
        <source>すべての教習生</source>
        <translation>Tất cả học viên</translation>
    </message>
    <message>
        <source>%1人 / 在籍 %2人</source>
        <translation>%1 người / đang học %2 người</translation>
    </message>
    <message>
        <source>一覧で教習生を選んでください。</source>
        <translation>Hãy chọn một học viên trong danh sách.</translation>
    </message>
    <message>
        <source>教習生番号は 4〜8 桁の数字で入力してください。</source>
        <translation>Hãy nhập mã số học viên gồm 4 đến 8 chữ số.</translation>
    </message>
    <message>
        <source>氏名を入力してください。</source>
        <translation>Hãy nhập họ tên.</translation>
    </message>
    <message>
        <source>教習生 %1 を追加します。よろしいですか?</source>
        <translation>Thêm học viên %1?</translation>
    </message>
    <message>
        <source>追加する</source>
        <translation>Thêm</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Hủy</translation>
    </message>
    <message>
        <source>%1 %2 のPINを新しくします。今のPINは使えなくなります。よろしいですか?</source>
        <translation>Cấp mã PIN mới cho %1 %2? Mã PIN hiện tại sẽ không dùng được nữa.</translation>
    </message>
    <message>
        <source>再発行する</source>
        <translation>Cấp lại</translation>
    </message>
    <message>
        <source>%1 %2 を退所にします。一覧には表示されなくなりますが、記録は残ります。よろしいですか?</source>
        <translation>Đánh dấu %1 %2 đã nghỉ? Học viên sẽ không hiện trong danh sách nữa, nhưng hồ sơ vẫn được giữ.</translation>
    </message>
    <message>
        <source>教官用一覧_</source>
        <translation>tong-quan-giao-vien_</translation>
    </message>
    <message>
        <source>CSVを保存しました。
</source>
        <translation>Đã lưu CSV.
</translation>
    </message>
    <message>
        <source>PDFを保存しました。
</source>
        <translation>Đã lưu PDF.
</translation>
    </message>
    <message>
        <source>%1&#x3000;絞り込み: %2&#x3000;%3人&#x3000;%4/%5ページ</source>
        <translation>%1   Lọc: %2   %3 người   trang %4/%5</translation>
    </message>
    <message>
        <source>yyyy年M月d日</source>
        <translation>dd/MM/yyyy</translation>
    </message>
</context>
<context>
    <name>drill::Session</name>
    <message>
        <source>「%1」に書き込めないため、練習の結果を保存できません。ファイルを確かめてから、もう一度終了してください。</source>
        <translation>Không ghi được “%1” nên không lưu được kết quả bài luyện. Hãy kiểm tra tệp rồi kết thúc lại.</translation>
    </message>
</context>
<context>
    <name>exam</name>
    <message>
        <source>仮免</source>
        <translation>Bằng tạm</translation>
    </message>
    <message>
        <source>本免</source>
        <translation>Chính thức</translation>
    </message>
    <message>
        <source>外免切替</source>
        <translation>Chuyển đổi</translation>
    </message>
    <message>
        <source>%1 模擬試験</source>
        <translation>Thi thử %1</translation>
    </message>
    <message>
        <source> ▶
%1問・%2分</source>
        <translation> ▶
%1 câu · %2 phút</translation>
    </message>
    <message>
        <source>%1の模擬試験には問題が%2問必要ですが、この問題集で出題できる問題は%3問です。</source>
        <translation>Bài thi thử %1 cần %2 câu, nhưng bộ câu hỏi này chỉ ra được %3 câu.</translation>
    </message>
    <message>
        <source>危険予測の問題が%1問必要ですが、%2問しかありません。</source>
        <translation>Cần %1 câu dự đoán nguy hiểm, nhưng chỉ có %2 câu.</translation>
    </message>
    <message>
        <source>危険予測の問題なしの%1問・%2点満点、%3点以上で合格として行います。</source>
        <translation> Bài thi được tiến hành không có câu dự đoán nguy hiểm: %1 câu, tổng %2 điểm, đỗ khi đạt từ %3 điểm trở lên.</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)がありません。</source>
        <translation>Không có tệp câu dự đoán nguy hiểm (kiken.cds).</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)を読めません(%1)。</source>
        <translation>Không đọc được tệp câu dự đoán nguy hiểm (kiken.cds) (%1).</translation>
    </message>
    <message>
        <source>危険予測の問題ファイル(kiken.cds)に問題がありません。</source>
        <translation>Tệp câu dự đoán nguy hiểm (kiken.cds) không có câu nào.</translation>
    </message>
</context>
<context>
    <name>exam::ExamLauncher</name>
    <message>
        <source>問題データファイルを読めません。
</source>
        <translation>Không đọc được tệp dữ liệu câu hỏi.
</translation>
    </message>
    <message>
        <source>学習記録(kiroku.sqlite)を開けません。この回は記録を残さずに続けます。
</source>
        <translation>Không mở được nhật ký học tập (kiroku.sqlite). Lần này sẽ tiếp tục mà không ghi lại.
</translation>
    </message>
    <message>
        <source>練習できる問題がありません。</source>
        <translation>Không có câu hỏi nào để luyện.</translation>
    </message>
    <message>
        <source>今日の復習はもうありません。明日また来てください。</source>
        <translation>Hôm nay không còn câu nào cần ôn. Hẹn gặp lại ngày mai.</translation>
    </message>
</context>
<context>
    <name>exam::ExamWindow</name>
    <message>
        <source>正</source>
        <translation>Đúng</translation>
    </message>
    <message>
        <source>誤</source>
        <translation>Sai</translation>
    </message>
    <message>
        <source>練習</source>
        <translation>Luyện tập</translation>
    </message>
    <message>
        <source>このまま続けられますが、この回は学習記録に残りません。</source>
        <translation>Bạn vẫn có thể tiếp tục, nhưng lần này sẽ không được lưu vào nhật ký học tập.</translation>
    </message>
    <message>
        <source>練習を終える</source>
        <translation>Kết thúc luyện tập</translation>
    </message>
    <message>
        <source>採点する</source>
        <translation>Chấm điểm</translation>
    </message>
    <message>
        <source>問%1 / %2&#x3000;危険予測</source>
        <translation>Câu %1 / %2  Dự đoán nguy hiểm</translation>
    </message>
    <message>
        <source>問%1 / %2</source>
        <translation>Câu %1 / %2</translation>
    </message>
    <message>
        <source>正解&#x3000;</source>
        <translation>Đúng  </translation>
    </message>
    <message>
        <source>不正解(正しくは%1)&#x3000;</source>
        <translation>Sai (đáp án là %1)  </translation>
    </message>
    <message>
        <source>残り </source>
        <translation>Còn </translation>
    </message>
    <message>
        <source>練習はこのまま続けられますが、ここからの答えは学習記録に残りません(それまでの答えは残っています)。</source>
        <translation>Bạn vẫn có thể tiếp tục luyện, nhưng các câu trả lời từ đây sẽ không được lưu vào nhật ký học tập (các câu trước đó vẫn được lưu).</translation>
    </message>
    <message>
        <source>試験に戻る</source>
        <translation>Quay lại bài thi</translation>
    </message>
    <message>
        <source>この試験の解答と採点の結果は学習記録に残りません(記録には「未完了」の試験として残ります)。</source>
        <translation>Câu trả lời và kết quả chấm điểm của bài thi này sẽ không được lưu vào nhật ký học tập (bài thi được ghi là “chưa hoàn thành”).</translation>
    </message>
    <message>
        <source>答えは学習記録に残っていますが、練習は「未完了」として残ります。</source>
        <translation>Các câu trả lời đã được lưu vào nhật ký học tập, nhưng bài luyện được ghi là “chưa hoàn thành”.</translation>
    </message>
    <message>
        <source>練習を終えました。%1問中%2問正解でした。</source>
        <translation>Đã kết thúc luyện tập: đúng %2 trên %1 câu.</translation>
    </message>
    <message>
        <source>学習記録に書き込めません。</source>
        <translation>Không ghi được vào nhật ký học tập.</translation>
    </message>
    <message>
        <source>試験をやめますか？
採点はされず、記録には「未完了」として残ります。</source>
        <translation>Dừng bài thi?
Bài thi sẽ không được chấm và được ghi là “chưa hoàn thành”.</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Dừng</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;color:#8cc88c&apos;&gt;■&lt;/span&gt; 正解&#x3000;&lt;span style=&apos;color:#e89c9c&apos;&gt;■&lt;/span&gt; 不正解&#x3000;□ 未解答</source>
        <translation>&lt;span style=&apos;color:#8cc88c&apos;&gt;■&lt;/span&gt; đúng&#x3000;&lt;span style=&apos;color:#e89c9c&apos;&gt;■&lt;/span&gt; sai&#x3000;□ chưa trả lời</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;color:#5c94d0&apos;&gt;■&lt;/span&gt; 解答済み&#x3000;□ 未解答&#x3000;&lt;span style=&apos;color:#e07000&apos;&gt;◥&lt;/span&gt; 見直し</source>
        <translation>&lt;span style=&apos;color:#5c94d0&apos;&gt;■&lt;/span&gt; đã trả lời&#x3000;□ chưa trả lời&#x3000;&lt;span style=&apos;color:#e07000&apos;&gt;◥&lt;/span&gt; đánh dấu</translation>
    </message>
    <message>
        <source>1/O 正&#x3000;2/X 誤&#x3000;Enter 次へ&#x3000;←→ 移動
↑↓ 危険予測の小問&#x3000;Z 図を拡大</source>
        <translation>1/O Đúng&#x3000;2/X Sai&#x3000;Enter Tiếp&#x3000;←→ Di chuyển
↑↓ Câu nhỏ dự đoán nguy hiểm&#x3000;Z Phóng to hình</translation>
    </message>
    <message>
        <source>1/O 正&#x3000;2/X 誤&#x3000;←→ 移動&#x3000;↑↓ 危険予測の小問
F 見直し&#x3000;Z 図を拡大&#x3000;Ctrl+Enter 採点</source>
        <translation>1/O Đúng&#x3000;2/X Sai&#x3000;←→ Di chuyển&#x3000;↑↓ Câu nhỏ dự đoán nguy hiểm
F Đánh dấu&#x3000;Z Phóng to hình&#x3000;Ctrl+Enter Chấm điểm</translation>
    </message>
    <message>
        <source>採点しますか？
</source>
        <translation>Chấm điểm bài thi?
</translation>
    </message>
    <message>
        <source>練習を終えました。答えた問題はありません。</source>
        <translation>Đã kết thúc luyện tập. Chưa trả lời câu nào.</translation>
    </message>
    <message>
        <source>未解答の問題が%1問あります(未解答は不正解になります)。</source>
        <translation>Còn %1 câu chưa trả lời (câu chưa trả lời bị tính là sai).</translation>
    </message>
    <message>
        <source>すべての問題に解答しています。</source>
        <translation>Đã trả lời tất cả các câu.</translation>
    </message>
    <message>
        <source>
「見直し」の印が付いたままの問題が%1問あります。</source>
        <translation>
Còn %1 câu vẫn đang được đánh dấu.</translation>
    </message>
</context>
<context>
    <name>exam::FigureView</name>
    <message>
        <source>クリックで拡大</source>
        <translation>Bấm để phóng to</translation>
    </message>
    <message>
        <source>図(Escで閉じる)</source>
        <translation>Hình (Esc để đóng)</translation>
    </message>
    <message>
        <source>Esc またはクリックで閉じる</source>
        <translation>Nhấn Esc hoặc bấm để đóng</translation>
    </message>
</context>
<context>
    <name>exam::ResultsWindow</name>
    <message>
        <source>(教習項目なし)</source>
        <translation>(không có chủ đề)</translation>
    </message>
    <message>
        <source>不明な項目</source>
        <translation>chủ đề không rõ</translation>
    </message>
    <message>
        <source>正</source>
        <translation>Đúng</translation>
    </message>
    <message>
        <source>誤</source>
        <translation>Sai</translation>
    </message>
    <message>
        <source>未解答</source>
        <translation>chưa trả lời</translation>
    </message>
    <message>
        <source>教習項目</source>
        <translation>Chủ đề</translation>
    </message>
    <message>
        <source>得点</source>
        <translation>Điểm</translation>
    </message>
    <message>
        <source>正答率</source>
        <translation>Tỉ lệ đúng</translation>
    </message>
    <message>
        <source>問</source>
        <translation>Câu</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Kết quả</translation>
    </message>
    <message>
        <source>あなたの答え</source>
        <translation>Bạn trả lời</translation>
    </message>
    <message>
        <source>正解</source>
        <translation>Đáp án</translation>
    </message>
    <message>
        <source>問題</source>
        <translation>Câu hỏi</translation>
    </message>
    <message>
        <source>練習</source>
        <translation>Luyện tập</translation>
    </message>
    <message>
        <source>の結果</source>
        <translation>: kết quả</translation>
    </message>
    <message>
        <source>%1 / %2 点&#x3000;(合格点 %3 点)</source>
        <translation>%1 / %2 điểm  (điểm đỗ %3)</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>Đỗ</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Trượt</translation>
    </message>
    <message>
        <source>所要時間 %1 / 制限時間 %2</source>
        <translation>Thời gian làm %1 / thời gian cho phép %2</translation>
    </message>
    <message>
        <source>
時間切れで採点しました。</source>
        <translation>
Đã chấm điểm khi hết giờ.</translation>
    </message>
    <message>
        <source>&#x3000;未解答 %1問</source>
        <translation>  chưa trả lời: %1 câu</translation>
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
        <translation>[Dự đoán nguy hiểm] </translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;%1%2&lt;/b&gt;&lt;br&gt;あなたの答え: &lt;span style=&apos;color:%3&apos;&gt;%4&lt;/span&gt;&#x3000;正解: %5&lt;br&gt;%6&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;%1%2&lt;/b&gt;&lt;br&gt;Bạn trả lời: &lt;span style=&apos;color:%3&apos;&gt;%4&lt;/span&gt;  Đáp án: %5&lt;br&gt;%6&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>school::Overview</name>
    <message>
        <source>%1 合格圏</source>
        <translation>%1 đủ sức đỗ</translation>
    </message>
    <message>
        <source>%1日以上学習なし</source>
        <translation>không học từ %1 ngày trở lên</translation>
    </message>
    <message>
        <source>「%1」を含む</source>
        <translation>có chứa “%1”</translation>
    </message>
    <message>
        <source>絞り込みなし</source>
        <translation>không lọc</translation>
    </message>
    <message>
        <source>・</source>
        <translation>, </translation>
    </message>
    <message>
        <source>番号</source>
        <translation>Mã số</translation>
    </message>
    <message>
        <source>氏名</source>
        <translation>Họ tên</translation>
    </message>
    <message>
        <source>最終学習日</source>
        <translation>Ngày học gần nhất</translation>
    </message>
    <message>
        <source>解答数</source>
        <translation>Số câu đã trả lời</translation>
    </message>
    <message>
        <source>学習日数</source>
        <translation>Số ngày học</translation>
    </message>
    <message>
        <source>模試回数</source>
        <translation>Số lần thi thử</translation>
    </message>
    <message>
        <source>%1 直近3回</source>
        <translation>%1 3 lần gần nhất</translation>
    </message>
    <message>
        <source>%1 判定</source>
        <translation>%1 đánh giá</translation>
    </message>
    <message>
        <source>苦手項目</source>
        <translation>Chủ đề yếu</translation>
    </message>
    <message>
        <source>合格圏</source>
        <translation>Đủ sức đỗ</translation>
    </message>
    <message>
        <source>まだ</source>
        <translation>Chưa</translation>
    </message>
</context>
<context>
    <name>school::SchoolLink</name>
    <message>
        <source>学校の問題データがまだ登録されていません。先生に知らせてください。</source>
        <translation>Dữ liệu câu hỏi của trường chưa được đăng ký. Hãy báo cho giáo viên.</translation>
    </message>
</context>
<context>
    <name>syllabus</name>
    <message>
        <source>運転者の心得</source>
        <translation>Tinh thần của người lái xe</translation>
    </message>
    <message>
        <source>信号</source>
        <translation>Đèn tín hiệu</translation>
    </message>
    <message>
        <source>標識・標示</source>
        <translation>Biển báo và vạch kẻ đường</translation>
    </message>
    <message>
        <source>通行するところ・してはいけないところ</source>
        <translation>Nơi được đi và nơi không được đi</translation>
    </message>
    <message>
        <source>緊急自動車等の優先</source>
        <translation>Nhường đường cho xe khẩn cấp</translation>
    </message>
    <message>
        <source>交差点等・踏切</source>
        <translation>Giao lộ và chỗ giao cắt đường sắt</translation>
    </message>
    <message>
        <source>安全な速度と車間距離</source>
        <translation>Tốc độ an toàn và khoảng cách giữa hai xe</translation>
    </message>
    <message>
        <source>歩行者の保護等</source>
        <translation>Bảo vệ người đi bộ</translation>
    </message>
    <message>
        <source>安全確認・合図・警音器</source>
        <translation>Quan sát an toàn, tín hiệu và còi</translation>
    </message>
    <message>
        <source>進路変更等</source>
        <translation>Chuyển hướng đi</translation>
    </message>
    <message>
        <source>追越し</source>
        <translation>Vượt xe</translation>
    </message>
    <message>
        <source>行き違い</source>
        <translation>Tránh xe ngược chiều</translation>
    </message>
    <message>
        <source>運転免許制度・交通反則通告制度</source>
        <translation>Giấy phép lái xe và thông báo vi phạm giao thông</translation>
    </message>
    <message>
        <source>オートマチック車の運転</source>
        <translation>Lái xe số tự động</translation>
    </message>
    <message>
        <source>危険予測</source>
        <translation>Dự đoán nguy hiểm</translation>
    </message>
    <message>
        <source>応急救護処置</source>
        <translation>Sơ cứu</translation>
    </message>
    <message>
        <source>死角と運転</source>
        <translation>Điểm mù khi lái xe</translation>
    </message>
    <message>
        <source>適性と運転行動</source>
        <translation>Năng lực và hành vi lái xe</translation>
    </message>
    <message>
        <source>人間の能力と運転</source>
        <translation>Khả năng của con người và lái xe</translation>
    </message>
    <message>
        <source>車に働く自然の力と運転</source>
        <translation>Lực tự nhiên tác động lên xe</translation>
    </message>
    <message>
        <source>悪条件下での運転</source>
        <translation>Lái xe trong điều kiện xấu</translation>
    </message>
    <message>
        <source>特徴的な事故と事故の悲惨さ</source>
        <translation>Tai nạn điển hình và hậu quả thảm khốc</translation>
    </message>
    <message>
        <source>自動車の保守管理</source>
        <translation>Bảo dưỡng xe ô tô</translation>
    </message>
    <message>
        <source>駐車と停車</source>
        <translation>Đỗ xe và dừng xe</translation>
    </message>
    <message>
        <source>乗車と積載</source>
        <translation>Chở người và chở hàng</translation>
    </message>
    <message>
        <source>けん引</source>
        <translation>Kéo xe</translation>
    </message>
    <message>
        <source>交通事故のとき</source>
        <translation>Khi xảy ra tai nạn giao thông</translation>
    </message>
    <message>
        <source>所有者の心得と保険制度</source>
        <translation>Trách nhiệm của chủ xe và bảo hiểm</translation>
    </message>
    <message>
        <source>経路の設計</source>
        <translation>Lập lộ trình</translation>
    </message>
    <message>
        <source>高速道路での運転</source>
        <translation>Lái xe trên đường cao tốc</translation>
    </message>
    <message>
        <source>二輪車・原付・特定小型原付と自転車</source>
        <translation>Xe mô tô, xe gắn máy, xe gắn máy cỡ nhỏ đặc định và xe đạp</translation>
    </message>
</context>
</TS>
