// Thread status records, their dump text and the writer thread.
#include "support/diag/thread_status.h"

#include <algorithm>
#include <fstream>

#include "platform/os/clock.h"
#include "support/diag/date_text.h"

namespace diag {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

void TThreadStatusRegistry::Put(const std::string& key, TThreadStatusInfo info) {
  std::lock_guard guard(lock_);
  for (auto& record : records_) {
    if (record.first == key) {
      record.second = std::move(info);
      return;
    }
  }
  records_.emplace_back(key, std::move(info));
}

bool TThreadStatusRegistry::SetLine(const std::string& key, std::size_t index, std::string text) {
  if (index >= TThreadStatusInfo::kLineCount) return false;
  std::lock_guard guard(lock_);
  for (auto& record : records_) {
    if (record.first == key) {
      record.second.lines[index] = std::move(text);
      return true;
    }
  }
  return false;
}

void TThreadStatusRegistry::Remove(const std::string& key) {
  std::lock_guard guard(lock_);
  std::erase_if(records_, [&](const auto& record) { return record.first == key; });
}

std::string TThreadStatusRegistry::DumpText() const {
  std::lock_guard guard(lock_);
  std::string text;
  for (const auto& [key, info] : records_) {
    text += "Thread: ";
    text += info.name;
    text += " (";
    text += key;
    text += ") created at ";
    text += FormatDateTime(info.created);
    text += kLineEnd;
    for (const std::string& line : info.lines) {
      text += line;
      text += kLineEnd;
    }
    text += kLineEnd;
  }
  return text;
}

void TThreadStatusRegistry::Dump() {
  const std::string text = DumpText();
  {
    std::ofstream file(status_path_, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
  }  // a file that cannot be written is tried again at the next dump
  last_dump_tick_ = os::CurrentClock().TickCount();
}

TThreadStatusWriter::TThreadStatusWriter(TThreadStatusRegistry& registry,
                                         std::chrono::milliseconds interval)
    : registry_(registry),
      interval_(interval),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

void TThreadStatusWriter::Stop() {
  if (!thread_.joinable()) return;
  thread_.request_stop();  // wakes the sleep through its stop token
  thread_.join();
}

void TThreadStatusWriter::Run(std::stop_token stop) {
  while (!stop.stop_requested()) {
    registry_.Dump();
    ++dump_count_;
    std::unique_lock lock(sleep_lock_);
    wake_.wait_for(lock, stop, interval_, [] { return false; });
  }
}

}  // namespace diag
