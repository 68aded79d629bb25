// The decoders behind ByteSource for compressed text: one per compression this build links.
#pragma once

#include <memory>

#include "io/byte_source.h"

// A source unpacking `stored`, or null when this build does not read the compression.
std::unique_ptr<ByteSource> MakeDecoder(Compression compression, std::unique_ptr<StoredInput> stored);

// Whether MakeDecoder gives a decoder for the compression.
bool DecoderAvailable(Compression compression);
