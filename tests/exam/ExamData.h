#pragma once
// A data directory for the exam's tests: a bank with syllabus codes and a hazard file, with drawn
// figures, made by field name through one builder.

#include "EucJp.h"
#include "Layouts.h"
#include "Table.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <string>

namespace examdata {

// A road seen from the driver's seat with a car ahead: a figure that looks like one.
inline std::string FigurePng(int width, int height, int variant)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0x9c, 0xd0, 0xf0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, height / 2, width, height / 2, QColor(0x7c, 0xb8, 0x5c));
    p.setBrush(QColor(0x60, 0x60, 0x60));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({QPoint(width * 2 / 5, height / 2), QPoint(width * 3 / 5, height / 2),
                            QPoint(width, height), QPoint(0, height)}));
    p.setPen(QPen(Qt::white, 6, Qt::DashLine));
    p.drawLine(width / 2, height / 2, width / 2, height);
    p.setPen(Qt::NoPen);
    p.setBrush(variant % 2 ? QColor(0xd0, 0x30, 0x30) : QColor(0x30, 0x50, 0xc0));
    p.drawRoundedRect(QRect(width / 2 - 70 + (variant % 3) * 30, height * 5 / 8, 100, 60), 10, 10);
    p.setBrush(QColor(0xf0, 0xe0, 0x40));
    p.drawEllipse(QPoint(width / 8, height / 6), 30, 30);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

struct Shape {
    int firstStage = 60;     // KariHon 1
    int secondStage = 60;    // KariHon 2
    int hazards = 6;         // 0: no hazard file
    int figureEvery = 3;     // every n-th statement has a figure (0: none)
};

inline const char* const kStatements[] = {
    "信号機のある交差点で右折するときは、対向車が直進や左折をしようとしているときでも、先に右折してよい。",
    "横断歩道に近づいたとき、横断する人がいないことが明らかな場合のほかは、その手前で停止できるような速度で進まなければならない。",
    "車両通行帯のある道路では、追越しなどのためやむを得ない場合のほかは、車両通行帯からはみ出して通行してはならない。",
    "夜間、対向車と行き違うときは、前照灯を減光するか、下向きに切り替えなければならない。",
    "踏切を通過しようとするときは、その直前で一時停止し、安全を確かめなければならない。",
};

// The position of field NAME in FIELDS.
inline std::size_t IndexOf(const std::vector<FieldDef>& fields, const std::string& name)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name)
            return i;
    return fields.size();
}

// Bank row I: Bango 1000+I, right answer alternating 正 誤, Bunrui cycling over 101..105 (the
// second stage's over 201..203).
inline void Create(const std::string& directory, const Shape& shape)
{
    std::vector<FieldDef> fields = layouts::Bank();
    fields.push_back({"Bunrui", FieldType::Integer, 0});
    const auto at = [&](const std::string& name) { return IndexOf(fields, name); };
    std::vector<Row> rows;
    const std::string figure = FigurePng(640, 400, 0);
    for (int i = 0; i < shape.firstStage + shape.secondStage; ++i) {
        const bool first = i < shape.firstStage;
        Row r(fields.size());
        r[at("Bango")] = Value(std::to_string(1000 + i));
        r[at("KariHon")] = Value(first ? 1 : 2);
        r[at("Seikai")] = Value(i % 2);
        r[at("Bunrui")] = Value(first ? 101 + i % 5 : 201 + i % 3);
        r[at("Mondai")] = Value(eucjp::Encode(QString::fromUtf8(kStatements[i % 5])));
        r[at("Kaisetsu")] = Value(eucjp::Encode(QStringLiteral("解説 %1").arg(1000 + i)));
        for (const char* counter : {"NKaisu", "Nani", "Kaisu", "Seikaisu"})
            r[at(counter)] = Value(0);
        if (shape.figureEvery > 0 && i % shape.figureEvery == 0)
            r[at("Zu")] = Value(figure);
        rows.push_back(std::move(r));
    }
    Table::CreateFile(directory + layouts::kBankFile, fields, rows);

    if (shape.hazards == 0)
        return;
    const std::vector<FieldDef>& hf = layouts::Hazard();
    const auto hat = [&](const std::string& name) { return IndexOf(hf, name); };
    std::vector<Row> hazards;
    for (int i = 0; i < shape.hazards; ++i) {
        Row r(hf.size());
        r[hat("Bango")] = Value("K" + std::to_string(100 + i));
        r[hat("Bunrui")] = Value(201);
        r[hat("Zu")] = Value(FigurePng(800, 450, i));
        r[hat("Jokyo")] = Value(eucjp::Encode(QStringLiteral(
            "時速30キロメートルで進行しています。前方に駐車車両があります。どのようなことに注意して運転しますか。")));
        const char* texts[] = {"駐車車両のかげから歩行者が出てくるかもしれないので、速度を落として進行する。",
                               "対向車が来ているが、先に中央線をはみ出して駐車車両の横を通過する。",
                               "駐車車両のドアが急に開くかもしれないので、側方に間隔をあけて進行する。"};
        for (int p = 0; p < 3; ++p) {
            const std::string n = std::to_string(p + 1);
            r[hat("Mondai" + n)] = Value(eucjp::Encode(QString::fromUtf8(texts[p])));
            r[hat("Seikai" + n)] = Value(p == 1 ? 0 : 1);
            r[hat("Kaisetsu" + n)] = Value(eucjp::Encode(QStringLiteral("危険予測の解説 %1-%2").arg(i).arg(p + 1)));
        }
        hazards.push_back(std::move(r));
    }
    Table::CreateFile(directory + layouts::kHazardFile, hf, hazards);
}

}  // namespace examdata
