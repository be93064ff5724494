#pragma once

#include "data/message_sink.h"
#include "engine/triangulation_engine.h"

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The start-up's reading of the two reference files of the current directory, "ervalun.txt"
// then "operateurs.txt": each read and sorted by name, into an engine of the loader's own, with
// the readers' messages kept. It reads on the caller's thread (Finish) or on a thread of its own
// (Start); either way, HandOver then gives the lists and the messages to the dialog in the
// order of a start-up that reads the files one after the other. Qt-free.
class CReferenceLoader {
public:
    // What HandOver gives, in this order: the directory's messages, directoryFilled (the
    // engine's directory is in place), the roster's messages, rosterFilled, and last the
    // message of a misplaced hemisphere letter, if any.
    struct Receiver {
        std::function<void(const std::string&)> message;
        std::function<void()> directoryFilled;
        std::function<void()> rosterFilled;
    };

    // Reference files up to this size together (some 25,000 positions) are read and sorted in a
    // few milliseconds: the start-up reads them at once, in its own order. Longer ones are left
    // to a thread, so that the window does not wait on them.
    static constexpr unsigned long long kReadAtOnceBytes = 1ULL << 20;
    // Whether both files together are that short (a missing one counts for nothing).
    static bool FilesAreShort();

    CReferenceLoader() = default;
    // Waits for a reading still running.
    ~CReferenceLoader();
    CReferenceLoader(const CReferenceLoader&) = delete;
    CReferenceLoader& operator=(const CReferenceLoader&) = delete;

    // Starts the reading on a thread of its own, once. False when no thread could be had, or
    // the reading has already started or been done.
    bool Start();
    bool Started() const { return reader_.joinable(); }

    // Calls done once the thread has read the files: at once, on the caller's thread, if it has
    // already, else on the reading thread when it has. One call only is kept.
    void WhenRead(std::function<void()> done);

    // Waits for the thread's reading to end, or reads here when none was started. Once only.
    void Finish();

    // After Finish: moves the lists, their flags and the hemisphere mistake into engine (its
    // own lists are replaced), then gives the rest to receiver, in order. Once only.
    void HandOver(TriangulationEngine& engine, const Receiver& receiver);

private:
    // Keeps a reader's messages, to be shown in their turn.
    class HeldMessages : public MessageSink {
    public:
        void ShowMessage(const std::string& text) override { texts.push_back(text); }
        std::vector<std::string> texts;
    };

    void Read();

    // While the thread runs, it alone uses these three.
    TriangulationEngine engine_;
    HeldMessages directoryMessages_;
    HeldMessages rosterMessages_;
    std::mutex mutex_;
    bool read_ = false;
    bool finished_ = false;
    std::function<void()> whenRead_;
    // Last, so that it is joined before the rest goes.
    std::jthread reader_;
};
