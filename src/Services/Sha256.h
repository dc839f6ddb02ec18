#pragma once

#include <array>
#include <cstddef>
#include <memory>

struct evp_md_ctx_st;

// One running SHA-256 digest. The algorithm is looked up once per process; a copy continues from
// the same point, so content shared up to a point is hashed once.
class Sha256 {
public:
    using Digest = std::array<unsigned char, 32>;

    Sha256();
    Sha256(const Sha256& other);
    Sha256& operator=(const Sha256& other) = delete;
    Sha256(Sha256&&) noexcept = default;
    Sha256& operator=(Sha256&&) noexcept = default;
    ~Sha256();

    void restart();
    void update(const unsigned char* bytes, std::size_t count);
    Digest finish();

private:
    struct Free {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> context_;
};
