// The command line, read before any window: --help, and --exam naming the mock a desktop
// shortcut opens. Words for the toolkit pass untouched.

#include "CommandLine.h"

#include <QTest>

#include <vector>

namespace {
CommandLine Parse(std::vector<const char*> words)
{
    words.insert(words.begin(), "lentavo");
    return ParseCommandLine(int(words.size()), words.data());
}
}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void examNamesOneMock()
    {
        QCOMPARE(Parse({"--exam", "gaimen"}).mock, std::optional<exam::Test>(exam::Test::Gaimen));
        QCOMPARE(Parse({"--exam=honmen"}).mock, std::optional<exam::Test>(exam::Test::Honmen));
        const CommandLine withToolkit = Parse({"-platform", "offscreen", "--exam", "karimen", "-reverse"});
        QCOMPARE(withToolkit.mock, std::optional<exam::Test>(exam::Test::Karimen));
        QVERIFY(withToolkit.error.empty() && !withToolkit.help);
        const CommandLine none = Parse({"-platform", "xcb"});
        QVERIFY(!none.mock && none.error.empty() && !none.help);
        QVERIFY(Parse({"-h"}).help);
    }

    // A shortcut with a misspelt or missing test is refused with the words that would work,
    // rather than opening the menu as if nothing had been asked.
    void unknownOrMissingTestIsRefused()
    {
        for (const std::vector<const char*>& words :
             {std::vector<const char*>{"--exam", "Gaimen"}, {"--exam=gaiman"}, {"--exam"}, {"--exam="},
              {"--exam", "--help"}}) {
            const CommandLine line = Parse(words);
            QVERIFY2(!line.mock && !line.error.empty(), words.back());
            QVERIFY2(QString::fromStdString(line.error).contains("karimen|honmen|gaimen"), line.error.c_str());
        }
    }

    void helpNamesEveryMock()
    {
        const QString help = QString::fromStdString(HelpText());
        for (const char* line : {"--exam karimen", "--exam honmen", "--exam gaimen", "--help"})
            QVERIFY2(help.contains(QString::fromUtf8(line)), line);
        QVERIFY(help.contains(QStringLiteral("外免切替の模擬試験")));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
