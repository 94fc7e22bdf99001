#pragma once
// Data directories for the drill's tests: a question bank built by field name, a history of
// earlier answers and an advice table, and ways to read the files back.

#include "EucJp.h"
#include "Layouts.h"
#include "Table.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <string>
#include <utility>
#include <vector>

namespace drilltest {

struct Q {
    std::string bango;
    int nani = 0;
    int nkaisu = 0;
    int kaisu = 0;
    int seikaisu = 0;
    int seikai = 1;
    int karihon = 1;
    int bunrui = 0;   // stored only in a bank with the optional Bunrui field
};

inline std::string Euc(const QString& s) { return eucjp::Encode(s); }

inline std::string Png()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// N fresh questions numbered from FIRST at difficulty NANI.
inline std::vector<Q> Fresh(int n, int nani = 0, int first = 1)
{
    std::vector<Q> qs;
    for (int i = 0; i < n; ++i)
        qs.push_back({QString::asprintf("%04d", first + i).toStdString(), nani});
    return qs;
}

inline int IndexOf(const std::vector<FieldDef>& layout, const std::string& name)
{
    for (std::size_t i = 0; i < layout.size(); ++i)
        if (layout[i].name == name)
            return int(i);
    qFatal("no field %s", name.c_str());
}

// A row of LAYOUT with these fields set; the others null.
inline Row ByName(const std::vector<FieldDef>& layout, const std::vector<std::pair<const char*, Value>>& values)
{
    Row row(layout.size());
    for (const auto& [name, value] : values)
        row[std::size_t(IndexOf(layout, name))] = value;
    return row;
}

// A bank row's integer field by name.
inline int Bank(const Row& row, const char* name) { return row.at(std::size_t(IndexOf(layouts::Bank(), name))).integer; }

// WITHBUNRUI: the bank carries the optional field Bunrui after the others.
inline void WriteBank(const std::string& path, const std::vector<Q>& qs, bool withBunrui = false)
{
    std::vector<FieldDef> fields = layouts::Bank();
    if (withBunrui)
        fields.push_back({"Bunrui", FieldType::Integer, 0});
    std::vector<Row> rows;
    for (const Q& q : qs) {
        const QString b = QString::fromStdString(q.bango);
        rows.push_back(ByName(layouts::Bank(), {{"NKaisu", q.nkaisu}, {"Nani", q.nani}, {"Kaisu", q.kaisu},
                                                {"Bango", q.bango}, {"Seikaisu", q.seikaisu}, {"KariHon", q.karihon},
                                                {"Kaisetsu", Euc("解説" + b)}, {"Seikai", q.seikai}, {"Zu", Png()},
                                                {"Mondai", Euc("問題文" + b)}}));
        if (withBunrui)
            rows.back().push_back(Value(q.bunrui));
    }
    Table::CreateFile(path, fields, rows);
}

// The three files in DIR (ending in "/"): the bank, OLDHISTORY answers of an earlier drill, and
// an advice table whose first record is for no level, then one per level 0..40.
inline void WriteData(const std::string& dir, const std::vector<Q>& qs, int oldHistory = 0)
{
    WriteBank(dir + layouts::kBankFile, qs);
    std::vector<Row> history(std::size_t(oldHistory),
                             ByName(layouts::History(), {{"Bango", "9999"}, {"Seihi", 1}, {"Mondai", "old"}}));
    Table::CreateFile(dir + layouts::kHistoryFile, layouts::History(), history);
    std::vector<Row> advice{Row{Value(50), Value(Euc("先頭の助言")), Value(Euc("先頭の注意"))}};
    for (int level = 0; level <= 40; ++level)
        advice.push_back(ByName(layouts::Advice(), {{"Nani", level}, {"Seikai", Euc("助言" + QString::number(level))},
                                                    {"Fuseikai", Euc("注意" + QString::number(level))}}));
    Table::CreateFile(dir + layouts::kAdviceFile, layouts::Advice(), advice);
}

inline std::vector<Row> ReadAll(const std::string& path)
{
    Table t;
    t.SetFileName(path);
    t.Open();
    std::vector<Row> rows;
    for (std::size_t i = 0; i < t.StoredCount(); ++i) {
        Row r;
        for (std::size_t f = 0; f < t.Fields().size(); ++f)
            r.push_back(t.StoredValue(i, int(f)));
        rows.push_back(r);
    }
    return rows;
}

inline QByteArray FileBytes(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace drilltest
