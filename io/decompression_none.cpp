// A build without the compression libraries: compressed files are named as such and refused.
#include "io/decompression.h"

std::unique_ptr<ByteSource> MakeDecoder(Compression, std::unique_ptr<StoredInput>) { return nullptr; }

bool DecoderAvailable(Compression) { return false; }
