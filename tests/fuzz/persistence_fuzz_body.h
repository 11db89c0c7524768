// One fuzz input through the persistence readers. The libFuzzer target and
// the regression replay test share it, so a saved input replays exactly what
// the fuzzer ran.
#pragma once

#include <cstddef>
#include <cstdint>

// Takes the bytes as the content of a settings or batch file, reads a batch
// and a settings record from the parsed tree, then writes the tree and the
// batch back and reads both again; reads the batch from the bytes with the
// streaming reader too. False when the text written from what was read back
// differs from the text first written (the readers do not return what their
// writers produced), or when the streaming reader's batch differs from the
// tree's.
bool FuzzPersistenceInput(const std::uint8_t* data, std::size_t size);
