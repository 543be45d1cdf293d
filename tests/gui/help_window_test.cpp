// The help window: its text names every control of the window and explains
// the numbers the window shows; its contents list and links reach every
// heading; Ctrl+F and Enter find a word, wrapping round, and say so when the
// text holds it nowhere.
#include "main/help_window.h"

#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

TEST(HelpWindow, NamesEveryControlAndExplainsTheNumbersShown) {
    THelpWindow help(nullptr);
    const QString text = help.PlainText();
    for (const char* control : {"FileListBox1", "ListBox1", "Image1", "PaintBox1", "ScrollBar1",
                                "ScrollBar2", "PaintBox2", "ListBox2", "Scan", "cbScan",
                                "cbByPriznak", "cbPaintSteps", "Label1", "ByPriznak", "PaintSteps"})
        EXPECT_TRUE(text.contains(control)) << control;
    for (const char* plane : {"aNo1,", "aArH,", "aV,", "aGr,", "aGHH,", "aZ"})
        EXPECT_TRUE(text.contains(plane)) << plane;
    for (const char* words : {"counter", "rejected", "score", "tessavorin-batch", "Ctrl+R"})
        EXPECT_TRUE(text.contains(words, Qt::CaseInsensitive)) << words;
}

TEST(HelpWindow, ContentsAndLinksReachEveryHeading) {
    THelpWindow help(nullptr);
    const QStringList headings = help.Headings();
    ASSERT_GE(headings.size(), 8);
    EXPECT_EQ(headings.front(), "Tessavorin help");
    for (const QString& h : headings) {
        EXPECT_TRUE(help.ShowHeading(h)) << h.toStdString();
        EXPECT_TRUE(help.ShowHeading(THelpWindow::LinkName(h))) << h.toStdString();
    }
    EXPECT_EQ(THelpWindow::LinkName("How the scan scores a threshold"),
              "how-the-scan-scores-a-threshold");
    EXPECT_FALSE(help.ShowHeading("no such heading"));
    // Every link inside the text leads to a heading.
    QFile source(":/help.md");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString markdown = QString::fromUtf8(source.readAll());
    const QRegularExpression link(R"(\]\(#([a-z0-9-]+)\))");
    int links = 0;
    for (auto m = link.globalMatch(markdown); m.hasNext(); ++links)
        EXPECT_TRUE(help.ShowHeading(m.next().captured(1))) << links;
    EXPECT_GE(links, 10);
}

TEST(HelpWindow, CtrlFSearchesAndWrapsRound) {
    THelpWindow help(nullptr);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    QTest::keyClick(&help, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(help.SearchLine()->hasFocus());
    QTest::keyClicks(help.SearchLine(), "ScrollBar2");
    QTest::keyClick(help.SearchLine(), Qt::Key_Return);
    EXPECT_EQ(help.SelectedText(), "ScrollBar2");
    // Enter again and again walks on and comes round to the first place.
    for (int found = 1; found < 50; ++found) {
        ASSERT_TRUE(help.FindNext("ScrollBar2"));
        EXPECT_EQ(help.SelectedText(), "ScrollBar2");
    }
    EXPECT_FALSE(help.FindNext("a word the help never uses: zqxj"));
}
