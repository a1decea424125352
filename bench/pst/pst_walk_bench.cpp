// pst_walk_bench FILE [--no-readpst]
//
// Times, on one file in one run: (1) a walk of every node of the node B-tree reading all data and
// every subnode; (2) a walk of every folder from the root reading every property, table row,
// message, recipient, attachment (bytes included) and embedded message through the messaging
// layer; (3) `readpst -q -j 0 -D -e -8 -o DIR FILE` into a temporary folder, the options the
// end-to-end comparison uses. Prints each time, the bytes each walk read from the file (the
// system's count of bytes read, where it keeps one), the peak memory of this process, and readpst's
// time divided by each walk's.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/pst/messaging/message_store.h"
#include "platform/pst/ndb/node_database.h"
#include "tests/support/child_process.h"
#include "tests/support/own_usage.h"
#include "tests/support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Counts {
  std::uint64_t nodes = 0, subnodes = 0, bytes = 0, failures = 0;
  std::uint64_t folders = 0, messages = 0, recipients = 0, attachments = 0, properties = 0;
};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void ReadNode(const pst::ndb::Node& node, Counts& c) {
  auto all = node.ReadAll(std::uint64_t{1} << 32);
  if (!all.ok()) {
    ++c.failures;
    return;
  }
  c.bytes += all->size();
  auto ids = node.SubnodeIds();
  if (!ids.ok()) {
    ++c.failures;
    return;
  }
  for (pst::ndb::NodeId id : *ids) {
    auto sub = node.OpenSubnode(id);
    if (!sub.ok()) {
      ++c.failures;
      continue;
    }
    ++c.subnodes;
    ReadNode(**sub, c);
  }
}

Counts WalkNodes(const pst::ndb::NodeDatabase& db) {
  Counts c;
  (void)db.VisitNodes([&](const pst::ndb::NodeEntry& e) {
    ++c.nodes;
    auto node = db.OpenNode(e.nid);
    if (node.ok()) {
      ReadNode(**node, c);
    } else {
      ++c.failures;
    }
    return true;
  });
  return c;
}

void ReadStream(const pst::ltp::ValueStream& s, Counts& c) {
  static std::vector<std::byte> buf(1 << 16);
  for (std::uint64_t at = 0; at < s.size();) {
    auto n = s.ReadAt(at, buf);
    if (!n.ok() || *n == 0) {
      c.failures += !n.ok();
      return;
    }
    at += *n;
    c.bytes += *n;
  }
}

constexpr std::uint16_t kAttachDataBin = 0x3701;  // streamed by WalkMessage

void ReadProperties(const pst::ltp::PropertyContext& pc, Counts& c) {
  for (const auto& e : pc.entries()) {
    ++c.properties;
    if (e.tag.id == kAttachDataBin) continue;
    auto v = pc.Get(e.tag.id);
    if (v.ok()) {
      c.bytes += v->bytes().size();
    } else if (v.status().code() == pst::ErrorCode::kLimit) {
      auto s = pc.OpenStream(e.tag.id);
      if (s.ok()) ReadStream(*s, c);
    }
  }
}

void ReadTable(const pst::ltp::TableContext& t, Counts& c, std::uint64_t* rows) {
  for (std::size_t i = 0; i < t.row_count(); ++i) {
    auto row = t.ReadRow(i);
    if (!row.ok()) {
      ++c.failures;
      continue;
    }
    if (rows) ++*rows;
    for (std::size_t col = 0; col < t.columns().size(); ++col) {
      auto v = t.Cell(*row, col);
      if (v.ok()) c.bytes += v->bytes().size();
    }
  }
}

void WalkMessage(const pst::messaging::Message& m, Counts& c) {
  ++c.messages;
  ReadProperties(m.properties(), c);
  auto recipients = m.OpenRecipientTable();
  if (recipients.ok() && *recipients) ReadTable(**recipients, c, &c.recipients);
  auto ids = m.AttachmentIds();
  if (!ids.ok()) return;
  for (pst::ndb::NodeId id : *ids) {
    auto a = m.OpenAttachment(id);
    if (!a.ok()) {
      ++c.failures;
      continue;
    }
    ++c.attachments;
    ReadProperties(a->properties(), c);
    auto data = a->OpenData();
    if (data.ok()) ReadStream(*data, c);
    if (a->has_data_object()) {
      auto embedded = a->OpenEmbeddedMessage();
      if (embedded.ok()) WalkMessage(*embedded, c);
    }
  }
}

Counts WalkFolders(const pst::messaging::MessageStore& store) {
  Counts c;
  std::vector<pst::ndb::NodeId> pending{pst::ndb::kNidRootFolder};
  std::unordered_set<pst::ndb::NodeId> seen;
  while (!pending.empty()) {
    const pst::ndb::NodeId nid = pending.back();
    pending.pop_back();
    if (!seen.insert(nid).second) continue;
    auto folder = store.OpenFolder(nid);
    if (!folder.ok()) {
      ++c.failures;
      continue;
    }
    ++c.folders;
    ReadProperties(folder->properties(), c);
    auto subfolders = folder->SubfolderIds();
    if (subfolders.ok()) pending.insert(pending.end(), subfolders->begin(), subfolders->end());
    auto contents = folder->OpenContentsTable();
    if (!contents.ok()) continue;
    ReadTable(*contents, c, nullptr);
    for (std::size_t i = 0; i < contents->row_count(); ++i) {
      auto row = contents->ReadRow(i);
      if (!row.ok()) continue;
      auto message = store.OpenMessage(row->row_id());
      if (message.ok()) {
        WalkMessage(*message, c);
      } else {
        ++c.failures;
      }
    }
  }
  return c;
}

// Bytes this process has read so far ("rchar" of /proc/self/io), or -1 where there is no such
// count.
long long BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

void PrintBytesRead(const char* what, long long before) {
  const long long after = BytesReadSoFar();
  if (before >= 0 && after >= 0) std::printf("%s read:  %lld bytes\n", what, after - before);
}

// Runs readpst -q -j 0 -D -e -8 -o DIR FILE into a fresh folder; returns seconds, or a negative
// value.
double TimeReadpst(const std::string& file) {
  const test_support::TempDir dir;
  const auto start = Clock::now();
  const test_support::ProcessOutput run = test_support::RunProcess(
      "readpst", {"-q", "-j", "0", "-D", "-e", "-8", "-o", dir.path(), file});
  const double seconds = Seconds(start);
  return run.exit_code == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pst_walk_bench FILE [--no-readpst]\n");
    return 2;
  }
  const std::string file = argv[1];
  const bool readpst = !(argc > 2 && std::strcmp(argv[2], "--no-readpst") == 0);
  std::printf("file: %s (%llu bytes)\n", file.c_str(),
              static_cast<unsigned long long>(std::filesystem::file_size(file)));

  long long read_before = BytesReadSoFar();
  auto start = Clock::now();
  auto db = pst::ndb::NodeDatabase::Open(file);
  if (!db.ok()) {
    std::fprintf(stderr, "cannot open: %s\n", db.status().message().c_str());
    return 1;
  }
  const Counts n = WalkNodes(**db);
  const double node_walk = Seconds(start);
  std::printf("node walk:      %8.3f s  %llu nodes, %llu subnodes, %llu bytes, %llu failures\n",
              node_walk, static_cast<unsigned long long>(n.nodes),
              static_cast<unsigned long long>(n.subnodes), static_cast<unsigned long long>(n.bytes),
              static_cast<unsigned long long>(n.failures));
  PrintBytesRead("node walk", read_before);

  read_before = BytesReadSoFar();
  start = Clock::now();
  auto store = pst::messaging::MessageStore::OpenFile(file);
  if (!store.ok()) {
    std::fprintf(stderr, "cannot open store: %s\n", store.status().message().c_str());
    return 1;
  }
  const Counts m = WalkFolders(**store);
  const double folder_walk = Seconds(start);
  std::printf(
      "messaging walk: %8.3f s  %llu folders, %llu messages, %llu recipients, "
      "%llu attachments, %llu properties, %llu bytes, %llu failures\n",
      folder_walk, static_cast<unsigned long long>(m.folders),
      static_cast<unsigned long long>(m.messages), static_cast<unsigned long long>(m.recipients),
      static_cast<unsigned long long>(m.attachments), static_cast<unsigned long long>(m.properties),
      static_cast<unsigned long long>(m.bytes), static_cast<unsigned long long>(m.failures));
  PrintBytesRead("messaging walk", read_before);
  std::printf("peak memory:    %llu KiB\n",
              static_cast<unsigned long long>(test_support::OwnPeakResidentKib()));
  if (readpst) {
    const double theirs = TimeReadpst(file);
    if (theirs < 0) {
      std::printf("readpst:        failed or not installed\n");
    } else {
      std::printf("readpst:        %8.3f s\n", theirs);
      std::printf("ratio readpst / messaging walk: %.1f\n", theirs / folder_walk);
      std::printf("ratio readpst / node walk:      %.1f\n", theirs / node_walk);
    }
  }
  return 0;
}
