#pragma once

#include "Foundation/FileIdentity.h"

#include <cstdint>

// The identity of the file a duplicate candidate was read from, as the duplicate finder keeps it
// while the candidate may still join a group. It holds what FileIdentity compares, less the type and
// the length: the index already fixes both (a regular file of the indexed length), and an identity
// is taken only from a file that has them.
class CandidateIdentity {
public:
    // The identity of the file read, which is a regular file of the indexed length.
    CandidateIdentity(const FileIdentity& read);

    // The full identity, of a regular file of `size` bytes: what a move checks against.
    FileIdentity withSize(std::int64_t size) const;
    // Whether `now` is still that very file, by FileIdentity's own comparison.
    bool isFile(const FileIdentity& now, std::int64_t size) const { return now == withSize(size); }

private:
    static constexpr std::uint32_t unknownBirth = UINT32_MAX;  // no valid nanosecond count

    std::uint64_t device_;
    std::uint64_t inode_;
    std::int64_t modifiedSeconds_;
    std::int64_t changedSeconds_;
    std::int64_t bornSeconds_;
    std::uint32_t modifiedNanoseconds_;
    std::uint32_t changedNanoseconds_;
    std::uint32_t bornNanoseconds_;
};
