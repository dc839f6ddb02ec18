#include "Platform/FileViewer.h"
#include "Views/Common/FileActionAlerts.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/PlainToolTip.h"

#include <QApplication>
#include <QClipboard>
#include <QTextDocument>

#include <QSignalSpy>

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

// Without any file manager or opener, each action says so once instead of doing nothing.
TEST(FileActions, ADesktopThatCannotOpenOrRevealIsReportedOnce) {
    QSignalSpy failures(&FileActionAlerts::shared(), &FileActionAlerts::failed);
    FileActions::setDesktop({[](const QUrl&) { return false; }, [](const std::filesystem::path&, std::function<void(bool)> done) { done(false); }});
    FileActions::reveal("/home/ana/Videos/clip.mp4");
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0][0].toString().contains("clip.mp4"));
    FileActions::open("/home/ana/notes.txt");
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures[1][0].toString().contains("notes.txt"));
    FileActions::setDesktop({});
}

TEST(FileActions, CopiedPathsAndToolTipsAreTheTextAsWritten) {
    FileActions::copyPath("/home/ana/<b>bold</b>");
    EXPECT_EQ(QApplication::clipboard()->text(), QString("/home/ana/<b>bold</b>"));
    QTextDocument shown;
    shown.setHtml(plainToolTip("/home/ana/<b>bold</b> & co"));
    EXPECT_EQ(shown.toPlainText(), QString("/home/ana/<b>bold</b> & co"));
}
