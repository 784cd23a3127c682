#pragma once
// Writing a whole file so that its target is never left half written: the bytes go to a temporary
// file beside the target, which replaces it only when every byte is on the disk. Every writer of
// the program (pictures, CSV, results) goes through here. No Qt here.

#include <string>
#include <string_view>

namespace mirel {

// Temporary files are named `.mirel-XXXXXX` plus the target's extension (six random letters and
// digits), in the target's folder; one is left behind only when the program is killed outright.
inline constexpr std::string_view TemporaryPrefix = ".mirel-";

// Creates or replaces `path` (bytes of the file system's encoding) with `bytes`; 0, or the errno
// value of the step that failed. A symbolic link is written through to its target. A target with
// no write permission bit at all is refused (EACCES) even where the caller may write anything, as
// root may; so is one the caller may not write. A new file gets 0666 less the umask; a replaced one
// keeps its mode, and its owner where the caller may give it (else at least its group), as far as
// the file system keeps them: where it keeps none, the bytes are written all the same. On failure
// the temporary file is removed and an older file stays as it was.
int WriteFileAtomically(const std::string& path, std::string_view bytes);

// Whether WriteFileAtomically could write `path` now (0, or why not): for failing before a long
// run rather than after it. Leaves nothing behind.
int CheckWritable(const std::string& path);

// A short Russian text for an `errno` value of a failed file operation.
std::string FileErrorText(int error);

// Removes every temporary file being written at this moment. Async-signal-safe: for a signal
// handler that ends the program. SIGINT, SIGTERM and SIGHUP are held off in the writing thread
// while a temporary file is created or renamed, so that no handler of theirs sees it half done.
void RemoveTemporaryFiles() noexcept;

}  // namespace mirel
