#pragma once

// How hard the machine is pressed for memory.
enum class MemoryPressure { normal, warning, critical };
