#include "Services/Sha256.h"

#include <openssl/evp.h>

namespace {

const EVP_MD* algorithm() {
    static EVP_MD* const sha256 = EVP_MD_fetch(nullptr, "SHA2-256", nullptr);
    return sha256;
}

}  // namespace

void Sha256::Free::operator()(evp_md_ctx_st* context) const { EVP_MD_CTX_free(context); }

Sha256::Sha256() : context_(EVP_MD_CTX_new()) { restart(); }

Sha256::Sha256(const Sha256& other) : context_(EVP_MD_CTX_new()) { EVP_MD_CTX_copy_ex(context_.get(), other.context_.get()); }

Sha256::~Sha256() = default;

void Sha256::restart() { EVP_DigestInit_ex2(context_.get(), algorithm(), nullptr); }

void Sha256::update(const unsigned char* bytes, std::size_t count) { EVP_DigestUpdate(context_.get(), bytes, count); }

Sha256::Digest Sha256::finish() {
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_.get(), digest.data(), &length);
    return digest;
}
