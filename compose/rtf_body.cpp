// The RTF scanners. Both walk the text once: braces open and close groups, a backslash starts a
// control word that ends at the next blank, line break, backslash or brace, and text is kept only
// where the scanner's context test holds for the current group.
#include "compose/rtf_body.h"

#include <vector>

#include "compose/char_codes.h"
#include "platform/os/text_compare.h"

namespace compose {
namespace {

// RTF without \ansicpg is in the ANSI default code page.
constexpr std::string_view kDefaultCodePage = "1252";

enum class Mode { kHtml, kText };

bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         os::EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

class RtfScanner {
 public:
  explicit RtfScanner(Mode mode) : mode_(mode) {}

  std::string Scan(std::string_view rtf) {
    for (std::size_t pos = 0; pos < rtf.size(); ++pos) Step(rtf, pos);
    const std::string_view code_page = code_page_.empty() ? kDefaultCodePage : code_page_;
    std::string converted = ConvertCharset(output_, code_page, "utf8");
    return mode_ == Mode::kHtml ? Utf8ToCharRefs(converted) : converted;
  }

 private:
  void Step(std::string_view rtf, std::size_t pos) {
    const char c = rtf[pos];
    if (pos > 0 && rtf[pos - 1] == '\\' && (c == '{' || c == '}')) {
      token_ += c;
      return;
    }
    switch (c) {
      case '{':
        Flush("");
        ++depth_;
        break;
      case '}':
        Flush("");
        while (!stack_.empty() && stack_.back().depth == depth_) stack_.pop_back();
        --depth_;
        break;
      case '\\':
        Flush("");
        in_control_ = true;
        break;
      case ' ':
        Flush(" ");
        break;
      case '\r':
        Flush(mode_ == Mode::kHtml ? "\r" : "");
        break;
      case '\n':
        Flush(mode_ == Mode::kHtml ? "\n" : "");
        break;
      default:
        token_ += c;
    }
  }

  void Flush(std::string_view delimiter) {
    if (in_control_) {
      ControlWord(token_, delimiter);
    } else {
      Text(token_, delimiter);
    }
    token_.clear();
    in_control_ = false;
  }

  void Text(std::string_view text, std::string_view delimiter) {
    if (!InContext()) return;
    output_ += text;
    output_ += delimiter;
  }

  void ControlWord(const std::string& word, std::string_view delimiter) {
    if (!word.empty() && word[0] == '\'') {
      const char byte = static_cast<char>(ParseHexDigits(word.substr(1, 2)) & 0xFF);
      Text(std::string(1, byte) + (word.size() > 3 ? word.substr(3) : std::string()), delimiter);
    } else if (StartsWithIgnoreAsciiCase(word, "ansicpg")) {
      code_page_ = word.substr(7);
    } else if (os::EqualsIgnoreAsciiCase(word, "par")) {
      Text("", "\r\n");
    } else {
      if (mode_ == Mode::kHtml) EmitTagText(word);
      Push(word);
    }
  }

  // A tag written directly behind \htmltagN reaches the output whatever the context.
  void EmitTagText(const std::string& word) {
    if (!word.starts_with("htmltag")) return;
    const std::size_t open = word.find('<');
    if (open == std::string::npos) return;
    output_.append(word, open);
    if (word.back() != '>') output_ += ' ';
  }

  // Words are kept only as their depth and whether they, or a word of the same run of that depth
  // below them on the stack, open the context; the test then looks at the top entry alone.
  bool OpensContext(std::string_view word) const {
    if (mode_ == Mode::kText) return os::EqualsIgnoreAsciiCase(word, "fromtext");
    return StartsWithIgnoreAsciiCase(word, "htmltag") || StartsWithIgnoreAsciiCase(word, "htmlrtf");
  }

  void Push(std::string_view word) {
    const bool below = !stack_.empty() && stack_.back().depth == depth_ && stack_.back().context;
    stack_.push_back({depth_, below || OpensContext(word)});
  }

  // The current group has seen a control word that lets its text through.
  bool InContext() const {
    return !stack_.empty() && stack_.back().depth == depth_ && stack_.back().context;
  }

  struct Entry {
    long depth;
    bool context;
  };

  Mode mode_;
  std::string output_;
  std::string token_;
  bool in_control_ = false;
  long depth_ = 0;
  std::vector<Entry> stack_;
  std::string code_page_;
};

}  // namespace

bool IsHtmlRtf(std::string_view rtf) { return rtf.find("\\fromhtml") != std::string_view::npos; }
bool IsTextRtf(std::string_view rtf) { return rtf.find("\\fromtext") != std::string_view::npos; }

std::string HtmlFromRtf(std::string_view rtf) { return RtfScanner(Mode::kHtml).Scan(rtf); }
std::string TextFromRtf(std::string_view rtf) { return RtfScanner(Mode::kText).Scan(rtf); }

}  // namespace compose
