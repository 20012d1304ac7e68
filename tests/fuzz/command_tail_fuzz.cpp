// Feeds arbitrary command lines to the program-name skipping and the command-tail scan, and
// checks them against a plain reading built on the C library's strtoull.

#include "shell_core.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool IsNumberSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

uint32_t ExpectedNumber(const char* text) {
    while (IsNumberSpace(*text)) {
        text++;
    }
    bool negative = *text == '-';
    if (*text == '+' || *text == '-') {
        text++;
    }
    if (*text < '0' || *text > '9') {
        return 0;
    }
    errno = 0;
    unsigned long long value = strtoull(text, nullptr, 10);
    if (errno == ERANGE || value > UINT32_MAX) {
        return UINT32_MAX;
    }
    uint32_t number = static_cast<uint32_t>(value);
    return negative ? 0u - number : number;
}

void CheckScan(const char* tail) {
    LaunchCommand command = ScanCommandTail(tail);
    const char* letter = strpbrk(tail, "SsPpCcAa");
    LaunchMode mode = LaunchMode::Configure;
    uint32_t window = 0;
    if (letter != nullptr) {
        switch (*letter | 0x20) {
        case 's':
            mode = LaunchMode::Saver;
            break;
        case 'p':
            mode = LaunchMode::Preview;
            window = ExpectedNumber(letter + 1);
            break;
        case 'a':
            mode = LaunchMode::ChangePassword;
            window = ExpectedNumber(letter + 1);
            break;
        default:
            break;
        }
    }
    if (command.Mode != mode || command.Window != window) {
        abort();
    }
}

void CheckSkip(const char* line) {
    const char* tail = SkipProgramName(line);
    size_t length = strlen(line);
    if (tail < line || tail > line + length) {
        abort();
    }
    if (line[0] == '"' && strchr(line + 1, '"') == nullptr) {
        if (tail != line) {
            abort();
        }
        return;
    }
    // The name ends at the closing quote or at the first space; only spaces follow it.
    const char* end = line[0] == '"' ? strchr(line + 1, '"') + 1 : line + strcspn(line, " ");
    if (tail < end || *tail == ' ') {
        abort();
    }
    for (const char* p = end; p < tail; p++) {
        if (*p != ' ') {
            abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> line(data, data + size);
    line.push_back('\0');
    CheckSkip(line.data());
    CheckScan(line.data());
    CheckScan(SkipProgramName(line.data()));
    return 0;
}
