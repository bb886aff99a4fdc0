/*
 * The Tessane platform layer: the small set of operating-system services that
 * the host, the command-line tool and the comment plug-ins share, under the
 * names and with the behaviour of the Win32 functions they stand for.
 *
 * It lives in one shared library (libtessane_platform.so) so that a block
 * allocated in a plug-in can be locked and freed by the host, and so that the
 * one process-wide UI handler serves every module.
 *
 * Text passed to the user-interface services is UTF-8. Comment text is never
 * interpreted here.
 *
 * This header compiles on its own as C and as C++.
 */
#ifndef TESSANE_PLATFORM_H
#define TESSANE_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define TSN_PLATFORM_API __declspec(dllimport)
#else
#define TSN_PLATFORM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t BOOL;
typedef uint32_t UINT;
typedef uint32_t DWORD;
typedef void *HMODULE;   /* a loaded library; opaque */
typedef void *HINSTANCE; /* same as HMODULE */
typedef void *HLOCAL;    /* a local memory block; opaque */
typedef void *HWND;      /* a window, understood by the installed UI handler; opaque */
typedef void (*FARPROC)(void);

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/* ---- Modules -------------------------------------------------------------
 * LoadLibraryA: loads the library at path (dlopen with RTLD_NOW | RTLD_LOCAL).
 *   Returns null when the file is missing, is not a library, or its start-up
 *   fails. Each successful call must be matched by one FreeLibrary.
 * GetProcAddress: the address of the export name in module, or null.
 * FreeLibrary: releases a module; TRUE on success, FALSE for a null module.
 * GetModuleFileNameA: writes the full path of module (a null module: the running
 *   program's executable) into buffer of size bytes, zero-terminated. Returns
 *   the length written without the terminator; when the path does not fit it
 *   is cut to size - 1 bytes and size is returned. 0 on failure.
 */
TSN_PLATFORM_API HMODULE LoadLibraryA(const char *path);
TSN_PLATFORM_API FARPROC GetProcAddress(HMODULE module, const char *name);
TSN_PLATFORM_API BOOL FreeLibrary(HMODULE module);
TSN_PLATFORM_API DWORD GetModuleFileNameA(HMODULE module, char *buffer, DWORD size);

/* ---- Local memory ----------------------------------------------------------
 * LocalAlloc: a block of bytes bytes (LMEM_ZEROINIT: zero-filled). Returns a
 *   handle, or null when out of memory or bytes exceeds INT32_MAX. A block made in one module can be
 *   locked and freed in another.
 * LocalLock: the block's address; null for a null or unknown handle.
 * LocalUnlock: drops one lock; returns TRUE while the block stays locked.
 * LocalFree: frees the block (locked or not); returns null on success and the
 *   handle itself when it is not a live block (nothing is freed then).
 */
#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)

TSN_PLATFORM_API HLOCAL LocalAlloc(UINT flags, size_t bytes);
TSN_PLATFORM_API void *LocalLock(HLOCAL block);
TSN_PLATFORM_API BOOL LocalUnlock(HLOCAL block);
TSN_PLATFORM_API HLOCAL LocalFree(HLOCAL block);

/* ---- Private-profile settings ----------------------------------------------
 * Section and key names match without regard to letter case; values are
 * trimmed of blanks. A missing file, section or key gives the default.
 * GetPrivateProfileIntA: the leading decimal digits of the value (0 when there
 *   are none, so "-5" gives 0; at most INT32_MAX); the default when the key is
 *   missing or its value empty.
 * A value enclosed in a pair of quotes ('"' or '\'') is read without them.
 * GetPrivateProfileStringA: copies the value (or def, null meaning "") into
 *   buffer of size bytes, cut to size - 1 and zero-terminated; returns the
 *   number of bytes copied without the terminator. A null section or key
 *   gives the default (names are not listed).
 * WritePrivateProfileStringA: sets key in section to value, creating the file
 *   and the section when missing; a null value deletes the key, a null key the
 *   whole section. Every other line of the file is kept byte for byte. The new
 *   file replaces the old one in one step, so a failed write never leaves a
 *   half-written file. A value that would not read back as given (blanks at
 *   its ends, or enclosed in quotes) is written inside double quotes. FALSE,
 *   with the file untouched, for a null section, for names or values holding
 *   a line break, a key that is empty, holds '=' or starts with '[' or ';', a
 *   section name holding ']', or a file that exists but cannot be read.
 *   Deleting from a missing file succeeds without creating it. TRUE on success.
 */
TSN_PLATFORM_API UINT GetPrivateProfileIntA(const char *section, const char *key, int32_t def,
                                            const char *fileName);
TSN_PLATFORM_API DWORD GetPrivateProfileStringA(const char *section, const char *key, const char *def,
                                                char *buffer, DWORD size, const char *fileName);
TSN_PLATFORM_API BOOL WritePrivateProfileStringA(const char *section, const char *key, const char *value,
                                                 const char *fileName);

/* ---- Directory search ------------------------------------------------------
 * FindFirst(pathMask, attributes, rec): starts a search for the entries of the
 *   directory part of pathMask whose names match its last part (wildcards '*'
 *   and '?', letter case ignored). Ordinary files are found, hidden ones (a
 *   leading dot) only when attributes holds faHidden; directories only when it
 *   holds faDirectory. Entries come in the order the file system returns them.
 *   Returns 0 and fills rec with the first entry, or non-zero when there is
 *   none (rec then needs no FindClose, though calling it is harmless).
 *   The non-zero results are 3 (the directory cannot be opened) and 2 (no
 *   entry matches). A symbolic link counts as the entry it points to; "." and
 *   ".." are never found; the mask "*.*" matches names without a dot too.
 * FindNext(rec): 0 and the next entry, or non-zero (18) at the end.
 * FindClose(rec): ends the search and releases it; safe to call twice.
 */
#define faReadOnly 0x01
#define faHidden 0x02
#define faSysFile 0x04
#define faDirectory 0x10
#define faArchive 0x20
#define faAnyFile 0x3F

typedef struct TSearchRec {
    char Name[256];   /* the entry's name, without directory */
    int64_t Size;     /* its size in bytes */
    int32_t Attr;     /* fa* bits of the entry */
    void *FindHandle; /* internal */
} TSearchRec;

TSN_PLATFORM_API int32_t FindFirst(const char *pathMask, int32_t attributes, TSearchRec *rec);
TSN_PLATFORM_API int32_t FindNext(TSearchRec *rec);
TSN_PLATFORM_API void FindClose(TSearchRec *rec);

/* ---- Text --------------------------------------------------------------------
 * CharLowerBuffA: lower-cases length bytes in place, ASCII letters only; bytes
 * of 0x80 and above are left alone. Returns length.
 */
TSN_PLATFORM_API DWORD CharLowerBuffA(char *text, DWORD length);

/* ---- User interface ----------------------------------------------------------
 * The platform draws nothing itself. A program installs a UI handler at
 * start-up (the GUI: Qt dialogs; the command-line tool: the terminal; tests: a
 * scripted handler). With none installed, a message box writes its caption and
 * text to standard error and returns IDOK, and a dialog returns IDCANCEL.
 */
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON2 0x00000100u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONMASK 0x000000F0u
#define MB_DEFMASK 0x00000F00u

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

/* MessageBoxA: a modal box owned by owner; returns the button id pressed. */
TSN_PLATFORM_API int32_t MessageBoxA(HWND owner, const char *text, const char *caption, UINT style);

/* Dialog templates, kept as data in the module that shows them. Rectangles
 * are in dialog units of the template's font, as on Windows. */
#define TSN_DLG_CHECKBOX 1      /* automatic check box */
#define TSN_DLG_STATIC 2        /* left-aligned static text */
#define TSN_DLG_PUSHBUTTON 3    /* push button */
#define TSN_DLG_DEFPUSHBUTTON 4 /* default push button (Enter) */

typedef struct TSN_DLGITEM {
    int32_t id;       /* control id; -1 for a static text nobody addresses */
    int32_t kind;     /* TSN_DLG_* */
    const char *text; /* caption, UTF-8 */
    int16_t x, y, cx, cy;
} TSN_DLGITEM;

typedef struct TSN_DLGTEMPLATE {
    const char *caption;  /* window caption, UTF-8 */
    int16_t cx, cy;       /* client size in dialog units */
    const char *fontName; /* font family, UTF-8 */
    int16_t pointSize;
    int32_t itemCount;
    const TSN_DLGITEM *items;
} TSN_DLGTEMPLATE;

#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define BST_UNCHECKED 0u
#define BST_CHECKED 1u

/* A dialog procedure: WM_INITDIALOG (lParam = the init parameter) and
 * WM_COMMAND (wParam = the control id). Returns non-zero when it handled the
 * message. dialog is the handle to pass to EndDialog and the button calls. */
typedef intptr_t (*DLGPROC)(HWND dialog, UINT message, uintptr_t wParam, intptr_t lParam);

/* DialogBoxIndirectParamA: shows the dialog modally, owned by owner, through
 * the installed UI handler. Returns the value passed to EndDialog; IDCANCEL
 * when no handler is installed (the procedure is then never called) or when
 * the handler returns without the dialog having ended; -1 for a null template
 * or procedure. The dialog handle is valid only until it returns.
 * EndDialog: marks the dialog ended with result; FALSE for a handle that is no
 *   dialog being shown.
 * CheckDlgButton: sets the check state of control id; FALSE when the dialog or
 *   the control does not exist.
 * IsDlgButtonChecked: the check state of control id; BST_UNCHECKED until set. */
TSN_PLATFORM_API intptr_t DialogBoxIndirectParamA(HINSTANCE instance, const TSN_DLGTEMPLATE *dialogTemplate,
                                                  HWND owner, DLGPROC dialogProc, intptr_t initParam);
TSN_PLATFORM_API BOOL EndDialog(HWND dialog, intptr_t result);
TSN_PLATFORM_API BOOL CheckDlgButton(HWND dialog, int32_t id, UINT check);
TSN_PLATFORM_API UINT IsDlgButtonChecked(HWND dialog, int32_t id);

/* ---- The UI handler --------------------------------------------------------
 * messageBox: show text and caption with the buttons and icon of style, owned
 *   by owner (an HWND the handler understands, or a dialog handle given to its
 *   runDialog, or null); return IDOK, IDCANCEL, IDYES or IDNO.
 * runDialog: show dialogTemplate modally. The handler calls TsnDialogInit once
 *   its controls exist, reads the check state of each check box with
 *   IsDlgButtonChecked, and for every button press (after passing a check
 *   box's new state with CheckDlgButton) calls TsnDialogCommand with the
 *   control's id; Escape or the close box send IDCANCEL. It closes the dialog
 *   as soon as TsnDialogEnded reports an end, and returns nothing itself.
 * Both run on the calling thread.
 */
typedef struct TSN_UI_HANDLER {
    void *context;
    int32_t (*messageBox)(void *context, HWND owner, const char *text, const char *caption, UINT style);
    void (*runDialog)(void *context, HWND owner, const TSN_DLGTEMPLATE *dialogTemplate, HWND dialog);
} TSN_UI_HANDLER;

/* Installs handler (copied) for the whole process; null restores the default.
 * Returns the handler installed before (by value in *previous when not null). */
TSN_PLATFORM_API void TsnSetUiHandler(const TSN_UI_HANDLER *handler, TSN_UI_HANDLER *previous);

/* For handlers: drive the dialog procedure of a dialog shown by runDialog.
 * TsnDialogInit sends WM_INITDIALOG with the init parameter; TsnDialogCommand
 * sends WM_COMMAND with wParam = id. Neither calls the procedure once the
 * dialog has ended. TsnDialogEnded: TRUE once EndDialog was called (its result
 * in *result when not null); also TRUE, with IDCANCEL, for a handle that is no
 * dialog being shown, so that a handler's loop always stops. */
TSN_PLATFORM_API void TsnDialogInit(HWND dialog);
TSN_PLATFORM_API void TsnDialogCommand(HWND dialog, int32_t id);
TSN_PLATFORM_API BOOL TsnDialogEnded(HWND dialog, intptr_t *result);
/* The handler's own window for dialog (for owning message boxes); null first. */
TSN_PLATFORM_API void TsnDialogSetWindow(HWND dialog, void *window);
TSN_PLATFORM_API void *TsnDialogWindow(HWND dialog);

#ifdef __cplusplus
}
#endif

#endif /* TESSANE_PLATFORM_H */
