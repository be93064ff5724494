#include "data/compact_name.h"

#include <cstddef>
#include <new>
#include <ostream>
#include <stdexcept>

namespace ervalun {

CompactName::Block* CompactName::NewBlock(std::size_t bytes) {
    void* memory = ::operator new(sizeof(Block) + bytes);
    Block* block = ::new (memory) Block;
    block->users.store(1, std::memory_order_relaxed);
    return block;
}

void CompactName::Leave(Block* block) noexcept {
    if (block->users.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        block->~Block();
        ::operator delete(static_cast<void*>(block));
    }
}

void CompactName::SetShared(Block* block, std::size_t offset, std::size_t size) noexcept {
    std::memcpy(raw_, &block, sizeof block);
    const auto at = static_cast<std::uint32_t>(offset);
    std::memcpy(raw_ + kOffsetAt, &at, sizeof at);
    for (std::size_t i = 0; i < 3; ++i) {
        raw_[kSizeAt + i] = static_cast<char>(static_cast<unsigned char>(size >> (8 * i)));
    }
    raw_[kInlineBytes] = kSharedMark;
}

void CompactName::Assign(std::string_view text) {
    if (text.size() <= kInlineBytes) {
        Clear();
        if (!text.empty()) {
            std::memcpy(raw_, text.data(), text.size());
        }
        raw_[kInlineBytes] = static_cast<char>(kInlineBytes - text.size());
        return;
    }
    if (text.size() > kMaxSize) {
        throw std::length_error("name too long");
    }
    // A block of its own, the name and its closing zero.
    Block* block = NewBlock(text.size() + 1);
    std::memcpy(BytesOf(block), text.data(), text.size());
    BytesOf(block)[text.size()] = '\0';
    SetShared(block, 0, text.size());
}

std::ostream& operator<<(std::ostream& out, const CompactName& name) {
    return out.write(name.data(), static_cast<std::streamsize>(name.size()));
}

CompactName NamePool::Make(std::string_view text) {
    if (text.size() <= CompactName::kInlineBytes || text.size() >= kBlockBytes / 4) {
        return CompactName(text);
    }
    const std::size_t need = text.size() + 1;
    if (room_ - used_ < need) {
        CompactName::Block* fresh = CompactName::NewBlock(kBlockBytes);
        if (block_ != nullptr) {
            CompactName::Leave(block_);
        }
        block_ = fresh;
        used_ = 0;
        room_ = kBlockBytes;
    }
    std::memcpy(CompactName::BytesOf(block_) + used_, text.data(), text.size());
    CompactName::BytesOf(block_)[used_ + text.size()] = '\0';
    CompactName name;
    name.SetShared(block_, used_, text.size());
    block_->users.fetch_add(1, std::memory_order_relaxed);
    used_ += need;
    return name;
}

} // namespace ervalun
