#include <cstdio>

#include "core/Console.h"

namespace pamiro {

// A terminal here takes UTF-8 as it is.
void WriteStd(StdStream stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream == StdStream::Out ? stdout : stderr);
}

bool FlushStd(StdStream stream) {
    return std::fflush(stream == StdStream::Out ? stdout : stderr) == 0;
}

}  // namespace pamiro
