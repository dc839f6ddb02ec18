#pragma once

#include "Platform/KernelFile.h"
#include "Platform/KernelText.h"

#include <cstdint>
#include <filesystem>

// The "write_bytes" figure of a /proc io file, read as a test's own yardstick; 0 when it cannot be read.
inline std::uint64_t kernelWriteCount(const std::filesystem::path& ioFile) {
    KernelFile io(ioFile);
    std::string_view rest = io.read().value_or("");
    while (!rest.empty()) {
        std::string_view line = KernelText::nextLine(rest);
        if (KernelText::nextField(line) == "write_bytes:") return KernelText::nextNumber(line);
    }
    return 0;
}
