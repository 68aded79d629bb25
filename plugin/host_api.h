/* The query protocol between the host program and the plug-in: C-compatible, laid out for the
   32-bit Windows ABI (checked below when compiled for it).

   The host hands StartTarselProc one function, HostQuery: a 32-bit id in, a 32-bit value out.
   Ids 10001, 10002 and 10005 return the three sub-query functions, of the same shape. Most
   other HostQuery ids return a service: a __stdcall function whose signature is listed here.
   HostValueQuery and HostDataQuery return pointers to values the host keeps; the plug-in reads
   through them at the moment it needs the value.

   Where the host's side was left open, this header fixes it: texts the host hands out are
   NUL-terminated single-byte strings owned by the host and valid until the host's game or list
   changes; titles and captions handed to the host are UTF-16. */
#ifndef PGN_UTIL_HOST_API_H
#define PGN_UTIL_HOST_API_H

#include <stddef.h>
#include <stdint.h>

#include "services/host_records.h"

#if defined(_WIN32)
#define PGN_STDCALL __stdcall
#else
#define PGN_STDCALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Window, menu, device context and font handles, pointer-sized as on Windows. */
typedef void* HostWindow;
typedef void* HostMenu;
typedef void* HostDeviceContext;
typedef intptr_t HostResult; /* LRESULT */
typedef uintptr_t HostWParam;
typedef intptr_t HostLParam;

/* Every query function of the host has this shape. */
typedef intptr_t(PGN_STDCALL* HostQueryFn)(int32_t id);

/* ---- HostQuery ids ---------------------------------------------------------------------- */
enum HostQueryId {
  HostQueryCommentFunction = 48,     /* HostLineCommentFn; null keeps the plug-in inert */
  HostQueryCreatePanel = 35,         /* HostCreatePanelFn */
  HostQueryRunModal = 37,            /* HostRunModalFn */
  HostQueryDefaultWindowProc = 38,   /* HostWindowProcFn */
  HostQueryPaintBackground = 39,     /* HostPaintBackgroundFn */
  HostQueryCheckBox = 40,            /* HostCheckBoxFn */
  HostQueryDrawImage = 45,           /* HostDrawImageFn */
  HostQueryEnterVariation = 58,      /* HostEnterVariationFn */
  HostQueryLeaveVariation = 59,      /* HostLeaveVariationFn */
  HostQueryMoveAt = 60,              /* HostMoveAtFn */
  HostQueryShowMove = 67,            /* HostShowMoveFn */
  HostQueryInVariation = 68,         /* HostCountFn: non-zero inside a variation */
  HostQueryMoveCount = 69,           /* HostCountFn: moves of the current line */
  HostQueryCurrentMove = 70,         /* HostCountFn: moves applied on the current line */
  HostQueryPlyNumber = 71,           /* HostCountFn: full-move number of the move to be played */
  HostQueryResultText = 75,          /* HostTextFn */
  HostQuerySelectGame = 77,          /* HostSelectGameFn */
  HostQueryWindowQuery = 10001,      /* HostQueryFn: HostWindowQuery */
  HostQueryValueQuery = 10002,       /* HostQueryFn: HostValueQuery */
  HostQueryRegisterCommand = 10004,  /* HostRegisterCommandFn */
  HostQueryUnused = 10003,           /* fetched, never called */
  HostQueryDataQuery = 10005,        /* HostQueryFn: HostDataQuery */
  HostQueryMakeButton = 10006,       /* HostMakeButtonFn: a "knop" window made a button */
  HostQueryMakeCaptionButton = 10011 /* HostMakeCaptionButtonFn: the same, with a caption */
};

/* ---- HostWindowQuery ids: the value is the handle itself ------------------------------- */
enum HostWindowId {
  HostWindowMain = 1, /* HostWindow: takes WM_COMMAND, owns dialogs and menus */
  HostWindowMenu = 9  /* HostMenu: a host menu that gets the plug-in's items */
};

/* ---- HostValueQuery ids: the value points to the host's value -------------------------- */
enum HostValueId {
  HostValuePathLength = 2,      /* int32_t: path length for file dialogs, in characters */
  HostValueWheelFraction = 14,  /* double: part of the visible height one wheel page scrolls */
  HostValueEvenRows = 17,       /* uint32_t COLORREF: fill of rows at even display positions */
  HostValueHighlightFill = 18,  /* uint32_t COLORREF: fill of highlighted rows */
  HostValueHighlightText = 19,  /* uint32_t COLORREF: text of highlighted rows */
  HostValueMarginTop = 20,      /* int32_t pixels */
  HostValueMarginBottom = 21,   /* int32_t pixels */
  HostValueMarginLeft = 22,     /* int32_t pixels */
  HostValueMarginRight = 23,    /* int32_t pixels */
  HostValueCheckBoxHeight = 32, /* int32_t pixels */
  HostValueCheckBoxWidth = 33,  /* int32_t pixels */
  HostValuePanelFont = 37,      /* HostLogFont: the panel's font */
  HostValueCaptionFont = 38,    /* HostLogFont: tab captions and list headers */
  HostValueOddRows = 45,        /* uint32_t COLORREF: fill of rows at odd display positions */
  HostValueHeaderLine = 47,     /* uint32_t COLORREF: the line under list headers */
  HostValueLineColour = 49,     /* uint32_t COLORREF, or null: 1-pixel lines (grey 190 if null) */
  HostValueGrowthStep = 70      /* int32_t: size step of the array of games read */
};

/* ---- HostDataQuery ids: the value points to the host's data ---------------------------- */
enum HostDataId {
  HostDataMouseSuspended = 8,   /* uint8_t: non-zero suspends the panel's mouse handling */
  HostDataModalResult = 14,     /* int32_t: non-zero ends the running modal window */
  HostDataStyle = 15,           /* HostStyle */
  HostDataLock = 16,            /* CRITICAL_SECTION: the host's recursive lock */
  HostDataCurrentRow = 42,      /* int32_t: current row of the host's game list */
  HostDataHotButton = 43,       /* HostWindow: the button under the mouse */
  HostDataPressedButton = 44,   /* HostWindow: the button being pressed */
  HostDataPanels = 45,          /* HostPanelArray */
  HostDataCurrentLine = 58,     /* HostLineId: identity of the current line */
  HostDataMouseSuspended2 = 59, /* uint8_t: as 8 */
  HostDataDisplayOrder = 60,    /* HostIndexArray: the host list's display order */
  HostDataTextHeight = 65,      /* int32_t pixels */
  HostDataGameList = 102,       /* HostGameArray */
  HostDataSmoothWheel = 115     /* uint8_t, may be absent (null): smooth wheel scrolling */
};

/* ---- Records shared with the host (those portable code reads are in host_records.h) -------- */

/* A record of the host's array of panels: 32 bytes. */
typedef struct HostPanelRecord {
  HostWindow window;     /* 0 */
  int32_t reserved1[3];  /* 4 */
  int32_t showCommand;   /* 16: the command id that shows the panel */
  int32_t reserved2;     /* 20 */
  int32_t minimumWidth;  /* 24 */
  int32_t minimumHeight; /* 28 */
} HostPanelRecord;

typedef struct HostPanelArray {
  HostPanelRecord* items;
  int32_t count;
} HostPanelArray;

/* A host-styled button (TButInf): its window, three pictures and the click procedure. */
typedef void(PGN_STDCALL* HostClickFn)(void);
typedef struct HostButton {
  HostWindow window;
  void* pictures[3]; /* normal, hot, pressed: bitmaps owned by the host */
  HostClickFn onClick;
} HostButton;

/* The host's style record; the plug-in only copies the button template found 400 bytes in. */
enum { HostStyleButtonOffset = 400 };
typedef struct HostStyle {
  uint8_t reserved[HostStyleButtonOffset];
  HostButton buttonTemplate;
} HostStyle;

/* A host check box: the host fills in the window; state 1 checked, 2 unchecked. */
typedef void(PGN_STDCALL* HostCheckChangedFn)(void);
typedef struct HostCheckBox {
  HostWindow window;
  uint8_t state;
  HostCheckChangedFn onChange;
  uint8_t flag; /* set to 0 by the plug-in */
} HostCheckBox;

/* LOGFONTA, as the host describes its fonts. */
typedef struct HostLogFont {
  int32_t height, width, escapement, orientation, weight;
  uint8_t italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
  char faceName[32];
} HostLogFont;

/* ---- Services ---------------------------------------------------------------------------- */
typedef HostResult(PGN_STDCALL* HostWindowProcFn)(HostWindow, uint32_t message, HostWParam, HostLParam);
typedef void(PGN_STDCALL* HostPaintFn)(HostWindow, HostDeviceContext);

/* 48: a comment of the current line: flag 1 the leading one, 0 the host's second one. */
typedef const char*(PGN_STDCALL* HostLineCommentFn)(int32_t flag);
/* 35: creates the panel: (title, 0, 0, width, height, main window, 1, 0, 2, procedures). */
typedef HostWindow(PGN_STDCALL* HostCreatePanelFn)(const uint16_t* title, int32_t x, int32_t y, int32_t width,
                                                   int32_t height, HostWindow owner, int32_t a, int32_t b, int32_t c,
                                                   HostWindowProcFn windowProc, HostPaintFn paint);
/* 37: runs a modal window; 1, or -1 when cancelled. */
typedef int32_t(PGN_STDCALL* HostRunModalFn)(const uint16_t* title, int32_t x, int32_t y, int32_t width, int32_t height,
                                             HostWindow owner, HostWindowProcFn windowProc, HostPaintFn paint);
/* 39: paints a plug-in window's background. */
typedef void(PGN_STDCALL* HostPaintBackgroundFn)(HostWindow, HostDeviceContext);
/* 40: creates a host check box at (x, y) in the parent. */
typedef void(PGN_STDCALL* HostCheckBoxFn)(HostCheckBox* box, int32_t x, int32_t y, HostWindow parent);
/* 45: draws one of the host's images: (device context, image, x, y, width, height). */
typedef void(PGN_STDCALL* HostDrawImageFn)(HostDeviceContext, void* image, int32_t x, int32_t y, int32_t width,
                                           int32_t height);
/* 10004: registers a menu command: descriptor MAKELONG(9, 0), callback or null; the command id. */
typedef void(PGN_STDCALL* HostCommandFn)(void);
typedef int32_t(PGN_STDCALL* HostRegisterCommandFn)(int32_t descriptor, HostCommandFn callback);
/* 10006 and 10011: make a window of class "knop" a host button, without or with a caption. */
typedef void(PGN_STDCALL* HostMakeButtonFn)(HostButton* button);
typedef void(PGN_STDCALL* HostMakeCaptionButtonFn)(HostButton* button, const uint16_t* caption);

/* The current game. Move indexes are 0-based; "show move i" applies the first i moves of the
   current line (0: before the first). */
typedef void(PGN_STDCALL* HostEnterVariationFn)(int32_t oneBasedIndex); /* 58, at the shown move */
typedef void(PGN_STDCALL* HostLeaveVariationFn)(void);                  /* 59 */
typedef const HostMove*(PGN_STDCALL* HostMoveAtFn)(int32_t index);      /* 60, null out of range */
typedef void(PGN_STDCALL* HostShowMoveFn)(int32_t index);               /* 67 */
typedef int32_t(PGN_STDCALL* HostCountFn)(void);                        /* 68, 69, 70, 71 */
typedef const char*(PGN_STDCALL* HostTextFn)(void);                     /* 75 */
typedef void(PGN_STDCALL* HostSelectGameFn)(int32_t row);               /* 77 */

#ifdef __cplusplus
}
#endif

#if defined(__cplusplus) && defined(_WIN32) && !defined(_WIN64)
/* The layouts the host relies on, for 32-bit Windows. */
static_assert(sizeof(HostMove) == 28, "TMove");
static_assert(offsetof(HostMove, san) == 8 && offsetof(HostMove, comment) == 12, "TMove texts");
static_assert(offsetof(HostMove, nag) == 16 && offsetof(HostMove, variations) == 20, "TMove NAG");
static_assert(offsetof(HostMove, variationCount) == 24, "TMove count");
static_assert(sizeof(HostPanelRecord) == 32, "panel record");
static_assert(offsetof(HostPanelRecord, showCommand) == 16, "panel show command");
static_assert(offsetof(HostPanelRecord, minimumWidth) == 24, "panel minimum width");
static_assert(offsetof(HostPanelRecord, minimumHeight) == 28, "panel minimum height");
static_assert(sizeof(HostButton) == 20, "TButInf");
static_assert(offsetof(HostStyle, buttonTemplate) == 400, "button template");
static_assert(sizeof(HostCheckBox) == 16 && offsetof(HostCheckBox, onChange) == 8, "check box");
static_assert(sizeof(HostGameEntry) == 24, "game entry");
static_assert(sizeof(HostLogFont) == 60, "LOGFONTA");
static_assert(sizeof(HostGameArray) == 8 && sizeof(HostIndexArray) == 8, "arrays");
#endif

#endif
