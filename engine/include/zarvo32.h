/* Zarvo32: the Oxtarn identification engine.
 *
 * Tells a file's kind from its bytes. All texts are Shift-JIS (code page 932)
 * bytes, zero-ended. On 32-bit Windows every function is __stdcall.
 */
#ifndef ZARVO32_H
#define ZARVO32_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define ZARVO_CALL __stdcall
#else
#define ZARVO_CALL
#endif

#if defined(ZARVO_BUILDING)
#if defined(_WIN32)
#define ZARVO_API __declspec(dllexport)
#else
#define ZARVO_API __attribute__((visibility("default")))
#endif
#else
#if defined(_WIN32)
#define ZARVO_API __declspec(dllimport)
#else
#define ZARVO_API
#endif
#endif

/* The result record that ZarvoGetInfo fills: three zero-ended text fields. */
typedef struct ZarvoRecord {
    char extension[512];   /* candidate list, present extension first; "?" when unknown */
    char description[256]; /* description of the first candidate, with its category label */
    char detail[512];      /* detail text (level, codec summary, title, ...) */
} ZarvoRecord;

/* Option bits of ZarvoGetInfo. */
enum {
    ZARVO_MACBINARY = 1, /* skip a 128-byte MacBinary header */
    ZARVO_FOOTER = 2,    /* footer signatures on the last 1024 bytes */
    ZARVO_SPECIAL = 4,   /* special identification and the window scan */
    ZARVO_QUIET = 8,     /* no error report when the file cannot be opened */
    ZARVO_CURRENT = 16   /* ask the current-formats layer first */
};

/* The error report function: called with the system's error text and the
 * caption "Error" when a file cannot be opened (unless ZARVO_QUIET). */
typedef void(ZARVO_CALL* ZarvoErrorReport)(const char* text, const char* caption);

#ifdef __cplusplus
extern "C" {
#endif

/* Identifies the file at `path` from its first `sample_length` bytes (0 to
 * 40000; 256 is the usual) and its last 1024, and fills `record`. Always 0. */
ZARVO_API int32_t ZARVO_CALL ZarvoGetInfo(const char* path, int32_t sample_length, ZarvoRecord* record,
                                          uint32_t options);
/* Identifies bytes in memory: `data` holds `length` bytes, the content's
 * head or, where the caller has it, the whole content. `name` (may be NULL)
 * gives the present extension as a path would. Fills `record` as
 * ZarvoGetInfo does; always 0. */
ZARVO_API int32_t ZARVO_CALL ZarvoGetInfoFromMemory(const void* data, uint64_t length, const char* name,
                                                    int32_t sample_length, ZarvoRecord* record, uint32_t options);
ZARVO_API int32_t ZARVO_CALL ZarvoGetVersion(void);       /* 121 */
ZARVO_API int32_t ZARVO_CALL ZarvoGetExNumKind(void);     /* 765 kinds */
ZARVO_API int32_t ZARVO_CALL ZarvoGetExNumPattern(void);  /* 824 signatures */
ZARVO_API int32_t ZARVO_CALL ZarvoGetExtListLength(void); /* 3000: the buffer ZarvoGetExtList needs */
/* Writes every known extension, comma-separated, into `buffer` (at least
 * ZarvoGetExtListLength() bytes); returns their number, 718. */
ZARVO_API int32_t ZARVO_CALL ZarvoGetExtList(char* buffer);
/* The English name and MIME type of the first entry of a candidate list
 * (as in ZarvoRecord.extension): writes at most 255 / 127 bytes and a zero
 * into name[256] and mime[128]; returns 1 when the kind is known, else 0
 * (both left empty). The current-formats layer's kinds are looked up first,
 * then the classic kinds. */
ZARVO_API int32_t ZARVO_CALL ZarvoGetKindName(const char* extensions, char* name, char* mime);
/* The buffer ZarvoGetCurrentExtList needs: the length of the list of the
 * current-formats layer's kinds, and its zero. */
ZARVO_API int32_t ZARVO_CALL ZarvoGetCurrentExtListLength(void);
/* Writes the current-formats layer's kinds (their first extensions, sorted,
 * comma-separated) into `buffer` of `size` bytes when the list fits (else an
 * empty text, when size > 0); returns the number of kinds. */
ZARVO_API int32_t ZARVO_CALL ZarvoGetCurrentExtList(char* buffer, int32_t size);
/* CRC-16/MCRF4XX (low 16 bits) and CRC-32 of the whole file; 0 when it cannot be opened. */
ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC(const char* path);
ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC32(const char* path);
/* Installs the error report function; NULL restores the default (standard error). */
ZARVO_API void ZARVO_CALL ZarvoSetErrorReport(ZarvoErrorReport report);

#ifdef __cplusplus
}

/* The description of `ext`: variant 1 the primary table, 2 and more the
 * secondary table's variant of that number. `out` holds at least 256 bytes. */
ZARVO_API void ZARVO_CALL gGetWhatEx(const char* ext, int32_t variant, char* out);
/* One part of `path`: 1 title, 2 extension, 3 name, 4 folder. `out` holds
 * at least as many bytes as `path`. */
ZARVO_API void ZARVO_CALL gGetNameEx(const char* path, int32_t part, char* out);
#endif

#endif /* ZARVO32_H */
