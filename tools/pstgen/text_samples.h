// Words and sentences in several scripts (Latin, Cyrillic, Greek, CJK, Arabic) for synthetic
// subjects, names and bodies, drawn deterministically from a seeded generator.
#pragma once

#include <cstdint>
#include <string>

namespace pstgen {

// A small deterministic generator (splitmix64), the same sequence on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform in [0, n).
  std::uint64_t Below(std::uint64_t n) { return n ? Next() % n : 0; }
  // True with probability p.
  bool Chance(double p) { return double(Next() % 1000000) < p * 1000000.0; }
  // Roughly log-uniform in [low, high].
  std::uint64_t LogBetween(std::uint64_t low, std::uint64_t high);

 private:
  std::uint64_t state_;
};

enum class Script { kLatin, kCyrillic, kGreek, kCjk, kArabic };
constexpr int kScriptCount = 5;

// A phrase of n words in the script.
std::string Phrase(Random& random, Script script, int words);
// Paragraphs of about `bytes` bytes of UTF-8 text, lines ending in "\r\n".
std::string BodyText(Random& random, Script script, std::size_t bytes);
// A person's name in the script, and a plain ASCII mail address for it.
std::string PersonName(Random& random, Script script);
std::string MailAddress(Random& random);

}  // namespace pstgen
