// The derivations themselves: HTML into encapsulating RTF and back out through the composition's
// HTML scanner (fixed cases and generated ones), and HTML to plain text.
#include <gtest/gtest.h>

#include <random>

#include "compose/rtf_body.h"
#include "mime/numeric_references.h"
#include "platform/mapilib/html_to_rtf.h"
#include "platform/mapilib/html_to_text.h"
#include "support/rtf/rtf_extract.h"

namespace mapilib {
namespace {

std::string AsIs(std::string_view bytes, std::string_view) { return std::string(bytes); }

// Pieces generated HTML is made of: markup with braces and backslashes in attributes, CSS,
// scripts, RTF look-alikes, non-ASCII text and every kind of line end.
constexpr std::string_view kPieces[] = {"<html>",
                                        "</html>",
                                        "<p class=\"a{b}\">",
                                        "</p>",
                                        "<br>",
                                        "<div style='x:\\\\y'>",
                                        "<style>p { color: red; } a:hover{}</style>",
                                        "<script>if (a) { b = \"\\\\\"; }</script>",
                                        "{\\rtf1 \\par}",
                                        "\\'e9",
                                        "\\u1046?",
                                        "&amp;",
                                        "&#233;",
                                        "caf\xC3\xA9",
                                        "\xD0\x96\xD0\xB5",
                                        "\xE4\xB8\xAD\xE6\x96\x87",
                                        "\xF0\x9F\x98\x80",
                                        "\r\n",
                                        "\n",
                                        "\r",
                                        "\t",
                                        " ",
                                        "  ",
                                        "text",
                                        "<!-- {comment} -->",
                                        "}",
                                        "{",
                                        "\\",
                                        "<a href=\"C:\\\\dir\\\\{x}\">link</a>"};

std::string GeneratedHtml(std::mt19937& random) {
  std::uniform_int_distribution<std::size_t> count(0, 40), piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> ascii(1, 0x7F);
  std::string html;
  for (std::size_t n = count(random); n > 0; --n) {
    html += kPieces[piece(random)];
    if (n % 7 == 0) html += static_cast<char>(ascii(random));
  }
  return html;
}

TEST(HtmlRtfRoundTripTest, ComposedHtmlIsTheStoredHtml) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 3000; ++i) {
    const std::string html = GeneratedHtml(random);
    // The composition writes UTF-8 text with character references: the same text, byte for byte
    // where it is ASCII.
    ASSERT_EQ(compose::HtmlFromRtf(EncapsulateHtml(html, 65001)), mime::ToNumericReferences(html))
        << "input " << i << ": " << html;
  }
}

TEST(HtmlRtfRoundTripTest, EveryByteButNulComesBackInItsCodePage) {
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
  const std::string rtf = EncapsulateHtml(bytes + std::string(1, '\0'), 1251);
  EXPECT_EQ(rtf::TakeFromRtf(rtf, rtf::Take::kHtml, AsIs), bytes);
  EXPECT_EQ(rtf.size(), EncapsulatingRtfHead(1251).size() + EscapedHtmlSize(bytes) +
                            kEncapsulatingRtfTail.size());
  EXPECT_NE(rtf.find("\\ansicpg1251"), std::string::npos);
  // Through the composition the code page's text becomes references to its characters.
  EXPECT_EQ(compose::HtmlFromRtf(EncapsulateHtml("caf\xE9", 1252)), "caf&#233;");
}

TEST(HtmlToTextTest, ShowsWhatAReaderSees) {
  const struct {
    std::string_view html, text;
  } cases[] = {
      {"<p>One</p><p>Two</p>", "One\r\nTwo"},
      {"a<br>b<BR/>c", "a\r\nb\r\nc"},
      {"&lt;x&gt; &amp; &#233;&#x20AC;&eacute;&nbsp;&bogus; & alone",
       "<x> & \xC3\xA9\xE2\x82\xAC\xC3\xA9 &bogus; & alone"},
      {"<head><title>T</title><style>p{}</style></head><script>a='</p>';</script><!-- c -->Hi",
       "Hi"},
      {"<a href=\"x>y\">link text</a> after", "link text after"},
      {"  lots   of\r\n  space  ", "lots of space"},
      {"<pre>a\r\n  b</pre>after", "a\r\n  b\r\nafter"},
      {"<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>", "1\t2\r\n3"},
      {"x < y and 3<4", "x < y and 3<4"},
      {"<div>unclosed <b", "unclosed"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlToText(c.html), c.text) << c.html;
}

}  // namespace
}  // namespace mapilib
