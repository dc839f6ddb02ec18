#pragma once

// Indexing walks the folder and groups files by size; comparing reads and hashes the candidates.
enum class DuplicateScanPhase { indexing, comparing };
