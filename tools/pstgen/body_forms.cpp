// The body-form messages.
#include "tools/pstgen/body_forms.h"

#include <string>

#include "tools/pstwriter/mapi_tags.h"
#include "tools/pstwriter/message_helpers.h"
#include "tools/pstwriter/rtf_body.h"

namespace pstgen {
namespace {

using namespace pstwriter;

constexpr std::int64_t kTime = 1704200000;

// A word in the store's script: Cyrillic for 1251, Greek for 1253, Latin accents elsewhere.
std::string LocalWord(std::uint32_t code_page) {
  switch (code_page) {
    case 1251:
      return "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
    case 1253:
      return "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC";  // Γειά
    default:
      return "Gr\xC3\xBC\xC3\x9F"
             "e";  // Grüße
  }
}

Message Mail(const std::string& subject, int n, std::uint32_t code_page) {
  Message m = MakeMail(subject, "Body Forms", "forms@example.com", kTime + n * 60);
  m.props.SetInt32(tags::kMessageCodepage, static_cast<std::int32_t>(code_page));
  m.recipients.push_back(MakeRecipient(tags::kRecipientTo, "Reader", "reader@example.com"));
  SetDisplayRecipients(m);
  return m;
}

// RTF encapsulating HTML as a mail client writes it: tags in \*\htmltag groups, the visible text
// both HTML and RTF, and RTF-only stretches between \htmlrtf and \htmlrtf0.
std::string ClientHtmlRtf(std::uint32_t code_page) {
  return "{\\rtf1\\ansi\\ansicpg" + std::to_string(code_page) +
         "\\fromhtml1 \\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
         "{\\*\\htmltag19 <html>}{\\*\\htmltag34 <head>}"
         "{\\*\\htmltag241 <style>p \\{ margin: 0; \\}</style>}{\\*\\htmltag41 </head>}"
         "{\\*\\htmltag50 <body>}\\htmlrtf {\\htmlrtf0 {\\*\\htmltag64 <p>}\r\n"
         "Client \\'e0 HTML with C:\\\\temp\\\\\\{x\\}\\htmlrtf \\par \\htmlrtf0 "
         "{\\*\\htmltag72 </p>}\\htmlrtf }\\htmlrtf0 {\\*\\htmltag58 </body>}{\\*\\htmltag27 "
         "</html>}}";
}

// RTF encapsulating text with the escapes and groups a reader must follow.
std::string ClientTextRtf() {
  return "{\\rtf1\\ansi\\ansicpg1252\\fromtext \\deff0{\\fonttbl{\\f0\\fmodern Courier;}}"
         "{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator writer;}\r\n"
         "\\uc1\\f0 Path C:\\\\temp\\\\file.txt, braces \\{x\\},\\tab tab{\\b  bold {\\i nested}}"
         "\\line \\u1046?\\u1077?\\u1085?\\u1103? end\\par\r\n}";
}

}  // namespace

int WriteBodyForms(PstBuilder& b, FolderId folder, int n, std::uint32_t code_page) {
  const std::string word = LocalWord(code_page);
  const std::string text = "Plain text " + word + ".\r\nSecond line.\r\n";
  const std::string html = "<html><head><style>p { color: #333; }</style></head><body><p>HTML " +
                           word + " &amp; more</p><p>Second\r\nparagraph</p></body></html>";
  auto add = [&](Message m) {
    b.AddMessage(folder, m);
    ++n;
  };
  {
    Message m = Mail("Form: HTML only, binary", n, code_page);
    SetHtmlBody(m, html);
    m.props.SetInt32(tags::kInternetCodepage, 65001);
    add(std::move(m));
  }
  {
    Message m = Mail("Form: HTML only, string", n, code_page);
    m.props.SetString(tags::kHtml, html);
    add(std::move(m));
  }
  {
    Message m = Mail("Form: HTML and plain, no RTF", n, code_page);
    m.props.SetString(tags::kBody, text);
    SetHtmlBody(m, html);
    m.props.SetInt32(tags::kInternetCodepage, 65001);
    add(std::move(m));
  }
  {
    Message m = Mail("Form: native RTF only", n, code_page);
    SetRtfBody(m, NativeRtf(text), true);
    add(std::move(m));
  }
  {
    Message m = Mail("Form: RTF encapsulating HTML", n, code_page);
    SetRtfBody(m, ClientHtmlRtf(code_page), true);
    add(std::move(m));
  }
  {
    Message m = Mail("Form: RTF encapsulating text", n, code_page);
    SetRtfBody(m, ClientTextRtf(), true);
    add(std::move(m));
  }
  {
    Message m = Mail("Form: plain only", n, code_page);
    m.props.SetString(tags::kBody, text);
    add(std::move(m));
  }
  {
    Message m = Mail("Form: plain with its terminator", n, code_page);
    m.props.SetString(tags::kBody, text + '\0');
    add(std::move(m));
  }
  {
    Message m = Mail("Form: none", n, code_page);
    add(std::move(m));
  }
  return n;
}

int WriteBodyFormStore(PstBuilder& b, std::uint32_t code_page) {
  const FolderId inbox = b.AddFolder(b.ipm_subtree(), "Inbox");
  b.SetSpecialFolder(SpecialFolder::kInbox, inbox);
  return WriteBodyForms(b, inbox, 0, code_page);
}

}  // namespace pstgen
