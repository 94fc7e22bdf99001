#include "CommandLine.h"

#include "Honyaku.h"

#include <string_view>

namespace {

void ReadMock(CommandLine& line, std::string_view word)
{
    if (const exam::TestDefinition* test = exam::FindByKey(word))
        line.mock = test->test;
    else
        line.error = "--exam の後には " + exam::Keys() + " のどれかを書いてください (" +
                     std::string(word) + ")。\n";
}

constexpr const char* kLanguages = "en・vi・zh・ja";

void ReadLanguage(CommandLine& line, std::string_view word)
{
    if (word == "ja" || honyaku::FindLanguage(std::string(word)))
        line.language = std::string(word);
    else
        line.error = std::string("--lang の後には ") + kLanguages + " のどれかを書いてください (" + std::string(word) +
                     ") / --lang takes en, vi, zh or ja.\n";
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine line;
    const std::string_view exam = "--exam", examIs = "--exam=", lang = "--lang", langIs = "--lang=";
    for (int i = 1; i < argc && line.error.empty(); ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == exam) {
            if (i + 1 < argc)
                ReadMock(line, argv[++i]);
            else
                line.error = "--exam の後には " + exam::Keys() + " のどれかを書いてください。\n";
        } else if (arg.substr(0, examIs.size()) == examIs) {
            ReadMock(line, arg.substr(examIs.size()));
        } else if (arg == lang) {
            if (i + 1 < argc)
                ReadLanguage(line, argv[++i]);
            else
                ReadLanguage(line, "");
        } else if (arg.substr(0, langIs.size()) == langIs) {
            ReadLanguage(line, arg.substr(langIs.size()));
        } else if (arg == "--teacher") {
            line.teacher = true;
        } else if (arg == "--db") {
            if (i + 1 < argc)
                line.db = argv[++i];
            else
                line.error = "--db の後には接続先 (host=... dbname=... user=...) を書いてください。\n";
        } else if (arg.substr(0, 5) == "--db=") {
            line.db = arg.substr(5);
        }
    }
    return line;
}

std::string HelpText()
{
    std::string names, options;
    for (const exam::TestDefinition& test : exam::Tests()) {
        names += (names.empty() ? "" : "・") + std::string(test.name);
        const std::string option = "--exam " + std::string(test.key);
        options += "  " + option + std::string(option.size() < 16 ? 16 - option.size() : 1, ' ') +
                   test.name + "の模擬試験をメニューの上に開きます\n";
    }
    return "使い方: lentavo [--exam " + exam::Keys() + "] [--lang en|vi|zh|ja] [--teacher [--db CONNINFO]] [--help]\n"
           "\n"
           "学科練習システム: " + names + "の学科試験の練習をするプログラムです。\n"
           "Trainer for the written part of the Japanese driving-licence examinations.\n"
           "\n"
           "設定ファイル Lentavo.inf (プログラムと同じフォルダ、書けないときは\n"
           "~/.config/lentavo/) に、問題データのフォルダを記録します。\n"
           "The settings file Lentavo.inf names the data directory; it lives beside the program,\n"
           "or in ~/.config/lentavo/ when that folder cannot be written.\n"
           "\n" +
           options +
           "                  / opens that mock exam over the menu, as a desktop shortcut would\n"
           "  --lang en|vi|zh|ja  この回の言語 (英語・ベトナム語・中国語・日本語)\n"
           "                  / this run's language: English, Vietnamese, Chinese or Japanese\n"
           "  --teacher       教官用 一覧 (学校のサーバー、lentavo_teacher のユーザー) を開きます\n"
           "                  / the teacher's overview of every pupil, from the school's server\n"
           "  --db CONNINFO   --teacher の接続先 (省略時は Lentavo.school) / the server to use\n"
           "  --help          この説明を表示して終了します / show this text and exit\n";
}
