#include "Services/CandidateIdentity.h"

#include <sys/stat.h>

CandidateIdentity::CandidateIdentity(const FileIdentity& read)
    : device_(read.device),
      inode_(read.inode),
      modifiedSeconds_(read.modifiedSeconds),
      changedSeconds_(read.changedSeconds),
      bornSeconds_(read.born ? read.born->seconds : 0),
      modifiedNanoseconds_(std::uint32_t(read.modifiedNanoseconds)),
      changedNanoseconds_(std::uint32_t(read.changedNanoseconds)),
      bornNanoseconds_(read.born ? std::uint32_t(read.born->nanoseconds) : unknownBirth) {}

FileIdentity CandidateIdentity::withSize(std::int64_t size) const {
    FileIdentity identity;
    identity.device = device_;
    identity.inode = inode_;
    identity.type = S_IFREG;
    identity.size = size;
    identity.modifiedSeconds = modifiedSeconds_;
    identity.modifiedNanoseconds = modifiedNanoseconds_;
    identity.changedSeconds = changedSeconds_;
    identity.changedNanoseconds = changedNanoseconds_;
    if (bornNanoseconds_ != unknownBirth) identity.born = FileIdentity::BirthTime{bornSeconds_, bornNanoseconds_};
    return identity;
}
