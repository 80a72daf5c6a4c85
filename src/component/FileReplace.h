#pragma once

#include <string>
#include <string_view>

namespace zelmo {

// How hard a replacement insists that the bytes reached the disk. Live output files are
// rewritten many times a second and only need readers never to see a half-written file;
// the settings and template files are the operator's work and are synced before the rename.
enum class Durability { Atomic, Synced };

// Replaces the file at `path` with `bytes` atomically: a temporary file in the same folder
// is written whole, then renamed over the target. A reader sees the old file or the new one,
// never a mix; a failure leaves the old file intact and throws Error naming the file and the
// system's reason.
void ReplaceFile(const std::string& path, std::string_view bytes,
                 Durability durability = Durability::Atomic);

// Reads a whole file as bytes. Throws Error naming the file and the reason.
std::string ReadFile(const std::string& path);

bool FileExists(const std::string& path);    // a file, not a folder
bool FolderExists(const std::string& path);  // a folder

}  // namespace zelmo
