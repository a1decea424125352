// Word lists per script and the generator behind them.
#include "tools/pstgen/text_samples.h"

#include <cmath>
#include <vector>

namespace pstgen {
namespace {

const std::vector<std::string>& Words(Script script) {
  static const std::vector<std::string> kLatin = {
      "meeting",   "report", "budget",  "quarterly", "review",    "schedule", "déjà",
      "vu",        "naïve",  "Größe",   "Straße",    "über",      "café",     "résumé",
      "project",   "update", "invoice", "agenda",    "follow-up", "señor",    "mañana",
      "København", "Zürich", "Ålesund", "proposal",  "draft"};
  static const std::vector<std::string> kCyrillic = {
      "встреча",   "отчёт",    "бюджет", "проект", "письмо", "вопрос", "ответ",   "новости",
      "совещание", "документ", "Москва", "работа", "срочно", "привет", "спасибо", "план"};
  static const std::vector<std::string> kGreek = {
      "συνάντηση", "αναφορά",   "προϋπολογισμός", "έργο",    "μήνυμα", "ερώτηση", "απάντηση",
      "Αθήνα",     "ευχαριστώ", "σχέδιο",         "έγγραφο", "νέα",    "επείγον", "καλημέρα"};
  static const std::vector<std::string> kCjk = {
      "会议", "报告",   "预算",       "项目",     "邮件",   "问题", "回答", "新闻",       "東京",
      "会議", "報告書", "ありがとう", "お知らせ", "日本語", "중요", "회의", "안녕하세요", "文档"};
  static const std::vector<std::string> kArabic = {"اجتماع", "تقرير", "ميزانية", "مشروع",   "رسالة",
                                                   "سؤال",   "جواب",  "أخبار",   "القاهرة", "شكرا",
                                                   "خطة",    "وثيقة", "عاجل",    "مرحبا"};
  switch (script) {
    case Script::kLatin:
      return kLatin;
    case Script::kCyrillic:
      return kCyrillic;
    case Script::kGreek:
      return kGreek;
    case Script::kCjk:
      return kCjk;
    case Script::kArabic:
      return kArabic;
  }
  return kLatin;
}

const char* Separator(Script script) { return script == Script::kCjk ? "" : " "; }

}  // namespace

std::uint64_t Random::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t Random::LogBetween(std::uint64_t low, std::uint64_t high) {
  if (high <= low) return low;
  double span = std::log(double(high) / double(low ? low : 1));
  double x = double(Next() % 1000000) / 1000000.0;
  std::uint64_t v = std::uint64_t(double(low ? low : 1) * std::exp(span * x));
  return v < low ? low : v > high ? high : v;
}

std::string Phrase(Random& random, Script script, int words) {
  const auto& list = Words(script);
  std::string out;
  for (int i = 0; i < words; ++i) {
    if (i) out += Separator(script);
    out += list[random.Below(list.size())];
  }
  return out;
}

std::string BodyText(Random& random, Script script, std::size_t bytes) {
  std::string out;
  while (out.size() < bytes) {
    out += Phrase(random, script, 6 + int(random.Below(10)));
    out += random.Chance(0.2) ? ".\r\n\r\n" : ". ";
  }
  return out + "\r\n";
}

std::string PersonName(Random& random, Script script) {
  static const std::vector<std::string> kNames[kScriptCount] = {
      {"Anna Müller", "José García", "Émile Dubois", "John Smith", "Zoë Brontë"},
      {"Иван Петров", "Анна Смирнова", "Ольга Иванова"},
      {"Γιώργος Παπαδόπουλος", "Μαρία Κωνσταντίνου"},
      {"王伟", "李娜", "田中太郎", "김민준"},
      {"محمد علي", "فاطمة حسن"}};
  const auto& names = kNames[int(script)];
  return names[random.Below(names.size())];
}

std::string MailAddress(Random& random) {
  static const char* kUsers[] = {"anna",  "jose", "emile", "john",   "ivan",    "olga",
                                 "maria", "wei",  "taro",  "minjun", "mohamed", "fatima"};
  static const char* kDomains[] = {"example.com", "example.org", "mail.example.net"};
  // One draw per statement: the order of draws is what makes a seed's file, whatever the compiler.
  const char* domain = kDomains[random.Below(3)];
  const auto number = random.Below(100);
  const char* user = kUsers[random.Below(12)];
  return std::string(user) + "." + std::to_string(number) + "@" + domain;
}

}  // namespace pstgen
