#include "TestDefinition.h"

#include "Exception.h"

#include <QCoreApplication>

namespace exam {

const std::vector<TestDefinition>& Tests()
{
    using std::chrono::minutes;
    static const std::vector<TestDefinition> tests{
        // Police licence centres, 2025-26.
        {Test::Karimen, "karimen", QT_TRANSLATE_NOOP("exam", "仮免"), "mock-karimen", {1, false}, 50, 0, 1, 2, minutes(30), {9, 10}, true},
        {Test::Honmen, "honmen", QT_TRANSLATE_NOOP("exam", "本免"), "mock-honmen", {2, false}, 90, 5, 1, 2, minutes(50), {9, 10}, true},
        // The knowledge check for converting a foreign licence (since October 2025): the 本免's
        // statements, as text only.
        {Test::Gaimen, "gaimen", QT_TRANSLATE_NOOP("exam", "外免切替"), "mock-gaimen", {2, true}, 50, 0, 1, 2, minutes(30), {9, 10}, false},
    };
    return tests;
}

const TestDefinition& Definition(Test test)
{
    for (const TestDefinition& d : Tests())
        if (d.test == test)
            return d;
    throw Exception("定義のない試験です。");
}

const TestDefinition* FindByKey(std::string_view key)
{
    for (const TestDefinition& d : Tests())
        if (key == d.key)
            return &d;
    return nullptr;
}

const TestDefinition* FindBySessionKind(std::string_view kind)
{
    for (const TestDefinition& d : Tests())
        if (kind == d.sessionKind)
            return &d;
    return nullptr;
}

QString Name(const TestDefinition& definition) { return QCoreApplication::translate("exam", definition.name); }

QString MockTitle(const TestDefinition& definition)
{
    return QCoreApplication::translate("exam", "%1 模擬試験").arg(Name(definition));
}

QString MenuCaption(const TestDefinition& definition)
{
    return MockTitle(definition) + QCoreApplication::translate("exam", " ▶\n%1問・%2分")
                                       .arg(definition.Questions())
                                       .arg(definition.time.count());
}

std::string Keys()
{
    std::string keys;
    for (const TestDefinition& d : Tests())
        keys += (keys.empty() ? "" : "|") + std::string(d.key);
    return keys;
}

}  // namespace exam
