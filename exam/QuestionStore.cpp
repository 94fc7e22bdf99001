#include "QuestionStore.h"

#include "Directory.h"
#include "EucJp.h"
#include "Exception.h"
#include "Layouts.h"
#include "Table.h"

#include <QCoreApplication>

namespace field = layouts::field;

namespace exam {
namespace {

std::optional<int> OptionalInteger(const Value& v)
{
    if (v.null)
        return std::nullopt;
    return v.integer;
}

// A picture the table store left in its file (deferred) is there without its bytes being read.
bool HasBytes(const Value& v) { return !v.null && (v.deferred || !v.bytes.empty()); }

}  // namespace

QuestionStore::QuestionStore() = default;
QuestionStore::~QuestionStore() = default;

void QuestionStore::Open(const std::string& directory)
{
    pool_ = Pool();
    const data::Directory dir(directory);
    bank_ = std::make_unique<Table>();
    dir.OpenBank(*bank_);
    const int bango = bank_->FieldIndex(field::Bango), karihon = bank_->FieldIndex(field::KariHon),
              seikai = bank_->FieldIndex(field::Seikai), bunrui = bank_->FieldIndex(field::Bunrui),
              zu = bank_->FieldIndex(field::Zu);
    pool_.hasBunrui = bunrui >= 0;
    pool_.statements.reserve(bank_->StoredCount());
    for (std::size_t r = 0; r < bank_->StoredCount(); ++r) {
        BankStatement s;
        s.row = int(r);
        s.bango = bank_->StoredValue(r, bango).bytes;
        s.karihon = bank_->StoredValue(r, karihon).integer;
        s.seikai = bank_->StoredValue(r, seikai).integer;
        s.hasFigure = HasBytes(bank_->StoredValue(r, zu));
        if (bunrui >= 0)
            s.bunrui = OptionalInteger(bank_->StoredValue(r, bunrui));
        pool_.statements.push_back(std::move(s));
    }

    hazards_.reset();
    if (!dir.HasHazard()) {
        pool_.hazardProblem = QCoreApplication::translate("exam", "危険予測の問題ファイル(kiken.cds)がありません。").toStdString();
        return;
    }
    auto hazards = std::make_unique<Table>();
    try {
        dir.OpenHazard(*hazards);
    } catch (const Exception& e) {
        pool_.hazardProblem =
            QCoreApplication::translate("exam", "危険予測の問題ファイル(kiken.cds)を読めません(%1)。").arg(QString::fromStdString(e.Message())).toStdString();
        return;
    }
    if (hazards->StoredCount() == 0) {
        pool_.hazardProblem = QCoreApplication::translate("exam", "危険予測の問題ファイル(kiken.cds)に問題がありません。").toStdString();
        return;
    }
    const int hb = hazards->FieldIndex(field::Bango), hu = hazards->FieldIndex(field::Bunrui);
    int right[3];
    for (int p = 0; p < 3; ++p)
        right[p] = hazards->FieldIndex(field::Part(field::Seikai, p));
    for (std::size_t r = 0; r < hazards->StoredCount(); ++r) {
        HazardItem h;
        h.row = int(r);
        h.bango = hazards->StoredValue(r, hb).bytes;
        h.bunrui = OptionalInteger(hazards->StoredValue(r, hu));
        for (int p = 0; p < 3; ++p)
            h.seikai[std::size_t(p)] = hazards->StoredValue(r, right[p]).integer;
        pool_.hazards.push_back(std::move(h));
    }
    hazards_ = std::move(hazards);
}

Table& QuestionStore::TableOf(const Question& q) const
{
    Table* t = q.IsHazard() ? hazards_.get() : bank_.get();
    if (!t)
        throw Exception("問題ファイルが開かれていません。");
    return *t;
}

QString QuestionStore::TextField(const Question& q, const std::string& field) const
{
    Table& t = TableOf(q);
    const int index = t.FieldIndex(field);
    if (index < 0 || q.row < 0 || std::size_t(q.row) >= t.StoredCount())
        return QString();
    const QString japanese = eucjp::Decode(t.StoredValue(std::size_t(q.row), index).bytes);
    return presenter_ ? presenter_(q.IsHazard() ? "hazard" : "bank", q.bango, field, japanese) : japanese;
}

QString QuestionStore::Text(const Question& q, int part) const
{
    return TextField(q, q.IsHazard() ? field::Part(field::Mondai, part) : field::Mondai);
}

QString QuestionStore::Explanation(const Question& q, int part) const
{
    return TextField(q, q.IsHazard() ? field::Part(field::Kaisetsu, part) : field::Kaisetsu);
}

QString QuestionStore::Situation(const Question& q) const
{
    return q.IsHazard() ? TextField(q, field::Jokyo) : QString();
}

QByteArray QuestionStore::Figure(const Question& q) const
{
    Table& t = TableOf(q);
    if (q.row < 0 || std::size_t(q.row) >= t.StoredCount())
        return QByteArray();
    // The tables are never filtered, so a view position is the stored one.
    t.MoveTo(q.row);
    const std::string& bytes = t.FieldByName(field::Zu).AsString();
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

}  // namespace exam
