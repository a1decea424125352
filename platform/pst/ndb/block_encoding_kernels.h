// The vector kernels of the block encodings, for block_encoding.cpp: a 256-byte table applied to a
// whole buffer, and the cyclic method, with AVX2 (sixteen 16-byte shuffles per 32 bytes) and with
// AVX-512 VBMI (two 128-byte permutes per 64 bytes). Each function may run only where its Has
// function is true.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/pst/ndb/crypt_tables.h"

namespace pst::ndb::encoding_kernels {

bool HasAvx2();
bool HasAvx512Vbmi();

// Every byte b becomes table[b], the tail included.
void SubstituteAvx2(const crypt_tables::Table& table, std::uint8_t* data, std::size_t size);
void SubstituteAvx512Vbmi(const crypt_tables::Table& table, std::uint8_t* data, std::size_t size);

// The cyclic method from running word w (the folded key). Returns how many leading bytes were done
// (whole vectors for AVX2, all of them for AVX-512); the caller finishes the rest from word
// w + that count.
std::size_t CyclicAvx2(std::uint8_t* data, std::size_t size, std::uint16_t w);
std::size_t CyclicAvx512Vbmi(std::uint8_t* data, std::size_t size, std::uint16_t w);

}  // namespace pst::ndb::encoding_kernels
