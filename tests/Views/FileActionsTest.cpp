#include "Platform/FileViewer.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/PlainToolTip.h"

#include <QApplication>
#include <QClipboard>
#include <QTextDocument>

#include <gtest/gtest.h>

TEST(FileActions, UrlsKeepTheExactBytesOfAPath) {
    EXPECT_EQ(FileViewer::url("/home/ana/My Files/a#b?.txt").toEncoded(), QByteArray("file:///home/ana/My%20Files/a%23b%3F.txt"));
    EXPECT_EQ(FileViewer::url("/tmp/\xff\xfe raw").toEncoded(), QByteArray("file:///tmp/%FF%FE%20raw"));
    EXPECT_EQ(FileViewer::url("/tmp/-rf\nnew").toEncoded(), QByteArray("file:///tmp/-rf%0Anew"));
}

TEST(FileActions, RevealFallsBackToOpeningTheParentFolder) {
    std::vector<QUrl> opened;
    bool managerAnswers = false;
    FileActions::setDesktop({[&](const QUrl& url) { opened.push_back(url); return true; },
                             [&](const std::filesystem::path&, std::function<void(bool)> done) { done(managerAnswers); }});
    FileActions::reveal("/home/ana/Videos/clip.mp4");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toEncoded(), QByteArray("file:///home/ana/Videos"));
    managerAnswers = true;
    FileActions::reveal("/home/ana/Videos/clip.mp4");
    EXPECT_EQ(opened.size(), 1u);  // the file manager showed it; nothing else opens
    FileActions::open("/home/ana/Videos");
    EXPECT_EQ(opened.back().toEncoded(), QByteArray("file:///home/ana/Videos"));
    FileActions::setDesktop({});
}

TEST(FileActions, CopiedPathsAndToolTipsAreTheTextAsWritten) {
    FileActions::copyPath("/home/ana/<b>bold</b>");
    EXPECT_EQ(QApplication::clipboard()->text(), QString("/home/ana/<b>bold</b>"));
    QTextDocument shown;
    shown.setHtml(plainToolTip("/home/ana/<b>bold</b> & co"));
    EXPECT_EQ(shown.toPlainText(), QString("/home/ana/<b>bold</b> & co"));
}
