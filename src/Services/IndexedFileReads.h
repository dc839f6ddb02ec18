#pragma once

#include "Foundation/FileDescriptor.h"
#include "Services/FileIntelligenceService.h"
#include "Services/HashMeter.h"
#include "Services/Sha256.h"

#include <cstdint>
#include <optional>

// Reading the files the duplicate finder indexed: only while they are as indexed, in reads small
// enough for the page cache's copy to stay fast.
namespace IndexedFileReads {

// Reads of more than 64 KiB copy out of the page cache several times slower here.
constexpr std::int64_t chunk = 65536;

using ReadTrouble = FileIntelligenceService::ReadTrouble;

// ReadTrouble::none with an open descriptor and the identity of what it reads, else why it could
// not be opened.
struct OpenedFile {
    FileDescriptor descriptor;
    ReadTrouble trouble = ReadTrouble::none;
    std::optional<FileIdentity> identity;
};

// The file's digest, or why there is none.
struct FileDigest {
    std::optional<Sha256::Digest> digest;
    ReadTrouble trouble = ReadTrouble::none;
};

// Opens the file as indexed: a regular file, never through a final link, of the indexed length
// and date, and the very file its sample was read from once that is known.
OpenedFile openUnchanged(const FileIntelligenceService::IndexedFile& file);

// Whether what is there now is still the file as indexed.
bool isUnchanged(const FileIdentity& now, const FileIntelligenceService::IndexedFile& file);

// Reads `length` bytes at `offset`: ReadTrouble::changed when the file ends early.
ReadTrouble readExactly(int descriptor, unsigned char* into, std::int64_t length, std::int64_t offset);

// The SHA-256 of the whole file as indexed. With `creditReads` its bytes beyond the sample count as
// progress, and so do the unread ones when it fails, unless it may be tried again (no descriptor).
// Throws Cancelled when the meter is cancelled.
FileDigest wholeDigest(const FileIntelligenceService::IndexedFile& file, HashMeter& meter, bool creditReads);

// This thread's read buffer of at least `bytes`, left uninitialised and kept for its next file.
unsigned char* threadBuffer(std::size_t bytes);

// Progress for the bytes [from, to) of a file: the first 128 KiB were counted with its sample.
void creditBeyondSample(HashMeter& meter, std::int64_t from, std::int64_t to);

}  // namespace IndexedFileReads
