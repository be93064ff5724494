#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace ervalun {

// The bytes of a name, in 16 bytes: up to 15 bytes lie in the object itself; a longer name lies
// in a shared block of bytes (one of its own, or one a NamePool fills with many names), which
// the names in it keep alive. Copying a name copies its bytes as far as anyone can see: no name
// can change another. The bytes are followed by a zero byte, for c_str(). Compared as strings
// of unsigned bytes, like std::string. Sizes up to 2^24 - 1 bytes.
class CompactName {
public:
    static constexpr std::size_t kInlineBytes = 15;
    static constexpr std::size_t kMaxSize = (std::size_t{1} << 24) - 1;

    CompactName() noexcept { Clear(); }
    CompactName(std::string_view text) { Assign(text); }
    CompactName(const char* text) : CompactName(std::string_view(text)) {}
    CompactName(const std::string& text) : CompactName(std::string_view(text)) {}
    CompactName(const CompactName& other) noexcept {
        std::memcpy(raw_, other.raw_, sizeof raw_);
        Share();
    }
    CompactName(CompactName&& other) noexcept {
        std::memcpy(raw_, other.raw_, sizeof raw_);
        other.Clear();
    }
    CompactName& operator=(const CompactName& other) noexcept {
        if (this != &other) {
            Release();
            std::memcpy(raw_, other.raw_, sizeof raw_);
            Share();
        }
        return *this;
    }
    CompactName& operator=(CompactName&& other) noexcept {
        if (this != &other) {
            Release();
            std::memcpy(raw_, other.raw_, sizeof raw_);
            other.Clear();
        }
        return *this;
    }
    CompactName& operator=(std::string_view text) {
        CompactName made(text);
        return *this = std::move(made);
    }
    CompactName& operator=(const char* text) { return *this = std::string_view(text); }
    CompactName& operator=(const std::string& text) { return *this = std::string_view(text); }
    ~CompactName() { Release(); }

    const char* data() const noexcept { return IsShared() ? SharedData() : raw_; }
    const char* c_str() const noexcept { return data(); }
    std::size_t size() const noexcept {
        return IsShared() ? SharedSize()
                          : kInlineBytes - static_cast<std::size_t>(raw_[kInlineBytes]);
    }
    bool empty() const noexcept { return size() == 0; }

    operator std::string_view() const noexcept { return {data(), size()}; }
    std::string_view view() const noexcept { return {data(), size()}; }
    std::string str() const { return std::string(data(), size()); }
    explicit operator std::string() const { return str(); }

    friend bool operator==(const CompactName& a, const CompactName& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator<(const CompactName& a, const CompactName& b) noexcept {
        return a.view() < b.view();
    }
    friend bool operator==(const CompactName& a, std::string_view b) noexcept {
        return a.view() == b;
    }
    friend bool operator<(const CompactName& a, std::string_view b) noexcept {
        return a.view() < b;
    }
    friend bool operator==(const CompactName& a, const char* b) noexcept {
        return a.view() == std::string_view(b);
    }
    friend bool operator==(const CompactName& a, const std::string& b) noexcept {
        return a.view() == std::string_view(b);
    }

private:
    friend class NamePool;

    // A block of name bytes, alive while a name lies in it (or its pool still fills it).
    // Its bytes follow it.
    struct Block {
        std::atomic<std::uint32_t> users;
    };
    static char* BytesOf(Block* block) noexcept { return reinterpret_cast<char*>(block + 1); }
    static Block* NewBlock(std::size_t bytes);
    static void Leave(Block* block) noexcept;

    // The 16 bytes: an inline name's bytes, zero-padded, then 15 minus its size (which is the
    // zero that ends a 15-byte name); or a block's address, the offset of the name's bytes in
    // it (4 bytes), its size (3 bytes, lowest first) and the mark.
    static constexpr char kSharedMark = static_cast<char>(0x80);
    static constexpr std::size_t kOffsetAt = 8;
    static constexpr std::size_t kSizeAt = 12;

    bool IsShared() const noexcept { return raw_[kInlineBytes] == kSharedMark; }
    Block* BlockOf() const noexcept {
        Block* block = nullptr;
        std::memcpy(&block, raw_, sizeof block);
        return block;
    }
    const char* SharedData() const noexcept {
        std::uint32_t offset = 0;
        std::memcpy(&offset, raw_ + kOffsetAt, sizeof offset);
        return BytesOf(BlockOf()) + offset;
    }
    std::size_t SharedSize() const noexcept {
        const auto byte = [this](std::size_t i) {
            return static_cast<std::size_t>(static_cast<unsigned char>(raw_[kSizeAt + i]));
        };
        return byte(0) | byte(1) << 8 | byte(2) << 16;
    }
    void Clear() noexcept {
        std::memset(raw_, 0, sizeof raw_);
        raw_[kInlineBytes] = static_cast<char>(kInlineBytes);
    }
    void SetShared(Block* block, std::size_t offset, std::size_t size) noexcept;
    void Assign(std::string_view text);
    void Share() const noexcept {
        if (IsShared()) {
            BlockOf()->users.fetch_add(1, std::memory_order_relaxed);
        }
    }
    void Release() noexcept {
        if (IsShared()) {
            Leave(BlockOf());
        }
    }

    alignas(8) char raw_[kInlineBytes + 1];
};

static_assert(sizeof(CompactName) == 16);

// Writes the name's bytes (for test messages).
std::ostream& operator<<(std::ostream& out, const CompactName& name);

// Makes many names whose long ones share large blocks, so that each costs its bytes and one
// zero rather than an allocation of its own. The names outlive the pool as they need.
class NamePool {
public:
    NamePool() = default;
    ~NamePool() {
        if (block_ != nullptr) {
            CompactName::Leave(block_);
        }
    }
    NamePool(const NamePool&) = delete;
    NamePool& operator=(const NamePool&) = delete;

    CompactName Make(std::string_view text);

private:
    static constexpr std::size_t kBlockBytes = 64 * 1024;

    CompactName::Block* block_ = nullptr;
    std::size_t used_ = 0;
    std::size_t room_ = 0;
};

} // namespace ervalun
