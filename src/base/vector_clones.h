#pragma once

// Marks a hot loop to be compiled for AVX2, SSSE3 and the baseline
// instruction set alike, the best one chosen when the program loads (an
// indirect function the dynamic loader resolves). Loops over three-byte
// pixels need the newer sets' byte shuffles to vectorise at all.
//
// Not under ThreadSanitizer: the loader calls the choosing function before
// that sanitizer's runtime is ready, and the program fails at start.
#if defined(__SANITIZE_THREAD__)
#define ZENTORA_NO_VECTOR_CLONES 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZENTORA_NO_VECTOR_CLONES 1
#endif
#endif

#if defined(ZENTORA_NO_VECTOR_CLONES) || !defined(__x86_64__)
#define ZENTORA_VECTOR_CLONES
#else
#define ZENTORA_VECTOR_CLONES __attribute__((target_clones("avx2", "ssse3", "default")))
#endif
