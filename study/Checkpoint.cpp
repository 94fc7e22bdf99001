#include "Checkpoint.h"

#include "CacheFolder.h"
#include "Load.h"
#include "LearningRecord.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <optional>

namespace study {

namespace {

constexpr quint32 kMagic = 0x4C54534D;   // "LTSM"
// Raised whenever a replay of the same answers would give other cards (the way an answer is
// graded, the card's fields): a file of an earlier version is then passed over.
constexpr quint32 kFormat = 1;
// More cards than a bank and its hazard items could ever have: a file claiming more is damaged.
constexpr quint32 kMaxCards = 1u << 20;

// What tells the answer a replay was made through from any other: everything the replay read of
// it, and its id.
QByteArray Mark(const record::Review& a)
{
    QByteArray m;
    QDataStream out(&m, QIODevice::WriteOnly);
    out << qint64(a.id) << QByteArray(a.answeredAt.data(), qsizetype(a.answeredAt.size()))
        << QByteArray(a.source.data(), qsizetype(a.source.size()))
        << QByteArray(a.bango.data(), qsizetype(a.bango.size())) << qint32(a.item) << qint32(a.answer)
        << bool(a.correct);
    return m;
}

struct Kept {
    std::int64_t throughId = 0;   // the last answer replayed; 0: none
    std::int64_t answers = 0;     // answers with an id up to throughId
    QByteArray mark;              // Mark of that answer
    Learner learner;
};

std::optional<Kept> ReadKept(const std::string& file, const MemoryModel& model)
{
    QFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&f);
    quint32 magic = 0, format = 0, cards = 0;
    in >> magic >> format;
    if (in.status() != QDataStream::Ok || magic != kMagic || format != kFormat)
        return std::nullopt;
    for (const double w : model.Parameters()) {
        double stored = 0;
        in >> stored;
        if (stored != w)
            return std::nullopt;
    }
    Kept k{0, 0, {}, Learner(model)};
    qint64 throughId = 0, answers = 0;
    in >> throughId >> answers >> k.mark >> cards;
    // Ids and counts that no record has are left to Resume, which finds no such answer.
    if (in.status() != QDataStream::Ok || cards > kMaxCards)
        return std::nullopt;
    k.throughId = throughId;
    k.answers = answers;
    for (quint32 i = 0; i < cards; ++i) {
        QByteArray source, bango;
        qint32 item = 0, reviews = 0, lapses = 0;
        Card c;
        in >> source >> bango >> item >> c.memory.difficulty >> c.memory.stability >> c.lastReview >>
            c.firstReview >> reviews >> lapses;
        c.reviews = reviews;
        c.lapses = lapses;
        if (in.status() != QDataStream::Ok || !k.learner.Restore({source.toStdString(), bango.toStdString(), item}, c))
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;
    return k;
}

bool WriteKept(const std::string& file, const Kept& k)
{
    if (!cachefolder::MakeFolderFor(file))
        return false;
    QSaveFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&f);
    out << kMagic << kFormat;
    for (const double w : k.learner.Model().Parameters())
        out << w;
    out << qint64(k.throughId) << qint64(k.answers) << k.mark << quint32(k.learner.Size());
    const auto& keys = k.learner.Keys();
    const auto& cards = k.learner.Cards();
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const Card& c = cards[i];
        out << QByteArray::fromStdString(keys[i].source) << QByteArray::fromStdString(keys[i].bango)
            << qint32(keys[i].item) << c.memory.difficulty << c.memory.stability << c.lastReview << c.firstReview
            << qint32(c.reviews) << qint32(c.lapses);
    }
    return out.status() == QDataStream::Ok && f.commit();
}

// Thrown out of a resumed replay at the first sign that the record is another one.
struct OtherRecord {};

// Feeds KEPT's learner the answers after its last one; false when the record is not the one it
// was made from (its last answer gone or changed, or another number of answers before it).
bool Resume(const record::LearningRecord& record, Kept& kept, std::int64_t& replayed)
{
    // The kept answer is read again with those after it, and must come first, unchanged.
    bool same = kept.throughId == 0;
    std::int64_t tail = 0;
    StoredTimeReader time;
    record.ForEachReview(
        [&](const record::Review& a) {
            if (!same) {
                same = a.id == kept.throughId && Mark(a) == kept.mark;
                if (!same)
                    throw OtherRecord();
                return;
            }
            Feed(kept.learner, a, time);
            kept.throughId = a.id;
            kept.mark = Mark(a);
            ++tail;
        },
        kept.throughId == 0 ? 0 : kept.throughId - 1);
    replayed = tail;
    if (!same)
        return false;   // the kept answer is gone
    // Counted after the answers were read: one added in between shows as a difference too.
    if (record.CountAnswersAfter(0) != kept.answers + tail)
        return false;
    kept.answers += tail;
    return true;
}

}  // namespace

std::string CheckpointFile(const std::string& recordPath)
{
    return cachefolder::FileFor("memory", recordPath, "replay");
}

Learner ReplayKept(const record::LearningRecord& record, const std::string& file, ReplayReport* report)
{
    ReplayReport r;
    const MemoryModel model;
    std::optional<Kept> kept = file.empty() ? std::nullopt : ReadKept(file, model);
    if (kept) {
        try {
            r.resumed = Resume(record, *kept, r.replayed);
        } catch (const OtherRecord&) {
            r.resumed = false;
        }
    }
    if (!r.resumed) {
        kept.emplace(Kept{0, 0, {}, Learner(model)});
        StoredTimeReader time;
        record.ForEachReview([&](const record::Review& a) {
            Feed(kept->learner, a, time);
            kept->throughId = a.id;
            kept->mark = Mark(a);
            ++kept->answers;
        });
        r.replayed += kept->answers;
    }
    if (!file.empty() && (!r.resumed || r.replayed > 0))
        r.kept = WriteKept(file, *kept);
    if (report)
        *report = r;
    return std::move(kept->learner);
}

}  // namespace study
