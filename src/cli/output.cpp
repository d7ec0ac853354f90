#include "cli/output.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace corvane::cli {

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw TWriteError(std::strerror(errno));
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string WriteErrorText(const TWriteError& error) {
    return std::string("corvane-run: cannot write the output: ") + error.what() + "\n";
}

} // namespace corvane::cli
