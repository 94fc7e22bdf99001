#include "Syllabus.h"

#include <QCoreApplication>

#include <algorithm>

namespace syllabus {

const std::vector<Item>& Items()
{
    static const std::vector<Item> items{
        {101, QT_TRANSLATE_NOOP("syllabus", "運転者の心得"), 1},
        {102, QT_TRANSLATE_NOOP("syllabus", "信号"), 1},
        {103, QT_TRANSLATE_NOOP("syllabus", "標識・標示"), 1},
        {104, QT_TRANSLATE_NOOP("syllabus", "通行するところ・してはいけないところ"), 1},
        {105, QT_TRANSLATE_NOOP("syllabus", "緊急自動車等の優先"), 1},
        {106, QT_TRANSLATE_NOOP("syllabus", "交差点等・踏切"), 1},
        {107, QT_TRANSLATE_NOOP("syllabus", "安全な速度と車間距離"), 1},
        {108, QT_TRANSLATE_NOOP("syllabus", "歩行者の保護等"), 1},
        {109, QT_TRANSLATE_NOOP("syllabus", "安全確認・合図・警音器"), 1},
        {110, QT_TRANSLATE_NOOP("syllabus", "進路変更等"), 1},
        {111, QT_TRANSLATE_NOOP("syllabus", "追越し"), 1},
        {112, QT_TRANSLATE_NOOP("syllabus", "行き違い"), 1},
        {113, QT_TRANSLATE_NOOP("syllabus", "運転免許制度・交通反則通告制度"), 1},
        {114, QT_TRANSLATE_NOOP("syllabus", "オートマチック車の運転"), 1},
        {201, QT_TRANSLATE_NOOP("syllabus", "危険予測"), 2},
        {202, QT_TRANSLATE_NOOP("syllabus", "応急救護処置"), 2},
        {203, QT_TRANSLATE_NOOP("syllabus", "死角と運転"), 2},
        {204, QT_TRANSLATE_NOOP("syllabus", "適性と運転行動"), 2},
        {205, QT_TRANSLATE_NOOP("syllabus", "人間の能力と運転"), 2},
        {206, QT_TRANSLATE_NOOP("syllabus", "車に働く自然の力と運転"), 2},
        {207, QT_TRANSLATE_NOOP("syllabus", "悪条件下での運転"), 2},
        {208, QT_TRANSLATE_NOOP("syllabus", "特徴的な事故と事故の悲惨さ"), 2},
        {209, QT_TRANSLATE_NOOP("syllabus", "自動車の保守管理"), 2},
        {210, QT_TRANSLATE_NOOP("syllabus", "駐車と停車"), 2},
        {211, QT_TRANSLATE_NOOP("syllabus", "乗車と積載"), 2},
        {212, QT_TRANSLATE_NOOP("syllabus", "けん引"), 2},
        {213, QT_TRANSLATE_NOOP("syllabus", "交通事故のとき"), 2},
        {214, QT_TRANSLATE_NOOP("syllabus", "所有者の心得と保険制度"), 2},
        {215, QT_TRANSLATE_NOOP("syllabus", "経路の設計"), 2},
        {216, QT_TRANSLATE_NOOP("syllabus", "高速道路での運転"), 2},
        {217, QT_TRANSLATE_NOOP("syllabus", "二輪車・原付・特定小型原付と自転車"), 2},
    };
    return items;
}

QString DisplayName(const Item& item)
{
    // The names are the table's literals, so each ends in a NUL.
    return QCoreApplication::translate("syllabus", item.name.data());
}

const Item* Find(int code)
{
    const auto& items = Items();
    const auto it = std::lower_bound(items.begin(), items.end(), code,
                                     [](const Item& item, int c) { return item.code < c; });
    return it != items.end() && it->code == code ? &*it : nullptr;
}

}  // namespace syllabus
