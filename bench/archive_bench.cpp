// Archive benchmarks: LZSS expansion and compression, catalogue build and lookups.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/catalogue.h"
#include "archive/lzss.h"
#include "tests/support/classic_lzss.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/lzss_writer.h"

namespace {
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

constexpr size_t kSampleSize = 1 << 20;

// Script-like Shift-JIS text: words, commands and numbers.
Bytes textData() {
    static const char* words[] = {"@wait ",
                                  "500\r\n",
                                  "@se ",
                                  "se101\r\n",
                                  "\x82\xA8\x82\xC9",
                                  "\x82\xA2\x82\xBF",
                                  "\x82\xE1\x82\xF1",
                                  "\x81\x41",
                                  "\x81\x42",
                                  "@camera ",
                                  "3 ",
                                  "\x8E\xE1\x97\x74",
                                  "@bgm ",
                                  "bgm02\r\n"};
    std::mt19937 rng(1);
    Bytes b;
    while (b.size() < kSampleSize) {
        const char* w = words[rng() % 14];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    b.resize(kSampleSize);
    return b;
}

// Image-like: 8-bit channels of smooth gradients with light noise and flat areas.
Bytes imageData() {
    std::mt19937 rng(2);
    Bytes b;
    const int side = 512;
    for (int channel = 0; channel < 4; ++channel)
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const bool flat = (x / 64 + y / 64) % 3 == 0;
                const int value =
                    flat ? 255 * (channel == 3) : (x * (channel + 1) + y * 2) / 4 + int(rng() % 3);
                b.push_back(uint8_t(value));
            }
    b.resize(kSampleSize);
    return b;
}

// Model-like: vertices of floats (position, normal, uv), bone indices and weights, indices.
Bytes modelData() {
    Bytes b;
    auto put = [&](const void* p, size_t n) {
        b.insert(b.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
    };
    for (int i = 0; b.size() < kSampleSize * 3 / 4; ++i) {
        const float t = float(i) * 0.01f;
        const float v[8] = {
            std::sin(t),           std::cos(t) * 0.5f,        t * 0.1f, 0.0f, 1.0f, 0.0f,
            float(i % 64) / 64.0f, float(i / 64 % 64) / 64.0f};
        put(v, sizeof v);
        const uint8_t bones[4] = {uint8_t(i / 200 % 30), uint8_t(i / 200 % 30 + 1), 0, 0};
        put(bones, 4);
        const float w[3] = {0.75f, 0.25f, 0.0f};
        put(w, sizeof w);
    }
    for (uint16_t i = 0; b.size() < kSampleSize; ++i) {
        const uint16_t tri[3] = {i, uint16_t(i + 1), uint16_t(i + 64)};
        put(tri, sizeof tri);
    }
    b.resize(kSampleSize);
    return b;
}

Bytes mixData() {
    Bytes b = textData();
    for (const Bytes& part : {imageData(), modelData()})
        b.insert(b.end(), part.begin(), part.end());
    return b;
}

const Bytes& sample(int kind) {
    static const Bytes samples[] = {textData(), imageData(), modelData(), mixData()};
    return samples[kind];
}

const char* kindName(int kind) {
    static const char* names[] = {"text", "image", "model", "mix"};
    return names[kind];
}

void BM_ExpandLzss(benchmark::State& state) {
    const Bytes& data = sample(int(state.range(0)));
    const Bytes stream = compressLzss(data.data(), data.size());
    Bytes out(data.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(expandLzss(stream.data(), stream.size(), out.data(), out.size()));
        benchmark::ClobberMemory();
    }
    if (out != data) state.SkipWithError("expansion differs");
    state.SetLabel(kindName(int(state.range(0))));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_ExpandLzss)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A 34 MB member: a third each of script text, image-like bytes and random bytes, repeated
// from the 1 MB samples with a different seed for each random megabyte.
const Bytes& largeMember() {
    static const Bytes member = [] {
        Bytes b;
        for (int i = 0; i < 34; ++i) {
            if (i % 3 == 2) {
                std::mt19937 rng{uint32_t(i)};
                for (size_t j = 0; j < kSampleSize; ++j) b.push_back(uint8_t(rng()));
            } else {
                const Bytes& part = sample(i % 3);
                b.insert(b.end(), part.begin(), part.end());
            }
        }
        return b;
    }();
    return member;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Our expander against the classic ring expander (-O2) on the 34 MB member, both in each
// iteration so that the ratio comes from one run. The iteration time is ours.
void BM_ExpandLargeMemberAgainstClassic(benchmark::State& state) {
    const Bytes& member = largeMember();
    const Bytes stream = compressLzss(member.data(), member.size());
    Bytes ours(member.size()), classic(member.size());
    double oursTotal = 0, classicTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        reference::classicExpand(stream.data(), stream.size(), classic.data(), classic.size());
        benchmark::ClobberMemory();
        classicTotal += secondsSince(start);
        start = std::chrono::steady_clock::now();
        expandLzss(stream.data(), stream.size(), ours.data(), ours.size());
        benchmark::ClobberMemory();
        const double seconds = secondsSince(start);
        oursTotal += seconds;
        state.SetIterationTime(seconds);
    }
    if (ours != member || classic != member) state.SkipWithError("expansion differs");
    const double n = double(state.iterations());
    state.counters["classic_ms"] = classicTotal / n * 1e3;
    state.counters["ours_ms"] = oursTotal / n * 1e3;
    state.counters["classic/ours"] = oursTotal > 0 ? classicTotal / oursTotal : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(member.size()));
}
BENCHMARK(BM_ExpandLargeMemberAgainstClassic)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// The classic way to print a member: seek to its stream and expand it with getc and putc
// through the ring to stdout. The benchmark runs it as a process of its own (this program with
// TR2_CLASSIC_CAT set), as tr2tool cat runs.
bool classicCat(const char* archive, const ArchiveEntry& entry) {
    std::FILE* in = std::fopen(archive, "rb");
    if (!in) return false;
    const bool done = std::fseek(in, long(entry.dataOffset), SEEK_SET) == 0 &&
                      reference::classicExpandFile(in, entry.storedSize, stdout,
                                                   entry.expandedSize) == entry.expandedSize;
    std::fclose(in);
    return done && std::fflush(stdout) == 0;
}

// The first entry of an archive's directory.
std::optional<ArchiveEntry> firstMember(const char* archive) {
    ArchiveDirectory directory;
    if (!readArchiveDirectory(archive, &directory) || directory.entries.size() < 2)
        return std::nullopt;
    return directory.entries[1];
}

// `tr2tool cat` of the 34 MB member (start, catalogue, read, expansion, write to /dev/null)
// against the classic decoder program, each a process, paired in each iteration. The
// iteration time is ours.
void BM_CatLargeMemberAgainstClassic(benchmark::State& state) {
    const Bytes& member = largeMember();
    const fs::path folder =
        fs::temp_directory_path() / ("tr2_bench_cat." + std::to_string(getpid()));
    fs::create_directories(folder / "add-ons");
    const fs::path archive = folder / "add-ons" / "large.tr2";
    const std::vector<ArchiveMember> members = {{"large.bin", member}};
    writeArchiveFile(archive, fileListDescription(members), members);
    const std::string command =
        "cd '" + folder.string() + "' && '" TR2TOOL_PATH "' cat large.bin >/dev/null";
    const std::string classic = "TR2_CLASSIC_CAT='" + archive.string() + "' '" +
                                fs::read_symlink("/proc/self/exe").string() + "' >/dev/null";
    // An earlier tr2tool to compare with, when TR2TOOL_BEFORE names one.
    const char* before = std::getenv("TR2TOOL_BEFORE");
    const std::string beforeCommand =
        before ? "cd '" + folder.string() + "' && '" + before + "' cat large.bin >/dev/null" : "";
    double catTotal = 0, classicTotal = 0, beforeTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (before) {
            if (std::system(beforeCommand.c_str()) != 0) {
                state.SkipWithError("the earlier tr2tool failed");
                break;
            }
            beforeTotal += secondsSince(start);
            start = std::chrono::steady_clock::now();
        }
        if (std::system(classic.c_str()) != 0) {
            state.SkipWithError("the classic decoder failed");
            break;
        }
        classicTotal += secondsSince(start);
        start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("tr2tool cat failed");
            break;
        }
        const double seconds = secondsSince(start);
        catTotal += seconds;
        state.SetIterationTime(seconds);
    }
    fs::remove_all(folder);
    const double n = double(state.iterations());
    state.counters["classic_ms"] = classicTotal / n * 1e3;
    state.counters["cat_ms"] = catTotal / n * 1e3;
    state.counters["classic/cat"] = catTotal > 0 ? classicTotal / catTotal : 0;
    if (before && beforeTotal > 0) {
        state.counters["before_cat_ms"] = beforeTotal / n * 1e3;
        state.counters["classic/before_cat"] = classicTotal / beforeTotal;
    }
}
BENCHMARK(BM_CatLargeMemberAgainstClassic)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

void BM_CompressLzss(benchmark::State& state) {
    const Bytes& data = sample(int(state.range(0)));
    size_t stored = 0;
    for (auto _ : state) {
        const Bytes stream = compressLzss(data.data(), data.size());
        stored = stream.size();
        benchmark::DoNotOptimize(stream.data());
    }
    state.SetLabel(kindName(int(state.range(0))));
    state.counters["ratio"] = double(stored) / double(data.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_CompressLzss)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// What `tr2tool pack` does once the files are read: compress and lay out an archive.
void BM_PackArchive(benchmark::State& state) {
    const std::vector<ArchiveMember> members = {
        {"script.txt", sample(0)}, {"image.psd", sample(1)}, {"model.tmb", sample(2)}};
    const std::string description = fileListDescription(members, "TYPE=bench\n");
    size_t archiveSize = 0, input = 0;
    for (const ArchiveMember& m : members) input += m.data.size();
    for (auto _ : state) {
        const Bytes archive = writeArchive(description, members);
        archiveSize = archive.size();
        benchmark::DoNotOptimize(archive.data());
    }
    state.counters["ratio"] = double(archiveSize) / double(input);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input));
}
BENCHMARK(BM_PackArchive)->Unit(benchmark::kMillisecond);

// A folder of `count` archives, each with a description of a costume item and five members.
class AddOnFolder {
public:
    explicit AddOnFolder(int count)
        : path_(fs::temp_directory_path() /
                ("tr2_bench_archive." + std::to_string(getpid()) + "." + std::to_string(count))) {
        fs::create_directories(path_ / "add-ons");
        for (int i = 0; i < count; ++i) {
            const std::string id = std::to_string(i);
            std::vector<ArchiveMember> members;
            for (const char* part : {"_a.tmb", "_b.tmb", "_c.tmb", "_d.tmb"})
                members.push_back(archiveMember("item" + id + part, std::string(2000, 'm') + id));
            members.push_back(archiveMember("icon" + id + ".psd", std::string(3000, 'i') + id));
            std::string description = "TYPE=costume\nNAME=item" + id + "\nCAPTION_0=c\n";
            for (int f = 0; f < 4; ++f)
                description += "FILE_" + std::to_string(f) + "=" + members[f].name + "\n";
            description += "ICON_0=" + members[4].name + "\n";
            char name[32];
            std::snprintf(name, sizeof name, "add-ons/%05d.tr2", i);
            writeArchiveFile(path_ / name, description, members);
        }
        previous_ = fs::current_path();
        fs::current_path(path_);
    }
    ~AddOnFolder() {
        fs::current_path(previous_);
        fs::remove_all(path_);
    }

private:
    fs::path path_;
    fs::path previous_;
};

void BM_BuildCatalogue(benchmark::State& state) {
    AddOnFolder folder(int(state.range(0)));
    for (auto _ : state) buildCatalogue();
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_BuildCatalogue)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_LoadFileFromLastArchive(benchmark::State& state) {
    AddOnFolder folder(int(state.range(0)));
    buildCatalogue();
    const std::string name = "item" + std::to_string(state.range(0) - 1) + "_d.tmb";
    for (auto _ : state) {
        size_t size = 0;
        char* data = loadFile(name.c_str(), &size);
        benchmark::DoNotOptimize(data);
        std::free(data);
    }
}
BENCHMARK(BM_LoadFileFromLastArchive)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_FileSizeFromLastArchive(benchmark::State& state) {
    AddOnFolder folder(int(state.range(0)));
    buildCatalogue();
    const std::string name = "item" + std::to_string(state.range(0) - 1) + "_d.tmb";
    for (auto _ : state) benchmark::DoNotOptimize(fileSize(name.c_str()));
}
BENCHMARK(BM_FileSizeFromLastArchive)->Arg(1000)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv) {
    if (const char* archive = std::getenv("TR2_CLASSIC_CAT")) {
        const std::optional<ArchiveEntry> entry = firstMember(archive);
        return entry && classicCat(archive, *entry) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
