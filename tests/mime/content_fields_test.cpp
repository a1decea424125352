// Structured values: main value and parameters, content type operations.
#include <gtest/gtest.h>

#include "mime/content_fields.h"

namespace mime {
namespace {

TEST(Parameters, MainValueAndParametersByName) {
  const std::string text = "text/plain; charset=\"iso-8859-1\"; format=flowed, name=\"a;b.txt\"";
  EXPECT_EQ(mime::MainValue(text), "text/plain");
  EXPECT_EQ(mime::ParameterValue(text, "CHARSET"), "iso-8859-1");
  EXPECT_EQ(mime::ParameterValue(text, " format "), "flowed");
  EXPECT_EQ(mime::ParameterValue(text, "name"), "a;b.txt");
  EXPECT_EQ(mime::ParameterValue(text, "missing"), "");
}

TEST(Parameters, NamesByIndexCountFromTheFirstSeparator) {
  const std::string text = "attachment; filename=x; size = 10";
  EXPECT_EQ(mime::ParameterName(text, 0), "filename");
  EXPECT_EQ(mime::ParameterName(text, 1), "size");
  EXPECT_EQ(mime::ParameterName(text, 2), "");
  EXPECT_EQ(mime::ParameterName(text, -1), "attachment");
}

TEST(ContentType, DefaultsAndParts) {
  TMimeContentType type;
  type.SetText("Multipart/Mixed; boundary=\"b1\"");
  EXPECT_EQ(type.MimeType(), "Multipart/Mixed");
  EXPECT_EQ(type.Charset(), "us-ascii");
  EXPECT_EQ(type.BoundaryString(), "b1");
  EXPECT_EQ(type.MimeTypeMajor(), "Multipart");
  EXPECT_EQ(type.MimeTypeMinor(), "Mixed");
  type.SetText("noslash");
  EXPECT_EQ(type.MimeTypeMajor(), "");
  EXPECT_EQ(type.MimeTypeMinor(), "noslash");
}

TEST(ContentType, MimeTypeTestIsCaseSensitivePrefix) {
  TMimeContentType type;
  type.SetText("Multipart/Mixed; boundary=b");
  EXPECT_FALSE(type.MatchesMimeType("multipart/"));
  type.SetText("multipart/mixed; boundary=b");
  EXPECT_TRUE(type.MatchesMimeType("multipart/"));
  EXPECT_TRUE(type.MatchesMimeType("multipart/mixed"));
  EXPECT_TRUE(type.MatchesCharset("US-ASCII"));
}

TEST(ContentType, SettersKeepParametersAndNotify) {
  TMimeContentType type;
  int notified = 0;
  type.SetChangeHandler([&](TMimeHeaderItem&) { ++notified; });
  type.SetText("text/plain; charset=us-ascii");
  type.SetMimeType("text/html");
  EXPECT_EQ(type.GetText(), "text/html; charset=us-ascii");
  type.SetCharset("utf-8");
  EXPECT_EQ(type.GetText(), "text/html; charset=utf-8");
  type.SetName("a.htm");
  EXPECT_EQ(type.GetText(), "text/html; charset=utf-8; name=\"a.htm\"");
  type.SetText("image/png");
  type.SetMimeType("image/gif");
  EXPECT_EQ(type.GetText(), "image/gif");
  EXPECT_EQ(notified, 6);
}

TEST(TransferEncodingAndDisposition, ReadTheirValues) {
  TMimeContentTransferEncoding encoding;
  encoding.SetText(" Base64 ");
  EXPECT_EQ(encoding.EncodingType(), "Base64");
  EXPECT_TRUE(encoding.MatchesType("base64"));
  TMimeContentDisposition disposition;
  disposition.SetText("attachment; filename=\"report.pdf\"");
  EXPECT_EQ(disposition.Disposition(), "attachment");
  EXPECT_EQ(disposition.Filename(), "report.pdf");
  EXPECT_EQ(disposition.ParamValueByName("FILENAME"), "report.pdf");
  EXPECT_EQ(disposition.ParamNameByIndex(0), "filename");
}

}  // namespace
}  // namespace mime
