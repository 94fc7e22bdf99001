#include "TeacherOverviewWindow.h"

#include "ui_TeacherOverviewWindow.h"

#include "Dialogs.h"
#include "Exception.h"
#include "ExceptionBoundary.h"
#include "OverviewModel.h"
#include "SafeFile.h"
#include "ScreenFit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>

TeacherOverviewWindow::TeacherOverviewWindow(QWidget* parent)
    : QWidget(parent),
      ui(new Ui::TeacherOverviewWindow),
      model_(new school::OverviewModel(this)),
      proxy_(new school::OverviewProxy(this))
{
    ui->setupUi(this);
    proxy_->setSourceModel(model_);
    ui->pupilTable->setModel(proxy_);
    ui->pupilTable->sortByColumn(0, Qt::AscendingOrder);
    // Widths from the first rows once per list: measuring every cell of 2,000 rows at every sort
    // would cost more than the sort.
    ui->pupilTable->horizontalHeader()->setResizeContentsPrecision(300);
    ui->pupilTable->horizontalHeader()->setStretchLastSection(true);
    ui->pupilTable->verticalHeader()->setVisible(false);

    ui->readyBox->addItem(tr("すべての教習生"));
    for (const exam::TestDefinition& t : exam::Tests())
        ui->readyBox->addItem(QCoreApplication::translate("school::Overview", "%1 合格圏").arg(exam::Name(t)), int(t.test));

    ConnectHandler(ui->readyBox, &QComboBox::currentIndexChanged, this, &TeacherOverviewWindow::FilterChanged);
    ConnectHandler(ui->idleCheck, &QCheckBox::toggled, this, &TeacherOverviewWindow::FilterChanged);
    ConnectHandler(ui->idleDays, &QSpinBox::valueChanged, this, &TeacherOverviewWindow::FilterChanged);
    ConnectHandler(ui->searchEdit, &QLineEdit::textChanged, this, &TeacherOverviewWindow::FilterChanged);
    ConnectHandler(ui->pupilTable, &QAbstractItemView::doubleClicked, this,
                   [this](const QModelIndex& index) { TableDoubleClicked(index); });
    ConnectHandler(ui->addButton, &QPushButton::clicked, this, &TeacherOverviewWindow::AddButtonClick);
    ConnectHandler(ui->resetPinButton, &QPushButton::clicked, this, &TeacherOverviewWindow::ResetPinButtonClick);
    ConnectHandler(ui->leftButton, &QPushButton::clicked, this, &TeacherOverviewWindow::LeftButtonClick);
    ConnectHandler(ui->reloadButton, &QPushButton::clicked, this, [this] { emit reloadRequested(); });
    ConnectHandler(ui->csvButton, &QPushButton::clicked, this, &TeacherOverviewWindow::CsvButtonClick);
    ConnectHandler(ui->pdfButton, &QPushButton::clicked, this, &TeacherOverviewWindow::PdfButtonClick);
    FilterChanged();
    screenfit::InstallZoomKeys(this);
}

TeacherOverviewWindow::~TeacherOverviewWindow() = default;

void TeacherOverviewWindow::ShowFitted()
{
    if (!isVisible())
        screenfit::FitLayout(this, kDesignMinimum);
    showMaximized();
    raise();
    activateWindow();
}

void TeacherOverviewWindow::SetRows(std::vector<school::OverviewRow> rows, const QDate& today)
{
    today_ = today;
    model_->SetRows(std::move(rows));
    FilterChanged();
    ui->pupilTable->resizeColumnsToContents();
}

std::vector<const school::OverviewRow*> TeacherOverviewWindow::ShownRows() const { return proxy_->ShownRows(); }

void TeacherOverviewWindow::FilterChanged()
{
    school::OverviewFilter filter;
    if (const QVariant test = ui->readyBox->currentData(); test.isValid())
        filter.ready = exam::Test(test.toInt());
    ui->idleDays->setEnabled(ui->idleCheck->isChecked());
    filter.idleDays = ui->idleCheck->isChecked() ? ui->idleDays->value() : 0;
    filter.text = ui->searchEdit->text();
    proxy_->SetFilter(filter, today_);
    ui->countLabel->setText(tr("%1人 / 在籍 %2人").arg(proxy_->rowCount()).arg(model_->rowCount()));
}

void TeacherOverviewWindow::TableDoubleClicked(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const school::OverviewRow& row = model_->Row(proxy_->mapToSource(index).row());
    emit pupilOpened(QString::fromStdString(row.number), QString::fromStdString(row.name));
}

const school::OverviewRow* TeacherOverviewWindow::Selected()
{
    const QModelIndexList rows = ui->pupilTable->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        dialogs::ShowMessage(this, tr("一覧で教習生を選んでください。"));
        return nullptr;
    }
    return &model_->Row(proxy_->mapToSource(rows.first()).row());
}

void TeacherOverviewWindow::AddButtonClick()
{
    school::Pupil pupil{ui->numberEdit->text().trimmed().toStdString(), ui->nameEdit->text().trimmed().toStdString(),
                        ui->furiganaEdit->text().trimmed().toStdString(), school::NewPin()};
    static const QRegularExpression number(QStringLiteral("^[0-9]{4,8}$"));
    if (!number.match(QString::fromStdString(pupil.number)).hasMatch()) {
        dialogs::ShowMessage(this, tr("教習生番号は 4〜8 桁の数字で入力してください。"));
        return;
    }
    if (pupil.name.empty()) {
        dialogs::ShowMessage(this, tr("氏名を入力してください。"));
        return;
    }
    const QString who = QStringLiteral("%1 %2").arg(QString::fromStdString(pupil.number), QString::fromStdString(pupil.name));
    if (!dialogs::Confirm(this, tr("教習生 %1 を追加します。よろしいですか?").arg(who),
                          tr("追加する"), tr("やめる")))
        return;
    ui->numberEdit->clear();
    ui->nameEdit->clear();
    ui->furiganaEdit->clear();
    emit addPupilRequested(pupil);
}

void TeacherOverviewWindow::ResetPinButtonClick()
{
    if (const auto pupil = ConfirmForSelected(tr("%1 %2 のPINを新しくします。今のPINは使えなくなります。よろしいですか?"),
                                              tr("再発行する")))
        emit resetPinRequested(pupil->first, pupil->second);
}

void TeacherOverviewWindow::LeftButtonClick()
{
    if (const auto pupil = ConfirmForSelected(
            tr("%1 %2 を退所にします。一覧には表示されなくなりますが、記録は残ります。よろしいですか?"),
            tr("退所にする")))
        emit markLeftRequested(pupil->first, pupil->second);
}

std::optional<std::pair<QString, QString>> TeacherOverviewWindow::ConfirmForSelected(const QString& question,
                                                                                      const QString& yes)
{
    const school::OverviewRow* row = Selected();
    if (!row)
        return std::nullopt;
    const QString number = QString::fromStdString(row->number), name = QString::fromStdString(row->name);
    // A change to a pupil is never the default: Return alone does not make it.
    if (!dialogs::Confirm(this, question.arg(number, name), yes, tr("やめる"), false))
        return std::nullopt;
    return std::make_pair(number, name);
}

QString TeacherOverviewWindow::AskFile(const QString& title, const QString& filter, const QString& suffix)
{
    dialogs::OpenFileOptions options{title, {filter}, false};
    QString path = dialogs::GetOpenFileName(
        this, options, QDir::homePath() + QLatin1Char('/') + tr("教官用一覧_") + today_.toString(Qt::ISODate) + suffix);
    if (!path.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    return path;
}

void TeacherOverviewWindow::CsvButtonClick()
{
    const QString path = AskFile(tr("CSVに保存"), QStringLiteral("CSV (*.csv)"), QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    WriteCsv(path);
    dialogs::ShowMessage(this, tr("CSVを保存しました。\n") + QDir::toNativeSeparators(path));
}

void TeacherOverviewWindow::PdfButtonClick()
{
    const QString path = AskFile(tr("PDFに保存"), QStringLiteral("PDF (*.pdf)"), QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    WritePdf(path);
    dialogs::ShowMessage(this, tr("PDFを保存しました。\n") + QDir::toNativeSeparators(path));
}

void TeacherOverviewWindow::WriteCsv(const QString& path) const
{
    safefile::Write(QFile::encodeName(path).toStdString(), school::OverviewCsv(ShownRows()));
}

void TeacherOverviewWindow::WritePdf(const QString& path) const
{
    const std::vector<const school::OverviewRow*> rows = ShownRows();
    const int pages = std::max(1, int((rows.size() + kRowsPerPage - 1) / kRowsPerPage));
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        // The list is wide: A4 across.
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                      QPageLayout::Millimeter));
        pdf.setResolution(300);
        pdf.setTitle(tr("教官用 一覧"));
        QPainter p(&pdf);
        if (!p.isActive())
            throw Exception("PDFを作れません / cannot make the PDF");
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                pdf.newPage();
            PaintPage(p, pdf.pageLayout().paintRectPixels(pdf.resolution()).size(), rows, page, pages);
        }
    }
    safefile::Write(QFile::encodeName(path).toStdString(), file.data().toStdString());
}

void TeacherOverviewWindow::PaintPage(QPainter& p, const QSize& area, const std::vector<const school::OverviewRow*>& rows,
                                      int page, int pages) const
{
    // Laid out in units of about a point (the printable width of A4 across is about 785).
    const double width = 785.0;
    const double scale = area.width() / width;
    p.save();
    p.scale(scale, scale);
    QFont body = font();
    body.setPixelSize(8);
    QFont heading = body;
    heading.setBold(true);
    QFont title = heading;
    title.setPixelSize(13);

    p.setFont(title);
    p.drawText(QRectF(0, 0, width, 18), Qt::AlignLeft | Qt::AlignVCenter, tr("教官用 一覧"));
    p.setFont(body);
    p.drawText(QRectF(0, 0, width, 18), Qt::AlignRight | Qt::AlignVCenter,
               tr("%1　絞り込み: %2　%3人　%4/%5ページ")
                   .arg(today_.toString(tr("yyyy年M月d日")), school::Describe(proxy_->Filter()))
                   .arg(rows.size())
                   .arg(page + 1)
                   .arg(pages));

    // Column widths in proportion to what each holds.
    std::vector<double> weights;
    for (int c = 0; c < school::ColumnCount(); ++c)
        weights.push_back(c == 1 ? 2.0 : c == school::ColumnCount() - 1 ? 4.5 : c >= 6 && (c - 6) % 2 == 0 ? 2.6 : 1.2);
    double total = 0;
    for (double w : weights)
        total += w;
    const double rowHeight = 12.5, top = 26;
    const auto drawRow = [&](double y, const std::function<QString(int)>& text) {
        double x = 0;
        for (int c = 0; c < school::ColumnCount(); ++c) {
            const double w = width * weights[std::size_t(c)] / total;
            p.drawText(QRectF(x + 1.5, y, w - 3, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       p.fontMetrics().elidedText(text(c), Qt::ElideRight, int((w - 3))));
            x += w;
        }
    };
    p.setFont(heading);
    drawRow(top, [](int c) { return school::Heading(c); });
    p.drawLine(QPointF(0, top + rowHeight), QPointF(width, top + rowHeight));
    p.setFont(body);
    const int first = page * kRowsPerPage;
    for (int i = 0; i < kRowsPerPage && first + i < int(rows.size()); ++i) {
        const school::OverviewRow& row = *rows[std::size_t(first + i)];
        const double y = top + rowHeight * (i + 1);
        if (i % 2 == 1)
            p.fillRect(QRectF(0, y, width, rowHeight), QColor(0xF2, 0xF2, 0xF2));
        drawRow(y, [&row](int c) { return school::CellText(row, c); });
    }
    p.restore();
}
