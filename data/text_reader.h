#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace ervalun {

// Reads a reference file with the text-mode rules the files were written for, on every
// platform: a carriage return directly followed by a line feed reads as one line feed, a
// lone carriage return is a byte of its own, and a byte 0x1A (control-Z) ends the file. A read
// error ends the file too. The file is read in large chunks and translated a chunk at a time,
// so neither a byte nor a chunk taken costs a system call of its own.
class TextReader {
public:
    // Large enough that a million-record directory takes a few hundred reads.
    static constexpr std::size_t kChunkSize = 64 * 1024;

    // Opens path for reading, never creating it. A folder, or a name with a NUL byte in it,
    // counts as a file that cannot be opened. chunkSize (at least 2) is for tests of the chunk
    // boundaries.
    explicit TextReader(const std::string& path, std::size_t chunkSize = kChunkSize);
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }

    // The next byte (0 to 255), or -1 at the end of the file.
    int Next() {
        if (pos_ == len_ && !Refill()) {
            return -1;
        }
        return buffer_[pos_++];
    }

    // All the bytes not yet taken, at least one, or an empty view at the end of the file. The
    // view stays valid until the next call; readers that scan for delimiters use it to avoid a
    // call per byte.
    std::string_view TakeChunk() {
        if (pos_ == len_ && !Refill()) {
            return {};
        }
        const std::string_view chunk(reinterpret_cast<const char*>(buffer_.get()) + pos_,
                                     len_ - pos_);
        pos_ = len_;
        return chunk;
    }

private:
    // Reads and translates the next chunk; false when nothing is left.
    bool Refill();

    std::FILE* file_ = nullptr;
    std::size_t chunkSize_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    // A carriage return that ended the previous chunk, waiting to see the byte after it.
    bool heldCarriageReturn_ = false;
    bool ended_ = false;
};

} // namespace ervalun
