#include "Foundation/Uuid.h"

#include <pthread.h>
#include <sys/random.h>

#include <array>
#include <cstring>
#include <random>

namespace {

// Random bytes fetched a few kilobytes at a time: a search makes one identifier per hit, and one
// system call per identifier was a measurable share of its time.
struct RandomBytes {
    std::array<std::uint8_t, 4096> bytes;
    size_t used = bytes.size();

    RandomBytes() {
        // A forked child must not hand out the identifiers its parent still holds.
        static const int registered = pthread_atfork(nullptr, nullptr, [] { buffer().used = buffer().bytes.size(); });
        (void)registered;
    }

    static RandomBytes& buffer() {
        thread_local RandomBytes instance;
        return instance;
    }

    void take(std::uint8_t* into, size_t count) {
        if (bytes.size() - used < count) refill();
        std::memcpy(into, bytes.data() + used, count);
        std::memset(bytes.data() + used, 0, count);  // each byte is handed out once
        used += count;
    }

    void refill() {
        size_t filled = 0;
        while (filled < bytes.size()) {
            ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
            if (got <= 0) {
                // getrandom only fails on ancient kernels; fall back rather than hand out zeros.
                std::random_device device;
                for (; filled < bytes.size(); ++filled) bytes[filled] = static_cast<std::uint8_t>(device());
                break;
            }
            filled += static_cast<size_t>(got);
        }
        used = 0;
    }
};

}  // namespace

Uuid Uuid::random() {
    Uuid id;
    RandomBytes::buffer().take(id.bytes_.data(), id.bytes_.size());
    id.bytes_[6] = static_cast<std::uint8_t>((id.bytes_[6] & 0x0F) | 0x40);
    id.bytes_[8] = static_cast<std::uint8_t>((id.bytes_[8] & 0x3F) | 0x80);
    return id;
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    if (text.size() != 36) return std::nullopt;
    Uuid id;
    size_t byte = 0;
    for (size_t i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        auto nibble = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        int high = nibble(text[i]), low = nibble(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        id.bytes_[byte++] = static_cast<std::uint8_t>(high * 16 + low);
        i += 2;
    }
    return id;
}

std::string Uuid::text() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out.push_back('-');
        out.push_back(digits[bytes_[i] >> 4]);
        out.push_back(digits[bytes_[i] & 0x0F]);
    }
    return out;
}
