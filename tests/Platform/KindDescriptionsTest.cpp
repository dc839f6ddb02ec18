#include "Platform/KindDescriptions.h"

#include <gtest/gtest.h>

TEST(KindDescriptions, ExtensionsAreCaseInsensitiveWithCapitalsAsFallback) {
    EXPECT_EQ(KindDescriptions::lowercasedExtension("/a/Photo.JPG"), "jpg");
    EXPECT_EQ(KindDescriptions::lowercasedExtension("/a/archive.tar.gz"), "gz");
    EXPECT_EQ(KindDescriptions::lowercasedExtension("/a.d/name"), "");
    EXPECT_EQ(KindDescriptions::lowercasedExtension("/a/.bashrc"), "");
    EXPECT_EQ(KindDescriptions::lowercasedExtension("/a/name."), "");

    KindDescriptions kinds;
    QString pdf = kinds.kind("/x/report.pdf");
    EXPECT_FALSE(pdf.isEmpty());
    EXPECT_NE(pdf, "PDF");  // the database knows PDF documents
    EXPECT_EQ(kinds.kind("/y/OTHER.PDF"), pdf);
    EXPECT_EQ(kinds.kind("/x/data.qzx9"), "QZX9");
    EXPECT_EQ(kinds.kind("/x/README"), "");
}
