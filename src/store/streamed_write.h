#pragma once
// Replacing a file with bytes that are produced piece by piece, as safely as
// writeFileSafely replaces one with bytes held whole: the pieces go to a
// temporary file in the target's folder, which is flushed to disk and
// renamed over the target once the last piece is written, so the old file
// stays whole until the new one is complete on disk. Nothing of the output
// is held in memory beyond one write buffer.

#include <functional>
#include <string>
#include <string_view>

namespace vtome {

// Receives the output in order, one piece per call.
using ByteSink = std::function<void(std::string_view)>;

// Replaces the file at path with what `produce` hands to the sink it is
// given. The rules are writeFileSafely's: a symbolic link is written through
// to the file it names, an existing target keeps its permissions, a target
// that is no regular file (a device, a pipe) is written into directly, and a
// folder is refused. A failure, in `produce` or in the writing, leaves the
// target as it was and no temporary file behind; the failures carry the
// texts of writeFileSafely's.
void writeFileStreamed(const std::string& path, const std::function<void(const ByteSink&)>& produce);

}  // namespace vtome
