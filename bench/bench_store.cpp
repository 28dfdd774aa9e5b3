// Load and save of a large generated project against the time of one plain line-by-line read
// (getline) and one plain write of the same lines, and the memory a load needs against the file
// size. Goals: load at most 1.5x the read, save at most 2x the write, peak memory at most 1.8x the
// file; the run fails only beyond the looser bounds, as a busy machine varies.
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

#include <vector>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include "store/dbinfo.h"
#include "store/fileacc.h"

namespace {

constexpr int kGroups = 300;
constexpr int kClientsPerGroup = 30;
constexpr int kInvestigations = 1000;
constexpr int kForChoices = 150000;
constexpr int kAgainstChoices = 50000;
constexpr int kPlacements = 30000;
constexpr int kRuns = 5;
constexpr double kLoadGoal = 1.5;
constexpr double kSaveGoal = 2.0;
constexpr double kMemoryGoal = 1.8;
constexpr double kTimeBound = 5.0;
constexpr double kMemoryBound = 10.0;

// Fills a store with the benchmark project: groups of clients, investigations over them and
// choices and placements spread over the investigations.
void Generate(TFileAccess& store)
{
    double birth = 0;
    EncodeDate(1990, 1, 1, birth);
    for (int g = 1; g <= kGroups; ++g) {
        store.ClientGroups().Add(g, "\xD0\x9A\xD0\xBB\xD0\xB0\xD1\x81\xD1\x81 " + std::to_string(g));
        for (int c = 1; c <= kClientsPerGroup; ++c) {
            store.Clients().Add(c, g, "Member " + std::to_string(g) + "-" + std::to_string(c), c % 2 == 0,
                                birth + (g * 31 + c) % 3000);
            if (c % 5 == 0) {
                store.Clients().Find(c, g);
                store.Clients().SetDescription("Notes on this member\r\nsecond line");
            }
        }
    }
    for (int k = 1; k <= 10; ++k) {
        store.CriteriaGroups().Add(k, "Criteria " + std::to_string(k));
        for (int q = 1; q <= 5; ++q)
            store.Criteria().Add(q, k, "Whom would you choose for task " + std::to_string(q) + "?");
    }
    for (int i = 1; i <= kInvestigations; ++i)
        store.Investigations().Add({.Id = i,
                                    .ClientGroupId = (i - 1) % kGroups + 1,
                                    .CriterionId = (i - 1) % 5 + 1,
                                    .CriteriaGroupId = (i - 1) % 10 + 1,
                                    .Name = "Investigation " + std::to_string(i),
                                    .Date = birth + 12000 + i,
                                    .AllowAgainst = i % 3 != 0,
                                    .MaxChoices = 3});
    for (int n = 0; n < kForChoices; ++n)
        store.ForChoices().Add(n % kInvestigations + 1, n % kClientsPerGroup + 1,
                               (n * 7 + 3) % kClientsPerGroup + 1);
    for (int n = 0; n < kAgainstChoices; ++n)
        store.AgainstChoices().Add(n % kInvestigations + 1, n % kClientsPerGroup + 1,
                                   (n * 11 + 5) % kClientsPerGroup + 1);
    for (int n = 0; n < kPlacements; ++n) {
        const int invest = n % kInvestigations + 1;
        store.Placements().Add({.InvestId = invest,
                                .ClientId = n / kInvestigations % kClientsPerGroup + 1,
                                .ClientGroupId = (invest - 1) % kGroups + 1,
                                .SelType = static_cast<int16_t>(n % 3),
                                .Left = 10 * (n % 50),
                                .Top = 8 * (n % 40),
                                .Width = 90,
                                .Height = 40,
                                .FigType = static_cast<int16_t>(n % 8)});
    }
    store.Users().Add(1, "admin", "");
}

double CpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Best of several runs, in seconds of CPU time (this process, the kernel's work for it included):
// on a machine busy with other work, wall time says more about the others than about this.
double BestTime(const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        const double start = CpuSeconds();
        work();
        best = std::min(best, CpuSeconds() - start);
    }
    return best;
}

// A value in kB from /proc/self/status ("VmRSS", "VmHWM").
long StatusKb(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

// In a fresh process: the resident memory one load adds at its peak, in bytes (-1 on failure).
int MeasureLoadPeak(const char* path)
{
    const long before = StatusKb("VmRSS");
    TFileAccess store(path);
    if (!store.Load())
        return 1;
    const long peak = StatusKb("VmHWM");
    std::printf("%ld\n", (peak - before) * 1024);
    return 0;
}

// Runs this program again to measure a load's peak memory without this process's history.
double LoadPeakBytes(const std::string& path)
{
    std::string self(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
    if (n <= 0)
        return -1;
    self.resize(static_cast<std::size_t>(n));
    const std::string command = "'" + self + "' --load-peak '" + path + "'";
    FILE* child = ::popen(command.c_str(), "r");
    if (!child)
        return -1;
    long bytes = -1;
    if (std::fscanf(child, "%ld", &bytes) != 1)
        bytes = -1;
    return ::pclose(child) == 0 ? static_cast<double>(bytes) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--load-peak")
        return MeasureLoadPeak(argv[2]);

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tremlow-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "large.soi").string();
    {
        TFileAccess store(path);
        Generate(store);
        if (!store.Save()) {
            std::cerr << "cannot write the benchmark project\n";
            return 1;
        }
    }
    const double fileBytes = static_cast<double>(std::filesystem::file_size(path));

    std::size_t lineCount = 0;
    const double floor = BestTime([&] {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        std::size_t n = 0;
        while (std::getline(in, line))
            ++n;
        lineCount = n;
        benchmark::DoNotOptimize(line);
    });
    std::vector<std::string> lines;
    {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        while (std::getline(in, line))
            lines.push_back(line);
    }
    // The same lines written one by one to a new file and synced, as a save must be.
    const std::string plainPath = (dir / "plain.soi").string();
    const double writeFloor = BestTime([&] {
        {
            std::ofstream out(plainPath, std::ios::binary | std::ios::trunc);
            for (const std::string& line : lines)
                out << line << '\n';
        }
        const int fd = ::open(plainPath.c_str(), O_WRONLY);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    });
    lines = {};

    bool loaded = true;
    const double load = BestTime([&] {
        TFileAccess store(path);
        loaded = store.Load() && loaded;
        benchmark::DoNotOptimize(store.ForChoices().Count());
    });

    TFileAccess store(path);
    loaded = store.Load() && loaded;
    const std::string savePath = (dir / "saved.soi").string();
    store.SetFileName(savePath);
    bool saved = true;
    const double save = BestTime([&] {
        store.SetModified(true);
        saved = store.Save() && saved;
    });
    const bool identical = std::filesystem::file_size(savePath) == std::filesystem::file_size(path);

    const double peakBytes = LoadPeakBytes(path);

    std::filesystem::remove_all(dir);

    const double loadRatio = load / floor;
    const double saveRatio = save / writeFloor;
    const double memoryRatio = peakBytes / fileBytes;
    std::printf("project: %d clients, %d investigations, %d + %d choices, %d placements\n",
                kGroups * kClientsPerGroup, kInvestigations, kForChoices, kAgainstChoices, kPlacements);
    std::printf("file: %.1f MB, %zu lines\n", fileBytes / 1e6, lineCount);
    std::printf("CPU time, best of %d:\n", kRuns);
    std::printf("getline read (load floor): %8.1f ms\n", floor * 1e3);
    std::printf("plain write (save floor):  %8.1f ms\n", writeFloor * 1e3);
    std::printf("Load:                      %8.1f ms  ratio %.2f (goal %.1f)\n", load * 1e3, loadRatio, kLoadGoal);
    std::printf("Save:                      %8.1f ms  ratio %.2f (goal %.1f)\n", save * 1e3, saveRatio, kSaveGoal);
    std::printf("Load peak memory:          %8.1f MB  ratio %.2f of the file size (goal %.1f)\n",
                peakBytes / 1e6, memoryRatio, kMemoryGoal);

    bool ok = loaded && saved && identical && peakBytes > 0;
    if (!ok)
        std::printf("FAILED: the project did not load and save back to the same size\n");
    if (loadRatio > kTimeBound || saveRatio > kTimeBound || memoryRatio > kMemoryBound) {
        std::printf("FAILED: a ratio is beyond its bound\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
