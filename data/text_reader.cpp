#include "data/text_reader.h"

#include "data/file_kind.h"

#include <cstring>

namespace ervalun {

TextReader::TextReader(const std::string& path, std::size_t chunkSize)
    // A held carriage return takes one place of a chunk; at least one must stay for reading.
    : chunkSize_(chunkSize < 2 ? 2 : chunkSize) {
    // A NUL byte would silently cut the name short and open another file.
    if (path.empty() || path.find('\0') != std::string::npos) {
        return;
    }
    // A folder would open and read as an empty file, passing for a successful load; a named
    // pipe or a device could block or never end. Only a regular file is opened.
    if (KindOfPath(path) != PathKind::RegularFile) {
        return;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        return;
    }
    // The chunks below are the only buffer; a second one in stdio would only copy twice.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    buffer_ = std::make_unique<unsigned char[]>(chunkSize_);
}

TextReader::~TextReader() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool TextReader::Refill() {
    pos_ = 0;
    len_ = 0;
    if (file_ == nullptr) {
        return false;
    }
    // A chunk may translate to nothing (a held carriage return and its line feed only), so
    // read on until a byte comes out or the file ends.
    while (len_ == 0 && !ended_) {
        std::size_t start = 0;
        if (heldCarriageReturn_) {
            buffer_[0] = '\r';
            start = 1;
            heldCarriageReturn_ = false;
        }
        const std::size_t wanted = chunkSize_ - start;
        const std::size_t got = std::fread(buffer_.get() + start, 1, wanted, file_);
        // A short read means the end of the file or a read error; both end the text.
        bool last = got < wanted;
        const std::size_t total = start + got;
        // Most files hold neither byte: nothing to translate then.
        if (std::memchr(buffer_.get(), '\r', total) == nullptr &&
            std::memchr(buffer_.get(), 0x1A, total) == nullptr) {
            len_ = total;
            if (last) {
                ended_ = true;
            }
            continue;
        }
        std::size_t out = 0;
        for (std::size_t i = 0; i < total; ++i) {
            const unsigned char b = buffer_[i];
            if (b == 0x1A) {
                last = true;
                break;
            }
            if (b == '\r') {
                if (i + 1 < total) {
                    if (buffer_[i + 1] == '\n') {
                        continue;
                    }
                } else if (!last) {
                    // The byte that decides is in the next chunk.
                    heldCarriageReturn_ = true;
                    break;
                }
            }
            buffer_[out++] = b;
        }
        len_ = out;
        if (last) {
            ended_ = true;
        }
    }
    return len_ > 0;
}

} // namespace ervalun
