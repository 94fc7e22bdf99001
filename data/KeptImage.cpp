#include "KeptImage.h"

#include "CacheFolder.h"
#include "SafeFile.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace tablefile {
namespace {

// "LTBI" and the layout of what follows; a new layout takes a new number, and an image of
// another is passed over.
constexpr char kMagic[4] = {'L', 'T', 'B', 'I'};
constexpr std::uint32_t kFormat = 1;
constexpr char kEnd[4] = {'E', 'N', 'D', '.'};
// Images of a drill's three files, the hazard file and room for a second data directory.
constexpr std::size_t kMaxImages = 12;
// Far above a bank of 9,999 questions with the longest texts (about 6 MB).
constexpr std::size_t kMaxImageBytes = std::size_t(1) << 30;
enum Tag : std::uint8_t { kNull = 0, kInteger = 1, kBytes = 2, kDeferred = 3 };

std::string FileOf(const std::string& path) { return cachefolder::FileFor("tables", path, "image"); }

// Numbers in the machine's own byte order: the file never leaves this machine's cache.
template <typename T>
void Put(std::ostream& out, T x)
{
    out.write(reinterpret_cast<const char*>(&x), sizeof x);
}
void PutBytes(std::ostream& out, const std::string& bytes)
{
    Put(out, std::uint32_t(bytes.size()));
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// Reads from a kept file, every read checked against its end.
class Reader {
public:
    explicit Reader(const std::string& bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}
    template <typename T>
    bool Get(T& x)
    {
        if (std::size_t(end_ - p_) < sizeof x)
            return false;
        std::memcpy(&x, p_, sizeof x);
        p_ += sizeof x;
        return true;
    }
    bool GetBytes(std::string& bytes, std::size_t max)
    {
        std::uint32_t n = 0;
        if (!Get(n) || n > max || std::size_t(end_ - p_) < n)
            return false;
        bytes.assign(p_, n);
        p_ += n;
        return true;
    }
    bool Literal(const char (&word)[4])
    {
        if (end_ - p_ < 4 || std::memcmp(p_, word, 4) != 0)
            return false;
        p_ += 4;
        return true;
    }
    bool AtEnd() const { return p_ == end_; }

private:
    const char* p_;
    const char* end_;
};

std::string Absolute(const std::string& path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.string();
}

void PutVersion(std::ostream& out, const Version& v)
{
    Put(out, v.changeCounter);
    Put(out, v.device);
    Put(out, v.inode);
    Put(out, v.size);
    Put(out, v.modifiedNs);
}

bool GetVersion(Reader& in, Version& v)
{
    return in.Get(v.changeCounter) && in.Get(v.device) && in.Get(v.inode) && in.Get(v.size) && in.Get(v.modifiedNs);
}

// One value of field F as reading the file would give it: an integer for an integer field, bytes
// within the size for a text, and for a picture only whether it is there (its bytes stay in the
// file; an empty one is the empty value).
bool GetValue(Reader& in, const FieldDef& f, Value& v)
{
    std::uint8_t tag = 0;
    if (!in.Get(tag))
        return false;
    switch (tag) {
    case kNull:
        return true;
    case kInteger: {
        std::int32_t x = 0;
        if (f.type != FieldType::Integer || !in.Get(x))
            return false;
        v = Value(int(x));
        return true;
    }
    case kBytes: {
        std::string bytes;
        if (f.type == FieldType::Integer || !in.GetBytes(bytes, f.type == FieldType::Text ? std::size_t(f.size) : 0))
            return false;
        v = Value(std::move(bytes));
        return true;
    }
    case kDeferred:
        v = Value::Deferred();
        return f.type == FieldType::Blob;
    default:
        return false;
    }
}

void PutValue(std::ostream& out, const FieldDef& f, const Value& v)
{
    if (v.null) {
        Put(out, std::uint8_t(kNull));
    } else if (v.deferred) {
        Put(out, std::uint8_t(kDeferred));
    } else if (f.type == FieldType::Integer) {
        Put(out, std::uint8_t(kInteger));
        Put(out, std::int32_t(v.integer));
    } else {
        Put(out, std::uint8_t(kBytes));
        PutBytes(out, v.bytes);
    }
}

std::optional<KeptImage> Parse(const std::string& bytes, const std::string& path, const Version& version)
{
    Reader in(bytes);
    std::uint32_t format = 0;
    std::string source;
    Version kept;
    std::uint8_t checked = 0;
    KeptImage image;
    Contents& c = image.contents;
    if (!in.Literal(kMagic) || !in.Get(format) || format != kFormat || !in.GetBytes(source, 4096) ||
        source != Absolute(path) || !GetVersion(in, kept) || !(kept == version) || !in.Get(checked) ||
        !in.Get(c.stamp.changeCounter) || !in.Get(c.stamp.lastId))
        return std::nullopt;
    std::uint32_t fieldCount = 0;
    if (!in.Get(fieldCount) || fieldCount == 0 || fieldCount > 4096)
        return std::nullopt;
    for (std::uint32_t i = 0; i < fieldCount; ++i) {
        FieldDef f;
        std::uint8_t type = 0;
        std::int32_t size = 0;
        if (!in.GetBytes(f.name, 64) || !in.Get(type) || type > std::uint8_t(FieldType::Blob) || !in.Get(size))
            return std::nullopt;
        f.type = FieldType(type);
        f.size = size;
        c.fields.push_back(std::move(f));
    }
    if (!ValidFields(c.fields))
        return std::nullopt;
    std::uint64_t rowCount = 0;
    // Every record takes at least one byte a field: a count the file cannot hold is damage.
    if (!in.Get(rowCount) || rowCount > bytes.size() / fieldCount)
        return std::nullopt;
    c.ids.resize(std::size_t(rowCount));
    for (std::size_t k = 0; k < c.ids.size(); ++k)
        if (!in.Get(c.ids[k]) || c.ids[k] < 1 || (k > 0 && c.ids[k] <= c.ids[k - 1]))
            return std::nullopt;
    c.rows.resize(std::size_t(rowCount), Row(fieldCount));
    for (Row& row : c.rows)
        for (std::uint32_t i = 0; i < fieldCount; ++i)
            if (!GetValue(in, c.fields[i], row[i]))
                return std::nullopt;
    if (!in.Literal(kEnd) || !in.AtEnd() || c.stamp.changeCounter != version.changeCounter ||
        c.stamp.lastId != (c.ids.empty() ? 0 : c.ids.back()))
        return std::nullopt;
    image.checked = checked != 0;
    return image;
}

// Removes the images written least recently while there are more than kMaxImages.
void RemoveOldest(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> images;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.path().extension() == ".image")
            images.emplace_back(e.last_write_time(ec), e.path());
    if (images.size() <= kMaxImages)
        return;
    std::sort(images.begin(), images.end());
    for (std::size_t i = 0; i + kMaxImages < images.size(); ++i)
        std::filesystem::remove(images[i].second, ec);
}

// One image to write: where, of which file, at which version.
struct ImageToWrite {
    std::string file;     // the image's own file in the cache folder
    std::string source;   // the table file's absolute path
    Version version;
    std::shared_ptr<const Contents> contents;
    bool checked = false;
};

// Uses nothing of Qt: it may run at exit, after Qt's own statics are gone.
void WriteImageFile(const ImageToWrite& image)
{
    const Contents& contents = *image.contents;
    // Written beside it and renamed over it: a reader finds the old image or the new one. Not
    // synced: after a crash a torn image is passed over like any damaged one. Streamed, so that
    // keeping a bank's image costs no second copy of it in memory.
    const std::string temp = image.file + ".new-" + std::to_string(::getpid());
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(kMagic, 4);
    Put(out, kFormat);
    PutBytes(out, image.source);
    PutVersion(out, image.version);
    Put(out, std::uint8_t(image.checked));
    Put(out, contents.stamp.changeCounter);
    Put(out, contents.stamp.lastId);
    Put(out, std::uint32_t(contents.fields.size()));
    for (const FieldDef& f : contents.fields) {
        PutBytes(out, f.name);
        Put(out, std::uint8_t(f.type));
        Put(out, std::int32_t(f.size));
    }
    Put(out, std::uint64_t(contents.ids.size()));
    for (const std::int64_t id : contents.ids)
        Put(out, id);
    for (const Row& row : contents.rows)
        for (std::size_t i = 0; i < contents.fields.size(); ++i)
            PutValue(out, contents.fields[i], i < row.size() ? row[i] : Value::Null());
    out.write(kEnd, 4);
    out.close();
    if (out.fail() || std::rename(temp.c_str(), image.file.c_str()) != 0) {
        std::remove(temp.c_str());
        return;
    }
    RemoveOldest(std::filesystem::path(image.file).parent_path());
}

class Writer;
Writer& TheWriter();

// The process the program started as; a child forked from it (whether the parent's writer ran
// or not) writes its images itself.
const pid_t kProcess = ::getpid();

// The thread that writes the images, one at a time, in the order they came. It runs while there
// are images to write and ends when none is left; at exit what is left is written first.
class Writer {
public:
    Writer()
    {
        // A fork waits until the thread has written everything and ended: a child then has
        // neither a thread that does not exist in it nor a lock or a wait left in any state. A
        // child writes its images itself, so that it starts no thread of its own.
        ::pthread_atfork([] { TheWriter().EndThreadAndLock(); }, [] { TheWriter().mutex_.unlock(); },
                         [] { TheWriter().mutex_.unlock(); });
    }

    void Add(ImageToWrite image)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!finished_ && ::getpid() == kProcess) {
                // An image of the same file not yet written is of an older version: no use any more.
                std::erase_if(queue_, [&](const ImageToWrite& q) { return q.file == image.file; });
                queue_.push_back(std::move(image));
                if (!running_) {
                    if (thread_)
                        thread_->join();   // it has ended, or is about to: it left the lock
                    running_ = true;
                    thread_ = std::make_unique<std::thread>([this] { Run(); });
                }
                return;
            }
        }
        WriteImage(image);   // in a forked child, or at exit once the thread has ended
    }

    void WaitUntilIdle()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        idle_.wait(lock, [this] { return !running_; });
    }

    // Writes what is left and ends the thread; at exit. The object itself is never destroyed, so
    // that nothing written after (a table closed by a later exit handler) finds it gone.
    void Finish()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        EndThread(lock);
        finished_ = true;
    }

private:
    friend Writer& TheWriter();

    void EndThreadAndLock()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        EndThread(lock);
        lock.release();   // held across the fork
    }

    void EndThread(std::unique_lock<std::mutex>& lock)
    {
        idle_.wait(lock, [this] { return !running_; });
        if (thread_)
            thread_->join();
        thread_.reset();
    }

    static void WriteImage(const ImageToWrite& image)
    {
        try {
            WriteImageFile(image);
        } catch (const std::exception&) {
            // Without it the next run reads the table file.
        }
    }

    void Run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!queue_.empty()) {
            ImageToWrite image = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            WriteImage(image);
            image.contents.reset();   // the image's memory goes here, not with the next one
            lock.lock();
        }
        running_ = false;
        idle_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable idle_;
    std::deque<ImageToWrite> queue_;
    bool running_ = false;    // the thread is writing, or about to end
    bool finished_ = false;   // at exit: images are written by their caller
    std::unique_ptr<std::thread> thread_;
};

Writer& TheWriter()
{
    static Writer* const writer = [] {
        auto* w = new Writer;
        std::atexit([] { TheWriter().Finish(); });
        return w;
    }();
    return *writer;
}

}  // namespace

std::optional<KeptImage> ReadKeptImage(const std::string& path, const Version& version)
{
    const std::string file = FileOf(path);
    if (file.empty())
        return std::nullopt;
    std::string bytes;
    try {
        bytes = safefile::Read(file, kMaxImageBytes, safefile::Links::Refuse);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return Parse(bytes, path, version);
}

void WriteKeptImage(const std::string& path, const Version& version,
                    std::shared_ptr<const Contents> contents, bool checked)
{
    // Named and its folder made here, in the caller's thread: the writer may run at exit.
    ImageToWrite image{FileOf(path), Absolute(path), version, std::move(contents), checked};
    if (image.file.empty() || !image.contents || !cachefolder::MakeFolderFor(image.file))
        return;
    TheWriter().Add(std::move(image));
}

void WaitForKeptImages() { TheWriter().WaitUntilIdle(); }

void RemoveKeptImages()
{
    WaitForKeptImages();
    const std::string file = FileOf("x");
    if (file.empty())
        return;
    std::error_code ec;
    const auto folder = std::filesystem::path(file).parent_path();
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.path().extension() == ".image")
            std::filesystem::remove(e.path(), ec);
}

}  // namespace tablefile
