#include "Models/CopyNames.h"

#include <gtest/gtest.h>

// The marks browsers, file managers and desktops give a second file of one name, before the
// extension and on folders; names that only look alike carry none.
TEST(CopyNames, TheMarksOfASavedAgainCopyAreToldFromNamesThatLookAlike) {
    for (const char* marked : {"photo (1).jpg", "photo (12).jpg", "photo(1).jpg", "report (copy).odt", "report (another copy).odt", "report (3rd copy).odt",
                               "report (21st copy).odt", "report (copy 2).odt", "budget - Copy.xlsx", "budget - Copy (2).xlsx", "Copy of budget.xlsx",
                               "Copy (2) of budget.xlsx", "notes copy.txt", "notes copy 2.txt", "archive (1).tar.gz", "Tool (1).AppImage", "OK Computer (2)", "Trip (copy)",
                               "Album - Copy", "v1.2 (1)", "Makefile (1)", "REPORT (COPY).ODT"})
        EXPECT_TRUE(CopyNames::carriesCopyMark(marked)) << marked;
    for (const char* plain : {"photo.jpg", "photo1.jpg", "(1).jpg", "copy.txt", "Copy of", "copyright.txt", "photocopy.pdf", "notes (draft).txt",
                              "Symphony No. 5 (1808).flac", "OK Computer (1997)", "notes copy 2019.txt", "budget-copy.xlsx", "track (a).mp3", "Copy (x) of budget.xlsx", "copy 2.txt", "OK Computer",
                              "archive.tar.gz", ".bashrc", "photo (1)x.jpg", "notebooks(copy).txt", " copy.txt"})
        EXPECT_FALSE(CopyNames::carriesCopyMark(plain)) << plain;
}
