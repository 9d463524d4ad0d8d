// readAll: loads every byte of a block that the code under test handed out, so that the
// address sanitizer reports a block shorter than the size it claims.
#ifndef RELIEVO_FUZZ_READ_ALL_H
#define RELIEVO_FUZZ_READ_ALL_H

#include <cstddef>

namespace relievo::fuzz {

inline void readAll(const unsigned char* block, std::size_t size) {
  volatile unsigned char sink = 0;
  for (std::size_t i = 0; i < size; ++i)
    sink = sink ^ block[i];
}

}  // namespace relievo::fuzz

#endif  // RELIEVO_FUZZ_READ_ALL_H
