/* The host's records that portable code reads through the Host interface: its current game's
   moves and lines, its game list and display order. Plain C structs, laid out as the host lays
   them out (plugin/host_api.h checks the layouts for 32-bit Windows). */
#ifndef PGN_UTIL_HOST_RECORDS_H
#define PGN_UTIL_HOST_RECORDS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The identity of one line of a host game (main line or a variation), as TMove refers to it. */
typedef const void* HostLineId;

/* The host's move (TMove). The first eight bytes are those of the plug-in's move record. */
typedef struct HostMove {
  uint8_t piece, fromfile, fromrank, tofile, torank, extra, captured, flags;
  const char* san;              /* the move's SAN text */
  const char* comment;          /* the comment after the move, braces included; "" for none */
  uint8_t nag;                  /* 0..255 */
  const HostLineId* variations; /* the lines that replace this move, in order */
  int32_t variationCount;       /* the further 32-bit field: how many there are */
} HostMove;

typedef struct HostIndexArray {
  int32_t* items;
  int32_t count;
} HostIndexArray;

/* A tag of a host game list entry. */
typedef struct HostTag {
  const char* name;
  const char* value;
} HostTag;

/* One entry of the host's game list (as the plug-in's TGame). */
typedef struct HostGameEntry {
  const void* game;    /* the host's game object, or null when it holds none */
  const HostTag* tags; /* in the normalised order of the PGN reader */
  int32_t tagCount;
  const uint16_t* path; /* UTF-16, NUL-terminated: the file the game came from; may be null */
  int32_t position;     /* 1-based byte position of the game's text in that file */
  int32_t length;       /* its length in bytes */
} HostGameEntry;

typedef struct HostGameArray {
  HostGameEntry* items;
  int32_t count;
} HostGameArray;

#ifdef __cplusplus
}
#endif

#endif
