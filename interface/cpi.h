/*
 * Comment plug-in interface, version "CPI1".
 *
 * A comment plug-in is a shared library named NAME.cpi lying in the host
 * program's directory. It exports exactly the five functions declared below,
 * with C linkage and undecorated names; the host binds them by name with
 * GetProcAddress. See interface/README.md for the ABI on Linux.
 *
 * Text crossing this interface is 8-bit text ending in a zero byte. Comment
 * text is passed through as bytes, never converted. Sizes and results are
 * signed 32-bit integers, the information index an unsigned 32-bit integer.
 *
 * This header compiles on its own as C and as C++.
 */
#ifndef TESSANE_CPI_H
#define TESSANE_CPI_H

#include <stdint.h>

#include "tessane/platform.h" /* HWND, HLOCAL and the local-memory functions */

/* The calling convention of the interface. The 32-bit Windows build uses
 * stdcall; every other platform uses its native convention. */
#if defined(_WIN32) && !defined(_WIN64)
#define CPI_CALL __stdcall
#else
#define CPI_CALL
#endif

/* Marks a plug-in's definition of one of the five exports. */
#if defined(_WIN32)
#define CPI_EXPORT_ATTR __declspec(dllexport)
#else
#define CPI_EXPORT_ATTR __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
#define CPI_EXPORT extern "C" CPI_EXPORT_ATTR
#else
#define CPI_EXPORT CPI_EXPORT_ATTR
#endif

/* The answer every plug-in gives to CPI_INFO_VERSION. */
#define CPI_VERSION_TEXT "CPI1"

/* Result codes, shared by plug-ins and the host's own file operations. */
#define CPI_OK 0            /* success */
#define CPI_ERR_NOPLUGIN -1 /* host: no loaded plug-in takes the file */
#define CPI_ERR_FORMAT -2   /* GetComment: the image is not of the plug-in's format */
#define CPI_ERR_WRITE -3    /* WriteComment: the file could not be written, or wrong format */
#define CPI_ERR_MEMORY -4   /* out of memory, or a block that cannot be locked */
#define CPI_ERR_FILEIO -5   /* host: the file could not be opened or read */
#define CPI_ERR_PLUGIN -6   /* module cannot be loaded / lacks an export; function not offered */
#define CPI_ERR_CANCEL -7   /* WriteComment: declined after telling the user; nothing written */

/* GetPluginInfo indices. */
#define CPI_INFO_VERSION 0u     /* exactly "CPI1" */
#define CPI_INFO_DESCRIPTION 1u /* one line: the plug-in's name and version */
#define CPI_INFO_FILTER 2u      /* patterns joined by ';' without blanks: "*.jpg;*.jpeg" */
#define CPI_INFO_TYPENAME 3u    /* short file-type name: "GIF Image" */

/* ConfigurationDlg functions. */
#define CPI_CONFIG_ABOUT 0    /* show the about box, modal, owned by owner */
#define CPI_CONFIG_SETTINGS 1 /* show the settings dialog, modal, owned by owner */
#define CPI_CONFIG_FLAGS 2    /* report the capability flags; shows nothing */

/* Capability flags answered to CPI_CONFIG_FLAGS (never 0). */
#define CPI_FLAG_ABOUT 1     /* CPI_CONFIG_ABOUT is offered */
#define CPI_FLAG_SETTINGS 16 /* CPI_CONFIG_SETTINGS is offered */

/* Capacity the host passes to GetPluginInfo; its buffer holds one byte more. */
#define CPI_INFO_CAPACITY 64

#ifdef __cplusplus
extern "C" {
#endif

/*
 * GetPluginInfo: copies the text for index into buffer.
 *   buffer holds size + 1 bytes; size is the capacity without the terminator.
 *   For index 0..3 the plug-in copies at most size - 2 characters followed by a
 *   zero byte, stores a zero byte at buffer[size], and returns the length of the
 *   text now in the buffer. For any other index (compared unsigned) it returns
 *   0 and leaves the buffer untouched.
 */
typedef int32_t(CPI_CALL *CPI_GetPluginInfoFunc)(uint32_t index, char *buffer, int32_t size);

/*
 * IsSupported: a quick signature test over the first bytes of a file.
 *   image holds size bytes (at most 2048, 0 for an empty file); the plug-in
 *   reads none beyond size. Returns 0 when the plug-in handles the file and -1
 *   when it does not; the host takes exactly 0 as yes.
 */
typedef int32_t(CPI_CALL *CPI_IsSupportedFunc)(const unsigned char *image, int32_t size);

/*
 * GetComment: extracts the comment and an information text.
 *   image, size: the whole file, owned by the host and valid during the call.
 *   comment, info: the host sets both handles to null before the call.
 *   On success returns CPI_OK; stores through comment a block holding the
 *   comment text and its zero byte (an empty comment that is present gives a
 *   block holding only the zero byte; no comment leaves the handle null), and
 *   through info a block with the information text (CR LF between lines).
 *   Blocks are LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT) blocks, unlocked; from
 *   a CPI_OK return they belong to the host, which locks, copies and frees them.
 *   On failure returns CPI_ERR_FORMAT or CPI_ERR_MEMORY; the host then neither
 *   reads nor frees the handles.
 */
typedef int32_t(CPI_CALL *CPI_GetCommentFunc)(HWND owner, const unsigned char *image, int32_t size,
                                              HLOCAL *comment, HLOCAL *info);

/*
 * WriteComment: writes a complete new file carrying a new comment.
 *   fileName: the file to create (replacing any file of that name). The host
 *   passes a fresh temporary file, never the file being edited.
 *   image, size: the current file; owned by the host, but the plug-in may change
 *   bytes of it during the call.
 *   text, textLength: the new comment, zero-terminated, textLength bytes without
 *   the terminator. An empty text means the new file carries no comment.
 *   Returns CPI_OK when the whole file was written and closed; CPI_ERR_WRITE when
 *   it could not be created or written or the image is not of the plug-in's
 *   format; CPI_ERR_MEMORY; CPI_ERR_CANCEL when the plug-in declined after
 *   telling the user (nothing written). On any non-zero result the host deletes
 *   fileName.
 */
typedef int32_t(CPI_CALL *CPI_WriteCommentFunc)(HWND owner, const char *fileName, unsigned char *image,
                                                int32_t size, const char *text, int32_t textLength);

/*
 * ConfigurationDlg: about box, settings dialog or capability flags.
 *   CPI_CONFIG_ABOUT / CPI_CONFIG_SETTINGS: shows the box modally, owned by
 *   owner, and returns 0 (also when the user cancelled the settings dialog).
 *   CPI_CONFIG_FLAGS: returns the capability flags (never 0); owner may be null.
 *   Any other function, or a box the plug-in does not offer: CPI_ERR_PLUGIN.
 */
typedef int32_t(CPI_CALL *CPI_ConfigurationDlgFunc)(HWND owner, int32_t function);

/* The five exports as a plug-in defines them. The host never calls these
 * declarations directly: it binds each one by name from a loaded module. */
CPI_EXPORT int32_t CPI_CALL GetPluginInfo(uint32_t index, char *buffer, int32_t size);
CPI_EXPORT int32_t CPI_CALL IsSupported(const unsigned char *image, int32_t size);
CPI_EXPORT int32_t CPI_CALL GetComment(HWND owner, const unsigned char *image, int32_t size, HLOCAL *comment,
                                       HLOCAL *info);
CPI_EXPORT int32_t CPI_CALL WriteComment(HWND owner, const char *fileName, unsigned char *image, int32_t size,
                                         const char *text, int32_t textLength);
CPI_EXPORT int32_t CPI_CALL ConfigurationDlg(HWND owner, int32_t function);

#ifdef __cplusplus
}
#endif

#endif /* TESSANE_CPI_H */
