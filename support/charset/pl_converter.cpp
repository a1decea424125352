// The conversion loop: decode a run of characters, encode the run, write the bytes in one block.
#include "support/charset/pl_converter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "support/charset/charset_registry.h"

namespace charset {

namespace {

// Characters decoded and encoded per round.
constexpr std::size_t kRoundCharacters = 4096;
// Bytes read from a source stream at a time.
constexpr std::size_t kReadBytes = 64 * 1024;

constexpr TPlCodePoint kCarriageReturn = 13;
constexpr TPlCodePoint kLineFeed = 10;

}  // namespace

// Where encoded bytes go: a string or a stream.
class TPlConverter::Output {
 public:
  explicit Output(std::string* text) : text_(text) {}
  explicit Output(std::ostream* stream) : stream_(stream) {}
  void Write(const char* bytes, std::size_t size) {
    if (size == 0) return;
    if (text_) {
      text_->append(bytes, size);
    } else {
      stream_->write(bytes, static_cast<std::streamsize>(size));
    }
  }

 private:
  std::string* text_ = nullptr;
  std::ostream* stream_ = nullptr;
};

TPlConverter::TPlConverter(std::string_view source_name, std::string_view destination_name)
    : source_(TPlCharsetRegistry::Instance().Create(source_name)),
      destination_(TPlCharsetRegistry::Instance().Create(destination_name)) {}

TPlConverter::~TPlConverter() = default;

// Every set decodes at most one character per byte, so a short text needs only a short round.
void TPlConverter::Reserve(std::size_t characters) {
  if (characters <= round_characters_) return;
  round_characters_ = characters;
  code_points_.reset(new TPlCodePoint[characters]);
  // Per character: a hook's bytes and the character's (or its replacement's) bytes; then the
  // bytes that finish the conversion.
  const std::size_t per_character = 2 * static_cast<std::size_t>(destination_->MaxBytesPerChar());
  encoded_.reset(new char[characters * per_character + kPlMaxBytesPerCall]);
}

void TPlConverter::Start() {
  source_->Reset();
  destination_->Reset();
  after_line_break_ = false;
}

std::string TPlConverter::Convert(std::string_view source, unsigned options) {
  std::string result;
  if (source.empty()) return result;
  result.reserve(source.size());
  Output out(&result);
  Reserve(std::min(source.size(), kRoundCharacters));
  Start();
  std::size_t characters_left = SIZE_MAX;
  ConvertAvailable(source, out, characters_left, options);
  const int finish = destination_->Finish(encoded_.get());
  out.Write(encoded_.get(), static_cast<std::size_t>(finish));
  return result;
}

void TPlConverter::ConvertStream(std::istream& source, std::ostream& destination,
                                 std::size_t character_limit, unsigned options) {
  Output out(&destination);
  Reserve(kRoundCharacters);
  Start();
  std::streambuf* input = source.rdbuf();
  std::size_t characters_left = character_limit == 0 ? SIZE_MAX : character_limit;
  std::unique_ptr<char[]> buffer(new char[kReadBytes]);
  std::size_t held = 0;  // unconverted bytes at the front of buffer
  bool more = input != nullptr;
  while (more) {
    const std::streamsize got =
        input->sgetn(buffer.get() + held, static_cast<std::streamsize>(kReadBytes - held));
    if (got <= 0) break;
    held += static_cast<std::size_t>(got);
    std::string_view pending(buffer.get(), held);
    more = ConvertAvailable(pending, out, characters_left, options);
    std::memmove(buffer.get(), pending.data(), pending.size());
    held = pending.size();
    // A buffer full of one unfinished sequence cannot make progress.
    if (held == kReadBytes) break;
  }
  // What was not converted (the rest after the limit, an incomplete sequence at the end) stays
  // in the source when it can seek back.
  if (held > 0) input->pubseekoff(-static_cast<std::streamoff>(held), std::ios::cur, std::ios::in);
  const int finish = destination_->Finish(encoded_.get());
  out.Write(encoded_.get(), static_cast<std::size_t>(finish));
}

bool TPlConverter::ConvertAvailable(std::string_view& pending, Output& out,
                                    std::size_t& characters_left, unsigned options) {
  while (!pending.empty()) {
    if (characters_left == 0) return false;
    const std::size_t want = std::min(characters_left, round_characters_);
    const TPlDecodedRun run = source_->DecodeRun(pending, {code_points_.get(), want});
    if (run.consumed == 0) break;  // only an incomplete sequence is left
    pending.remove_prefix(run.consumed);
    characters_left -= run.produced;
    Emit(code_points_.get(), run.produced, out, options);
  }
  return characters_left != 0;
}

void TPlConverter::Emit(const TPlCodePoint* cps, std::size_t count, Output& out, unsigned options) {
  if (destination_->UsesLineHooks()) {
    EmitOneByOne(cps, count, out, options);
    return;
  }
  // Stateless destination: the line hooks do nothing, so runs between characters that need a
  // replacement are encoded in one call.
  char* const start = encoded_.get();
  char* at = start;
  std::size_t done = 0;
  while (done < count) {
    std::size_t end = done;
    while (end < count && cps[end] != kPlUndecodable) ++end;
    std::size_t written = 0;
    done += destination_->EncodeRun({cps + done, end - done}, at, written);
    at += written;
    if (done < count) {
      at = Unconvertible(at, out, options);
      ++done;
    }
  }
  out.Write(start, static_cast<std::size_t>(at - start));
}

void TPlConverter::EmitOneByOne(const TPlCodePoint* cps, std::size_t count, Output& out,
                                unsigned options) {
  char* const start = encoded_.get();
  char* at = start;
  for (std::size_t i = 0; i < count; ++i) {
    const TPlCodePoint cp = cps[i];
    if (cp == kCarriageReturn || cp == kLineFeed) {
      if (!after_line_break_) at += destination_->LineBreak(at);
      after_line_break_ = true;
    } else if (after_line_break_) {
      at += destination_->Text(at);
      after_line_break_ = false;
    }
    const int written = cp == kPlUndecodable ? -1 : destination_->Encode(cp, at);
    if (written < 0) {
      at = Unconvertible(at, out, options);
    } else {
      at += written;
    }
  }
  out.Write(start, static_cast<std::size_t>(at - start));
}

char* TPlConverter::Unconvertible(char* at, Output& out, unsigned options) {
  if (options & kPlRaiseIllegal) {
    out.Write(encoded_.get(), static_cast<std::size_t>(at - encoded_.get()));
    throw TPlConvertError();
  }
  if (options & kPlDropIllegal) return at;
  if (options & kPlUnicodeReplacement) {
    const int written = destination_->Encode(kPlUndecodable, at);
    if (written > 0) return at + written;
  }
  const int written = destination_->Encode(destination_->ReplacementChar(), at);
  return written > 0 ? at + written : at;
}

}  // namespace charset
