#include "BenchData.h"

#include "EucJp.h"
#include "Exception.h"
#include "Layouts.h"
#include "Scoring.h"
#include "Settings.h"
#include "Table.h"

#include <QBuffer>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <unistd.h>

namespace field = layouts::field;

namespace fs = std::filesystem;

namespace benchdata {
namespace {

// Phrases of the kind a bank's statements and explanations are made of; texts are random runs
// of them, cut to a random length of up to 255 bytes.
const char* const kPhrases[] = {
    "交差点を左折するときは、",
    "あらかじめできるだけ道路の左端に寄り、",
    "徐行しなければならない。",
    "横断歩道に近づいたときは、歩行者がいないことが明らかな場合を除き、",
    "その手前で停止できるような速度で進まなければならない。",
    "車両通行帯のある道路では、",
    "追い越しのとき以外は左側の通行帯を通行する。",
    "踏切を通過するときは、一時停止をして安全を確かめる。",
    "信号機の信号に従って停止する場合を除き、",
    "夜間、対向車と行き違うときは前照灯を減光するか下向きに切り替える。",
    "図の標識は「車両進入禁止」を表している。",
    "この標示のある場所では、転回してはならない。",
    "雨の日は路面が滑りやすいので、車間距離を十分にとる。",
    "高速道路の本線車道での最高速度は、標識などで指定されていない場合、",
    "時速１００キロメートルである。",
    "ぬかるみのある場所では、泥水をはねて歩行者に迷惑をかけないようにする。",
    "正しい。",
    "誤り。",
    "解説：",
    "道路交通法により定められている。",
    "安全地帯のそばを通るときは、歩行者がいれば徐行する。",
    "坂の頂上付近やこう配の急な下り坂では、追い越しが禁止されている。",
    "緊急自動車が近づいてきたときは、交差点を避け、道路の左側に寄って一時停止する。",
    "ＡＴ車は、エンジン始動時にブレーキペダルを踏んでおく。",
};

const std::vector<std::string>& EncodedPhrases()
{
    static const std::vector<std::string> phrases = [] {
        std::vector<std::string> out;
        for (const char* p : kPhrases)
            out.push_back(eucjp::Encode(QString::fromUtf8(p)));
        return out;
    }();
    return phrases;
}

std::string Text(std::mt19937& rng, int minBytes, int maxBytes)
{
    const auto& phrases = EncodedPhrases();
    const std::size_t target = std::size_t(std::uniform_int_distribution<int>(minBytes, maxBytes)(rng));
    std::string s;
    std::uniform_int_distribution<std::size_t> pick(0, phrases.size() - 1);
    while (s.size() < target)
        s += phrases[pick(rng)];
    return eucjp::Truncate(s, target);
}

int Pick(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::string Number(int i)
{
    char b[16];
    std::snprintf(b, sizeof b, "%04d", i);
    return b;
}

// The picture area of the question window is 433 x 369. A sign-like drawing with a share of
// noisy pixels, the share chosen so that the PNG comes out at about 30 KB.
std::string MakeFigure(double noise)
{
    const int w = 433, h = 369;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    std::mt19937 rng(4242);
    const int cx = w / 2, cy = h / 2;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int dx = x - cx, dy = y - cy;
            const int r2 = dx * dx + dy * dy;
            if (r2 < 150 * 150 && r2 > 125 * 125)
                line[x] = qRgb(220, 0, 0);           // ring
            else if (r2 <= 125 * 125)
                line[x] = qRgb(30, 60, 200);         // disc
            if (std::abs(dy) < 12 && std::abs(dx) < 90)
                line[x] = qRgb(255, 255, 255);       // bar
            if (std::uniform_real_distribution<double>(0, 1)(rng) < noise) {
                const int g = Pick(rng, 0, 255);
                line[x] = qRgb(g, g, g);
            }
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!img.save(&buffer, "PNG"))
        throw Exception("PNG を作れません");
    return bytes.toStdString();
}

void Remove(const std::string& path)
{
    std::error_code ec;
    fs::remove_all(path, ec);
}

struct Scratch {
    std::string root;
    Scratch()
    {
        const char* env = std::getenv("LENTAVO_BENCH_TMP");
        const fs::path base = env && *env ? fs::path(env) : fs::temp_directory_path();
        root = (base / ("lentavo-bench-" + std::to_string(::getpid()))).string();
        fs::create_directories(root);
    }
    ~Scratch() { Remove(root); }
};

}  // namespace

const std::string& ScratchRoot()
{
    static Scratch scratch;
    return scratch.root;
}

const std::string& FigurePng()
{
    static const std::string png = [] {
        // Bisect the share of noisy pixels for a PNG of 30 KB (within 1 KB).
        double lo = 0.0, hi = 0.2;
        std::string best = MakeFigure(hi);
        for (int i = 0; i < 30; ++i) {
            const double mid = (lo + hi) / 2;
            std::string png = MakeFigure(mid);
            const long size = long(png.size());
            best = std::move(png);
            if (std::labs(size - 30 * 1024) < 1024)
                break;
            (size < 30 * 1024 ? lo : hi) = mid;
        }
        return best;
    }();
    return png;
}

std::vector<Row> BankRows(const BankShape& shape)
{
    std::mt19937 rng(20240701u + unsigned(shape.questions));
    std::vector<Row> rows;
    rows.reserve(std::size_t(shape.questions));
    for (int i = 1; i <= shape.questions; ++i) {
        const int nkaisu = Pick(rng, 0, 200) + (shape.worstCase ? 200 : 0);
        // The difficulty the counters give (0..100), with the +5 step on one question in
        // eight, so that answering moves it as it would move in a pupil's bank.
        const int kaisu = nkaisu + Pick(rng, 0, 40);
        const int seikaisu = Pick(rng, 0, kaisu);
        int nani = kaisu == 0 ? Pick(rng, 0, 100) : drill::Difficulty(seikaisu, kaisu);
        if (Pick(rng, 0, 7) == 0)
            nani += 5;
        const int karihon = Pick(rng, 0, 99) < 3 ? 0 : Pick(rng, 1, 2);
        const int seikai = Pick(rng, 0, 1);
        std::string kaisetsu = Text(rng, 60, 255);
        std::string mondai = Text(rng, 40, 255);
        // Field order of the bank: NKaisu Nani Kaisu Bango Seikaisu KariHon Kaisetsu Seikai Zu Mondai.
        rows.push_back(Row{Value(nkaisu), Value(nani), Value(kaisu), Value(Number(i)),
                           Value(seikaisu), Value(karihon), Value(std::move(kaisetsu)),
                           Value(seikai), shape.figures ? Value(FigurePng()) : Value(),
                           Value(std::move(mondai))});
    }
    return rows;
}

std::vector<Row> HistoryRows(int answers, int questions, bool allRight)
{
    std::mt19937 rng(777u + unsigned(answers));
    std::vector<Row> rows;
    for (int i = 0; i < answers; ++i) {
        const int seihi = allRight || Pick(rng, 0, 99) < 80 ? 1 : 0;
        rows.push_back(Row{Value(Number(Pick(rng, 1, questions))), Value(seihi), Value(Text(rng, 40, 255))});
    }
    return rows;
}

std::vector<Row> AdviceRows()
{
    std::mt19937 rng(99);
    std::vector<Row> rows;
    for (int level = -1; level <= 100; ++level)
        rows.push_back(Row{Value(level), Value(Text(rng, 40, 200)), Value(Text(rng, 40, 200))});
    return rows;
}

SearchColumns ColumnsOf(const std::vector<Row>& bankRows)
{
    const auto& f = layouts::Bank();
    auto index = [&](const char* name) {
        for (std::size_t i = 0; i < f.size(); ++i)
            if (f[i].name == name)
                return i;
        throw Exception(std::string("no field ") + name);
    };
    const std::size_t nani = index(field::Nani), nkaisu = index(field::NKaisu), karihon = index(field::KariHon);
    SearchColumns c;
    for (const Row& r : bankRows) {
        c.nani.push_back(r[nani].null ? 0 : r[nani].integer);
        c.nkaisu.push_back(r[nkaisu].null ? 0 : r[nkaisu].integer);
        c.karihon.push_back(r[karihon].null ? 0 : r[karihon].integer);
    }
    return c;
}

namespace {

std::string ShapeName(const BankShape& shape)
{
    return std::to_string(shape.questions) + (shape.figures ? "-fig" : "") + (shape.worstCase ? "-worst" : "");
}

// A bank file per shape, generated once; data directories get copies.
const std::string& MasterBank(const BankShape& shape)
{
    static std::map<std::string, std::string> made;
    const std::string name = ShapeName(shape);
    auto it = made.find(name);
    if (it == made.end()) {
        const std::string dir = ScratchRoot() + "/master-" + name;
        fs::create_directories(dir);
        const std::string path = dir + "/" + layouts::kBankFile;
        Table::CreateFile(path, layouts::Bank(), BankRows(shape));
        it = made.emplace(name, path).first;
    }
    return it->second;
}

void WriteDir(DataDir& d, const std::string& directory, const std::string& bankSource,
              int questions, int history, bool allRight)
{
    fs::create_directories(directory);
    d.directory = fs::path(directory).lexically_normal().string();
    if (d.directory.empty() || d.directory.back() != '/')
        d.directory += '/';
    fs::copy_file(bankSource, d.directory + layouts::kBankFile, fs::copy_options::overwrite_existing);
    Table::CreateFile(d.directory + layouts::kHistoryFile, layouts::History(),
                      HistoryRows(history, questions, allRight));
    Table::CreateFile(d.directory + layouts::kAdviceFile, layouts::Advice(), AdviceRows());
    d.historyBackup = d.directory + "rireki.pristine";
    fs::copy_file(d.directory + layouts::kHistoryFile, d.historyBackup, fs::copy_options::overwrite_existing);
    d.settingsFile = fs::path(d.directory).parent_path().parent_path().string() + "/" + settings::kFileName;
    if (!settings::WriteDataDirectory(d.settingsFile, d.directory))
        throw Exception("設定ファイルを書けません: " + d.settingsFile);
    // Write the copies out now: the file system would otherwise flush them at the first sync of
    // a timed write-back, which would then measure the copying.
    ::sync();
}

}  // namespace

DataDir MakeDataDir(const std::string& directory, const BankShape& shape, int history, bool allRight)
{
    DataDir d;
    const std::string data = directory + "/data/";
    fs::create_directories(data);
    const std::string bank = data + layouts::kBankFile;
    Table::CreateFile(bank, layouts::Bank(), BankRows(shape));
    const std::string staged = directory + "/bank.source";
    fs::rename(bank, staged);
    WriteDir(d, data, staged, shape.questions, history, allRight);
    fs::remove(staged);
    return d;
}

WorkDir::WorkDir(const BankShape& shape, int history, bool allRight)
{
    static int made = 0;
    root_ = ScratchRoot() + "/work-" + std::to_string(++made) + "-" + ShapeName(shape);
    WriteDir(dir_, root_ + "/data/", MasterBank(shape), shape.questions, history, allRight);
}

WorkDir::~WorkDir() { Remove(root_); }

void RestoreHistory(const DataDir& dir)
{
    fs::copy_file(dir.historyBackup, dir.directory + layouts::kHistoryFile, fs::copy_options::overwrite_existing);
}

std::uintmax_t FileSize(const std::string& path)
{
    std::error_code ec;
    const auto n = fs::file_size(path, ec);
    return ec ? 0 : n;
}

void MakeDrillRecord(const std::string& path, int sessions, int answers,
                     const std::function<record::Answer(std::mt19937&)>& next)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(path + suffix);
    record::LearningRecord rec;
    rec.Open(path);
    std::mt19937 rng(5);
    for (int s = 0; s < sessions; ++s) {
        const auto id = rec.BeginSession({record::kDrill, 1 + s % 100, {}});
        std::vector<record::Answer> batch;
        const int n = answers / sessions + (s < answers % sessions ? 1 : 0);
        for (int i = 0; i < n; ++i)
            batch.push_back(next(rng));
        rec.AddAnswers(id, batch);
        rec.EndSession(id);
    }
}

}  // namespace benchdata
