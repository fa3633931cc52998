// Image files: writing that never leaves half a file behind.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "formats.h"

namespace lorvaxen::tool {

// Whether a file is made durable before it replaces an earlier one, or later, many at once.
enum class Durability { Now, Later };

// Whether the user gave the file's name, or the tool made it (a batch's names from its template,
// a name from the label's text): the user may name a device or a pipe on purpose, and nobody
// should be able to plant one under a name the tool makes.
enum class Naming { Given, Made };

// Writes the label to `path`. A file is written under a temporary name in its own directory and
// renamed over `path` only once it is complete, keeping the permissions of the regular file it
// replaces (never its set-user-id, set-group-id or sticky bits), so a failure or an interruption
// leaves neither a partial file nor a damaged earlier one. A given name may be standard output
// ("-" or a name of it), a device or a pipe, written as it is; a made name is refused unless it
// is new or a regular file, and is never opened, so nothing planted under it (a symbolic link to
// a device, a FIFO) is written through or blocks the tool. Returns with interruptions held (the
// caller releases them once it has reported the file), and answers what went wrong, or an empty
// text on success.
std::string writeImageFile(const Label& label, ImageFormat format, const std::string& path,
                           Durability durability, Naming naming);

// Writes a file as writeImageFile does, its contents by `write`, which answers false when the
// file could not take them: one PDF of many labels, written as they are made.
using FileWriter = std::function<bool(std::FILE*)>;
std::string writeFile(const FileWriter& write, const std::string& path, Durability durability,
                      Naming naming);

// Makes durable every file written to the file system that holds `directory` ("" for the
// current one): the one pass that files written with Durability::Later wait for. Answers what
// went wrong, or an empty text.
std::string makeDurable(const std::string& directory);

// Whether `path` is standard output under another name, such as /dev/stdout.
bool isStandardOutput(const std::string& path);

} // namespace lorvaxen::tool
