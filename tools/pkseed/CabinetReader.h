#pragma once
// Expands the one file of a cabinet as the pack writer makes them: one
// folder, one file, data blocks stored or MSZIP-compressed. Every field is
// checked against the cabinet's own bounds, every checksum that is set is
// verified, and each block must expand to exactly its stated size.
#include "PackReader.h"

#include <cstdint>
#include <functional>

namespace pavonia::seed {

enum class CabinetRead {
    Ok,
    Damaged,    // the cabinet is not one this reader expands, or it is damaged
    SinkFailed, // the sink refused the bytes
};

// Receives the expanded bytes in order; false stops the expansion.
using Sink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// Expands the cabinet of `size` bytes at `offset` of `source` into `sink`.
CabinetRead expandCabinet(ByteSource& source, std::uint64_t offset, std::uint64_t size, const Sink& sink);

} // namespace pavonia::seed
