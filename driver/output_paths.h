// The files an export writes: data and index file named after the destination, the optional folder
// list; and the check that none of them is the PST file or another output.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace driver {

// Replaces the extension (from the last "." after the last "/") or appends one when there is none:
// "out/archive.dat" and "out/archive" both give "out/archive.xmz".
std::string ReplaceExtension(std::string_view path, std::string_view extension);

struct ExportPaths {
  std::string pst;
  std::string data;   // the destination with ".xmz"
  std::string index;  // the destination with ".idx"
  std::optional<std::string> folder_list;
  std::optional<std::string> trace;  // the trace file, when the trace goes to a file
};

ExportPaths MakeExportPaths(std::string pst, std::string_view destination,
                            std::optional<std::string> folder_list);

// True when both paths lead to one file: the same device and inode when both exist, otherwise the
// same final target once "." and ".." and every symbolic link are followed, a link to a file that
// does not exist yet included.
bool SameFile(const std::string& a, const std::string& b);

// Throws ExportError (exit code 2) naming both files when an output (the trace file included)
// names the PST file or another output. Nothing has been written at that point.
void CheckOutputsDistinct(const ExportPaths& paths);

// Throws ExportError (exit code 1) when the PST path names something that exists but is not a
// regular file (a FIFO, device, socket or folder), before any output is created. A path that does
// not exist is left to the mail library, which names the reason.
void CheckInputIsRegularFile(const std::string& pst);

}  // namespace driver
