// The message that tells the user which line of the directory to mend.
#include "data/directory_mistake.h"

#include <gtest/gtest.h>

#include <string>

TEST(Directory, MistakeMessageQuotesTheLineReadably) {
    ervalun::DirectoryMistake m{12, "W", true, "Col-du-G\xE9\x61nt 45 0 0 N 1 0 0 W"};
    const std::string text = ervalun::DirectoryMistakeMessage(m);
    EXPECT_EQ(text.rfind("Fichier ervalun.txt, ligne 12 : « W » n'est pas une lettre de "
                         "longitude (E ou O)",
                         0),
              0u)
        << text;
    // Latin-1 bytes are shown as the dialog shows names, in UTF-8.
    EXPECT_NE(text.find("\n\nCol-du-Géant 45 0 0 N 1 0 0 W\n\n"), std::string::npos) << text;

    // A long line is cut on a character, control bytes show as spaces.
    m.longitude = false;
    m.token = "4\t5";
    m.lineText = std::string(100, 'x') + "\xC3\xA9";
    m.lineText.insert(79, "\xC3\xA9");
    const std::string cut = ervalun::DirectoryMistakeMessage(m);
    EXPECT_NE(cut.find("« 4 5 » n'est pas une lettre de latitude (N ou S)"), std::string::npos);
    EXPECT_NE(cut.find("\n\n" + std::string(79, 'x') + "\xC3\xA9…\n\n"), std::string::npos) << cut;
}
