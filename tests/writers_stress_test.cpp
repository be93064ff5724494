// The writers under processes that run side by side and die at any moment: kill -9 in the
// middle of calculations, concurrent appends, a reader of the page while it is rewritten.
// Sizes are modest so that the suite stays quick; raise the rounds to stress harder.
#include "engine/calculation.h"
#include "tests/support/processes.h"
#include "tests/support/samples.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using ervalun::kCalibrationFileName;
using ervalun::kLogFileName;
using ervalun::kMapPageFileName;
using testing_support::Lines;
using testing_support::OnTheMap;
using testing_support::ReadFile;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

const LocalDateTime kWhen{2002, 3, 6, 9, 5, 3};

// Every calculation of these tests writes the same line and the same page.
void Calculate(int times) {
    TriangulationEngine engine;
    engine.clock = [] { return kWhen; };
    for (int i = 0; times < 0 || i < times; ++i) {
        RunCalculation(OnTheMap(), engine);
    }
}

std::vector<pid_t> StartCalculating(int processes, int times) {
    return testing_support::StartChildren(processes, [times] {
        Calculate(times);
        return 0;
    });
}

int Leftovers() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        count += entry.path().filename().string().starts_with("map.html.tmp") ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(WritersStress, KillNineDuringCalculationsLeavesWholeLinesAndAWholePage) {
    ScopedWorkDir dir;
    WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
    Calculate(1);
    const std::string line = ReadFile(kLogFileName);
    const std::string page = ReadFile(kMapPageFileName);
    ASSERT_EQ(Lines(page).size(), 18u);

    // A reader of the page sees the whole page at every moment.
    std::atomic<bool> reading{true};
    std::atomic<int> reads{0};
    std::atomic<int> partialReads{0};
    std::thread reader([&] {
        while (reading) {
            if (ReadFile(kMapPageFileName) != page) {
                ++partialReads;
            }
            ++reads;
        }
    });

    constexpr int kRounds = 25;
    std::mt19937 gen(20240612);
    std::uniform_int_distribution<int> lifeMicroseconds(200, 15000);
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<pid_t> children = StartCalculating(3, -1);
        ASSERT_EQ(children.size(), 3u);
        std::this_thread::sleep_for(std::chrono::microseconds(lifeMicroseconds(gen)));
        for (pid_t pid : children) {
            kill(pid, SIGKILL);
        }
        for (pid_t pid : children) {
            waitpid(pid, nullptr, 0);
        }
    }
    reading = false;
    reader.join();
    EXPECT_EQ(partialReads, 0) << "of " << reads << " reads";

    // Only the short step between naming the new page and renaming it over the old one can
    // leave a temporary file; the next write clears what dead writers left.
    const int leftovers = Leftovers();
    RecordProperty("leftovers_after_kills", leftovers);
    Calculate(1);
    EXPECT_EQ(Leftovers(), 0) << leftovers << " left before the write";
    EXPECT_EQ(ReadFile(kMapPageFileName), page);

    // Each line is whole. The one exception a kill may cause is inside the kernel: a write
    // cut between two pages of the file. Such a fragment is ended by the next writer and
    // never joins the next record.
    const std::string log = ReadFile(kLogFileName);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), '\n');
    std::size_t whole = 0;
    for (const std::string& got : Lines(log)) {
        if (got + "\n" == line) {
            ++whole;
        } else {
            EXPECT_EQ(line.rfind(got, 0), 0u) << "not a line nor a piece of one: " << got;
        }
    }
    EXPECT_GE(whole, 2u);
    RecordProperty("log_lines", static_cast<int>(whole));
}

TEST(WritersStress, ProcessesAppendingTogetherLeaveEveryLineWhole) {
    ScopedWorkDir dir;
    WriteFile(kCalibrationFileName, testing_support::kExampleCalibration);
    constexpr int kProcesses = 4;
    constexpr int kEach = 500;
    const std::vector<pid_t> children = StartCalculating(kProcesses, kEach);
    ASSERT_EQ(children.size(), static_cast<std::size_t>(kProcesses));
    ASSERT_TRUE(testing_support::AllExitedCleanly(children));
    const std::vector<std::string> lines = Lines(ReadFile(kLogFileName));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kProcesses * kEach));
    for (const std::string& got : lines) {
        ASSERT_EQ(got, lines.front());
    }
    EXPECT_EQ(Lines(ReadFile(kMapPageFileName)).size(), 18u);
    EXPECT_EQ(Leftovers(), 0);
}
