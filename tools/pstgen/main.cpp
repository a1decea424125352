// pstgen: writes a deterministic synthetic personal-folders file from a seed, or the bundled
// sample.
//
//   pstgen --seed N --out FILE [--messages N] [--size-mb N] [--folders N | --one-folder]
//          [--ansi | --4k]
//          [--encoding none|permute|cyclic] [--html-share P] [--html-rtf-share P]
//          [--text-rtf-share P] [--attachment-share P] [--embedded-share P]
//          [--max-attachment-kb N] [--max-body-kb N] [--password TEXT]
//   pstgen --sample --out FILE
//   pstgen --body-forms --out FILE [--ansi] [--code-page N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "tools/pstgen/body_forms.h"
#include "tools/pstgen/corpus_generator.h"
#include "tools/pstgen/sample_store.h"
#include "tools/pstwriter/pst_builder.h"

namespace {

struct Arguments {
  pstgen::CorpusOptions corpus;
  pstwriter::StoreOptions store;
  std::string out;
  bool sample = false;
  bool body_forms = false;
};

[[noreturn]] void Usage(const std::string& problem) {
  std::cerr << "pstgen: " << problem << "\n"
            << "usage: pstgen --seed N --out FILE [--messages N] [--size-mb N]\n"
            << "              [--folders N | --one-folder] [--ansi | --4k]\n"
            << "              [--encoding none|permute|cyclic] [--html-share P]\n"
            << "              [--html-rtf-share P] [--text-rtf-share P] [--attachment-share P]\n"
            << "              [--embedded-share P] [--max-attachment-kb N] [--max-body-kb N]\n"
            << "              [--password TEXT]\n"
            << "       pstgen --sample --out FILE\n"
            << "       pstgen --body-forms --out FILE [--ansi] [--code-page N]\n";
  std::exit(2);
}

std::uint64_t Number(const std::string& flag, const char* text) {
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (!*text || *end) Usage(flag + " needs a whole number");
  return v;
}

double Share(const std::string& flag, const char* text) {
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (!*text || *end || v < 0 || v > 1) Usage(flag + " needs a share between 0 and 1");
  return v;
}

Arguments Parse(int argc, char** argv) {
  Arguments a;
  bool seeded = false;
  for (int i = 1; i < argc; ++i) {
    std::string flag = argv[i];
    if (flag == "--sample") {
      a.sample = true;
      continue;
    }
    if (flag == "--body-forms") {
      a.body_forms = true;
      continue;
    }
    if (flag == "--one-folder") {
      a.corpus.one_folder = true;
      a.corpus.folders = 0;
      continue;
    }
    if (flag == "--ansi") {
      a.store.format = pstwriter::FileFormat::kAnsi;
      a.corpus.latin_only = true;
      continue;
    }
    if (flag == "--4k") {
      a.store.format = pstwriter::FileFormat::kUnicode4k;
      continue;
    }
    if (i + 1 >= argc) Usage(flag + " needs a value");
    const char* v = argv[++i];
    if (flag == "--seed") {
      a.corpus.seed = Number(flag, v);
      seeded = true;
    } else if (flag == "--out")
      a.out = v;
    else if (flag == "--messages")
      a.corpus.messages = Number(flag, v);
    else if (flag == "--size-mb")
      a.corpus.size_mb = Number(flag, v);
    else if (flag == "--folders")
      a.corpus.folders = int(Number(flag, v));
    else if (flag == "--html-share")
      a.corpus.html_share = Share(flag, v);
    else if (flag == "--html-rtf-share")
      a.corpus.html_rtf_share = Share(flag, v);
    else if (flag == "--text-rtf-share")
      a.corpus.text_rtf_share = Share(flag, v);
    else if (flag == "--attachment-share")
      a.corpus.attachment_share = Share(flag, v);
    else if (flag == "--embedded-share")
      a.corpus.embedded_share = Share(flag, v);
    else if (flag == "--max-attachment-kb")
      a.corpus.max_attachment_bytes = Number(flag, v) << 10;
    else if (flag == "--max-body-kb")
      a.corpus.max_body_bytes = Number(flag, v) << 10;
    else if (flag == "--password")
      a.store.password = v;
    else if (flag == "--code-page")
      a.store.code_page = static_cast<std::uint32_t>(Number(flag, v));
    else if (flag == "--encoding") {
      std::string e = v;
      if (e == "none")
        a.store.crypt = pst::ndb::CryptMethod::kNone;
      else if (e == "permute")
        a.store.crypt = pst::ndb::CryptMethod::kPermute;
      else if (e == "cyclic")
        a.store.crypt = pst::ndb::CryptMethod::kCyclic;
      else
        Usage("unknown encoding " + e);
    } else
      Usage("unknown option " + flag);
  }
  if (a.out.empty()) Usage("--out is required");
  if (!a.sample && !a.body_forms && !seeded) Usage("--seed is required");
  return a;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments a = Parse(argc, argv);
  auto start = std::chrono::steady_clock::now();
  try {
    pstwriter::PstBuilder builder(a.out, a.store);
    if (a.sample || a.body_forms) {
      int messages = a.sample ? pstgen::WriteSampleStore(builder)
                              : pstgen::WriteBodyFormStore(builder, a.store.code_page);
      builder.Finish();
      std::cout << "wrote " << a.out << ": " << messages << " messages\n";
      return 0;
    }
    pstgen::CorpusStats stats = pstgen::GenerateCorpus(builder, a.corpus);
    builder.Finish();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "wrote " << a.out << ": " << stats.folders << " folders, " << stats.messages
              << " messages, " << stats.attachments << " attachments, " << stats.embedded
              << " embedded messages, " << (stats.content_bytes >> 20) << " MiB of content in "
              << seconds << " s\n";
  } catch (const pstwriter::WriteError& e) {
    std::cerr << "pstgen: " << e.what() << "\n";
    std::remove(a.out.c_str());
    return 1;
  }
  return 0;
}
