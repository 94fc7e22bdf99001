<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="vi" sourcelanguage="ja">
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
        <translation>Thi thử chính thức ▶
95 câu · 50 phút</translation>
    </message>
    <message>
        <source>外免切替 模擬試験 ▶
50問・30分</source>
        <translation>Thi thử chuyển đổi ▶
50 câu · 30 phút</translation>
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
        <translation>được tổ chức; cứ tự nhiên hỏi chúng tôi.</translation>
    </message>
    <message>
        <source>勉強会</source>
        <translation>Buổi học</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Đóng</translation>
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
        <translation>Bằng chính thức</translation>
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
</context>
</TS>
