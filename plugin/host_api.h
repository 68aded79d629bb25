/* The query protocol between the host program and the plug-in: C-compatible, 32-bit Windows ABI.
   The host hands the plug-in one function, HostQuery: a 32-bit id in, a 32-bit value out. */
#ifndef PGN_UTIL_HOST_API_H
#define PGN_UTIL_HOST_API_H

#include <stdint.h>

#if defined(_WIN32)
#define PGN_STDCALL __stdcall
#else
#define PGN_STDCALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Every query function of the host has this shape; the value is a pointer or a number. */
typedef intptr_t(PGN_STDCALL* HostQueryFn)(int32_t id);

/* HostQuery 48: a function returning a comment of the host's current line. A host that answers
   it with null keeps the plug-in inert. */
enum { HostQueryCommentFunction = 48 };

#ifdef __cplusplus
}
#endif

#endif
