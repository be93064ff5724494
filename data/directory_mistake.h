#pragma once

#include <cstddef>
#include <string>

namespace ervalun {

// The first hemisphere field of the directory that holds neither "N"/"S" (latitude) nor
// "E"/"O" (longitude). The reader takes it as north or east all the same; but it is most often
// an English "W", or a name with a space that has shifted every later field by one.
struct DirectoryMistake {
    std::size_t line = 0; // 1 for the first line of the file
    std::string token;    // the field as read
    bool longitude = false;
    std::string lineText; // that line of the file, cut to a readable length
};

// The French message that tells the user which line to mend. UTF-8.
std::string DirectoryMistakeMessage(const DirectoryMistake& mistake);

} // namespace ervalun
