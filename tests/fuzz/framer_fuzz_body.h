// One fuzz input through the framing of received text. The libFuzzer target
// and the regression replay test share it.
#pragma once

#include <cstddef>
#include <cstdint>

// The first byte of data chooses where the rest is cut into chunks and where
// the line is quiet or breaks off; the rest is what the line delivered.
// False when the framing breaks one of its promises: records decided out of
// order or overlapping, a record still arriving counted as settled, a whole
// record that does not end with its DATE line, holds an empty line or noise,
// or does not frame again as itself.
bool FuzzFramerInput(const std::uint8_t* data, std::size_t size);
