// The help window's reading of pages: the page's own character set, and page names with
// umlauts through the window's internal links.
#include <QUrl>

#include <gtest/gtest.h>

#include "platform/help_window.h"

namespace {

TEST(HelpPages, CharsetOfThePageDecidesHowItIsRead) {
  EXPECT_EQ(platform::decodeHtml("<meta charset=\"utf-8\">\xC3\xBC"), QString::fromUtf8("<meta charset=\"utf-8\">ü"));
  EXPECT_EQ(platform::decodeHtml("<meta content=\"text/html; charset=windows-1252\">\xFC\x80"),
            QString::fromUtf8("<meta content=\"text/html; charset=windows-1252\">ü€"));
  EXPECT_EQ(platform::decodeHtml("<meta charset=ISO-8859-1>\xFC\x80"),
            QString::fromUtf8("<meta charset=ISO-8859-1>ü") + QChar(0x80));
  EXPECT_EQ(platform::decodeHtml("\xEF\xBB\xBF<p>\xC3\xA4</p>"), QString::fromUtf8("<p>ä</p>"));
}

TEST(HelpPages, UrlsOfPagesKeepTheirUmlauts) {
  const QUrl url = platform::HelpWindow::pageUrl(QString::fromUtf8("erklärung.htm"));
  EXPECT_EQ(url.scheme(), "chm");
  EXPECT_EQ(platform::HelpWindow::pageOfUrl(url), QString::fromUtf8("erklärung.htm"));
  EXPECT_EQ(platform::HelpWindow::pageOfUrl(url.resolved(QUrl("bilder/farben.png"))), "bilder/farben.png");
  EXPECT_EQ(platform::HelpWindow::pageOfUrl(QUrl::fromEncoded("chm:/erkl%C3%A4rung.htm#regeln")),
            QString::fromUtf8("erklärung.htm"));
  EXPECT_EQ(platform::HelpWindow::pageOfUrl(QUrl("https://example.org/a.htm")), QString());
}

}  // namespace
