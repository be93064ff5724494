#include "ui/reference_loader.h"

#include "data/directory_mistake.h"
#include "data/name_sort.h"
#include "engine/calculation.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// The fewest bytes of file a directory entry takes in practice: a short name and the usual
// coordinates. A denser file makes the reader find more room, as it always may.
constexpr std::uintmax_t kUsualRecordBytes = 28;

// Room made at once for the entries a long directory likely holds, in huge pages where the
// system gives them on request: its entries then cost a few hundred page faults instead of
// thousands, and the sort's moves across them miss the address cache less. Room never used
// takes no memory.
void MakeRoomForLongDirectory(std::vector<KnownPosition>& list) {
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(ervalun::kDirectoryFileName, error);
    if (error || bytes <= CReferenceLoader::kReadAtOnceBytes) {
        return;
    }
    try {
        list.reserve(static_cast<std::size_t>(bytes / kUsualRecordBytes));
    } catch (const std::bad_alloc&) {
        return;
    }
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
    const auto begin = reinterpret_cast<std::uintptr_t>(list.data());
    const std::uintptr_t end = begin + list.capacity() * sizeof(KnownPosition);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (last > first) {
        // Only advice: refused, the pages are the usual ones.
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#endif
}

} // namespace

bool CReferenceLoader::FilesAreShort() {
    std::uintmax_t total = 0;
    for (const char* name : {ervalun::kDirectoryFileName, ervalun::kRosterFileName}) {
        std::error_code error;
        // A missing file, a folder or a pipe in its place costs nothing to find out.
        if (std::filesystem::is_regular_file(name, error)) {
            const std::uintmax_t size = std::filesystem::file_size(name, error);
            total += error ? 0 : size;
        }
    }
    return total <= kReadAtOnceBytes;
}

CReferenceLoader::~CReferenceLoader() {
    if (reader_.joinable()) {
        reader_.join();
    }
}

void CReferenceLoader::Read() {
    engine_.messages = &directoryMessages_;
    MakeRoomForLongDirectory(engine_.directory);
    engine_.LoadPositions(ervalun::kDirectoryFileName, &engine_.directory);
    if (engine_.directoryLoaded) {
        SortByName(engine_.directory);
    }
    engine_.messages = &rosterMessages_;
    engine_.LoadRoster(ervalun::kRosterFileName, &engine_.roster);
    if (engine_.rosterLoaded) {
        SortByName(engine_.roster);
    }
    engine_.messages = nullptr;
}

bool CReferenceLoader::Start() {
    if (reader_.joinable() || finished_) {
        return false;
    }
    try {
        reader_ = std::jthread([this] {
            Read();
            std::function<void()> done;
            {
                const std::lock_guard<std::mutex> lock(mutex_);
                read_ = true;
                done = std::move(whenRead_);
            }
            if (done) {
                done();
            }
        });
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void CReferenceLoader::WhenRead(std::function<void()> done) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!read_) {
            whenRead_ = std::move(done);
            return;
        }
    }
    done();
}

void CReferenceLoader::Finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    if (reader_.joinable()) {
        reader_.join();
    } else {
        Read();
    }
}

void CReferenceLoader::HandOver(TriangulationEngine& engine, const Receiver& receiver) {
    engine.directory = std::move(engine_.directory);
    engine.directoryLoaded = engine_.directoryLoaded;
    engine.directoryMistake = std::move(engine_.directoryMistake);
    engine.roster = std::move(engine_.roster);
    engine.rosterLoaded = engine_.rosterLoaded;
    for (const std::string& text : directoryMessages_.texts) {
        receiver.message(text);
    }
    receiver.directoryFilled();
    for (const std::string& text : rosterMessages_.texts) {
        receiver.message(text);
    }
    receiver.rosterFilled();
    // Once the two files' own messages are shown: which line of the directory to mend.
    if (engine.directoryMistake) {
        receiver.message(ervalun::DirectoryMistakeMessage(*engine.directoryMistake));
    }
    directoryMessages_.texts.clear();
    rosterMessages_.texts.clear();
}
