#include "data/text_reader.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using ervalun::TextReader;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

std::string ReadAll(TextReader& reader) {
    std::string text;
    for (int c = reader.Next(); c >= 0; c = reader.Next()) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

std::string ReadWithChunk(const std::string& bytes, std::size_t chunk) {
    WriteFile("in.txt", bytes);
    TextReader reader("in.txt", chunk);
    EXPECT_TRUE(reader.IsOpen());
    return ReadAll(reader);
}

} // namespace

TEST(TextReader, TranslatesLineEndsAndControlZAtEveryChunkBoundary) {
    ScopedWorkDir dir;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a\r\nb\r\n", "a\nb\n"},
        {"a\rb", "a\rb"},
        {"\r\r\n", "\r\n"},
        {"\r\n\r\n\r\n", "\n\n\n"},
        {"a\r", "a\r"},
        {"\r", "\r"},
        {"\n\r", "\n\r"},
        {"ab\x1A"
         "cd\r\n",
         "ab"},
        {"a\r\x1A\n", "a\r"},
        {"\x1A", ""},
        {"", ""},
        {"x\r\ny\rz\r\r\n\r", "x\ny\rz\r\n\r"},
    };
    for (const auto& [input, expected] : cases) {
        WriteFile("in.txt", input);
        for (const std::size_t chunk : {2, 3, 4, 5, 6, 7, 8, 65536}) {
            TextReader reader("in.txt", chunk);
            EXPECT_EQ(ReadAll(reader), expected) << "chunk " << chunk;
        }
    }
}

TEST(TextReader, CarriageReturnAtTheEndOfAFullChunk) {
    ScopedWorkDir dir;
    // The carriage return is the last byte of the first chunk, its line feed the first of the
    // second.
    std::string bytes(TextReader::kChunkSize - 1, 'a');
    bytes += "\r\nb\r";
    std::string expected(TextReader::kChunkSize - 1, 'a');
    expected += "\nb\r";
    EXPECT_EQ(ReadWithChunk(bytes, TextReader::kChunkSize), expected);

    // A lone one there stays a byte; a file ending exactly on a chunk keeps its last one.
    bytes = std::string(TextReader::kChunkSize - 1, 'a') + "\rb";
    EXPECT_EQ(ReadWithChunk(bytes, TextReader::kChunkSize), bytes);
    bytes = std::string(TextReader::kChunkSize - 1, 'a') + "\r";
    EXPECT_EQ(ReadWithChunk(bytes, TextReader::kChunkSize), bytes);

    // Many lines across many chunks.
    std::string crlf;
    std::string lf;
    for (int i = 0; i < 50000; ++i) {
        crlf += std::to_string(i) + "\r\n";
        lf += std::to_string(i) + "\n";
    }
    EXPECT_EQ(ReadWithChunk(crlf, TextReader::kChunkSize), lf);
}

TEST(TextReader, ChunksAndSingleBytesTakeTheSameText) {
    ScopedWorkDir dir;
    WriteFile("in.txt", "ab\r\ncd\re\r\r\nfg\x1Ahi");
    for (const std::size_t chunk : {2, 3, 5, 65536}) {
        TextReader reader("in.txt", chunk);
        std::string text;
        text.push_back(static_cast<char>(reader.Next()));
        for (std::string_view part = reader.TakeChunk(); !part.empty(); part = reader.TakeChunk()) {
            text += part;
            const int c = reader.Next();
            if (c >= 0) {
                text.push_back(static_cast<char>(c));
            }
        }
        EXPECT_EQ(text, "ab\ncd\re\r\nfg") << "chunk " << chunk;
        EXPECT_TRUE(reader.TakeChunk().empty());
        EXPECT_EQ(reader.Next(), -1);
    }
}

TEST(TextReader, GivesEveryByteValueAsNonNegative) {
    ScopedWorkDir dir;
    WriteFile("in.txt", std::string("\xFF\x80", 2) + std::string(1, '\0') + "\t");
    TextReader reader("in.txt");
    EXPECT_EQ(reader.Next(), 0xFF);
    EXPECT_EQ(reader.Next(), 0x80);
    EXPECT_EQ(reader.Next(), 0);
    EXPECT_EQ(reader.Next(), '\t');
    EXPECT_EQ(reader.Next(), -1);
    EXPECT_EQ(reader.Next(), -1);
}

TEST(TextReader, MissingFileFolderAndBadNameAreNotOpen) {
    ScopedWorkDir dir;
    EXPECT_FALSE(TextReader("absent.txt").IsOpen());
    EXPECT_FALSE(std::filesystem::exists("absent.txt")) << "opening must not create the file";
    std::filesystem::create_directory("folder.txt");
    EXPECT_FALSE(TextReader("folder.txt").IsOpen());
    WriteFile("a", "x");
    EXPECT_FALSE(TextReader(std::string("a\0b", 3)).IsOpen());
    EXPECT_FALSE(TextReader("").IsOpen());

    TextReader closed("absent.txt");
    EXPECT_EQ(closed.Next(), -1);
}
