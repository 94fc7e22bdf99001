#pragma once
// A data directory for the window tests: the three table files in a temporary folder and,
// when wanted, a settings file naming it beside a pretend program path.

#include "DataDirectory.h"
#include "EucJp.h"
#include "Layouts.h"
#include "Settings.h"
#include "Table.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <map>
#include <string>

namespace testdata {

struct Question {
    std::string bango;
    QString mondai;
    QString kaisetsu;
    int seikai = 1;
    QByteArray zu;   // picture file bytes; empty for none
};

struct Answer {
    std::string bango;
    int seihi;
    QString mondai;
};

inline QByteArray Png(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class DataDir {
public:
    DataDir() { SetProgramPath(programPath()); }

    bool valid() const { return dir_.isValid(); }
    // The data directory as the settings file names it, "/" included.
    std::string directory() const { return dir_.path().toStdString() + "/"; }
    std::string file(const char* name) const { return directory() + name; }
    std::string programPath() const { return directory() + "bin/lentavo"; }
    std::string settingsPath() const { return settings::PathFor(programPath()); }

    void writeSettings(const std::string& text)
    {
        QDir().mkpath(QString::fromStdString(directory() + "bin"));
        settings::WriteDataDirectory(settingsPath(), text);
    }
    void writeSettings() { writeSettings(directory()); }

    void writeBank(const std::vector<Question>& questions)
    {
        std::vector<Row> rows;
        for (const Question& q : questions) {
            Row r(layouts::Bank().size());
            set(r, layouts::Bank(), "NKaisu", 0);
            set(r, layouts::Bank(), "Nani", 0);
            set(r, layouts::Bank(), "Kaisu", 0);
            set(r, layouts::Bank(), "Bango", Value(q.bango));
            set(r, layouts::Bank(), "Seikaisu", 0);
            set(r, layouts::Bank(), "KariHon", 1);
            set(r, layouts::Bank(), "Kaisetsu", Value(eucjp::Encode(q.kaisetsu)));
            set(r, layouts::Bank(), "Seikai", q.seikai);
            set(r, layouts::Bank(), "Zu", q.zu.isEmpty() ? Value::Null() : Value(q.zu.toStdString()));
            set(r, layouts::Bank(), "Mondai", Value(eucjp::Encode(q.mondai)));
            rows.push_back(r);
        }
        Table::CreateFile(file(layouts::kBankFile), layouts::Bank(), rows);
    }

    void writeHistory(const std::vector<Answer>& answers)
    {
        std::vector<Row> rows;
        for (const Answer& a : answers)
            rows.push_back({Value(a.bango), Value(a.seihi), Value(eucjp::Encode(a.mondai))});
        Table::CreateFile(file(layouts::kHistoryFile), layouts::History(), rows);
    }

    void writeAdvice()
    {
        std::vector<Row> rows;
        for (int level : {-1, 0, 5, 15})
            rows.push_back({Value(level), Value(eucjp::Encode(QStringLiteral("その調子です。"))),
                            Value(eucjp::Encode(QStringLiteral("解説をよく読みましょう。")))});
        Table::CreateFile(file(layouts::kAdviceFile), layouts::Advice(), rows);
    }

    // A small complete data set: three questions (the first with a figure), an empty
    // history, the advice table and the settings file.
    void writeAll()
    {
        writeBank(StandardBank());
        writeHistory({});
        writeAdvice();
        writeSettings();
    }

    static std::vector<Question> StandardBank()
    {
        return {
            {"0001", QStringLiteral("信号機の黄色の灯火は、注意して進めの意味である。"),
             QStringLiteral("黄色の灯火は、原則として停止位置から先へ進んではいけません。"), 0, Png(200, 120)},
            {"0002", QStringLiteral("横断歩道に近づいたときは、歩行者がいないことが明らかな場合を除き、"
                                    "停止できるような速度で進まなければならない。"),
             QStringLiteral("歩行者の安全を第一に考えます。"), 1, {}},
            {"0003", QStringLiteral("踏切の直前では、一時停止して安全を確かめなければならない。"),
             QStringLiteral("踏切では、必ず一時停止が必要です。"), 1, {}},
        };
    }

private:
    static void set(Row& r, const std::vector<FieldDef>& fields, const char* name, Value v)
    {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == name)
                r[i] = std::move(v);
    }

    QTemporaryDir dir_;
};

inline int CountRecords(const std::string& path)
{
    Table t;
    t.SetFileName(path);
    t.Open();
    return t.RecordCount();
}

}  // namespace testdata
