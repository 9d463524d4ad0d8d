/*
 * sxapilib.h: the host's plug-in interface, the whole of the host that a plug-in sees.
 *
 * Conventions:
 *  - Handles are opaque. A dialog is a GUI object too: every call that takes an SxGui
 *    accepts a dialog (caption, help context, visibility).
 *  - Calls that read a value or prompt the user return 0 on success; on any other result
 *    the output arguments are left untouched, so the caller keeps its previous value.
 *    Exceptions are documented at the call (sxGetTextureType, sxGetTextureWidth,
 *    sxGetTextureHeight and sxToggleButtonGetState).
 *  - Value setters take (control, value, printf format or 0 for the host's default).
 *  - Calls that take attribute pairs (sxRegisterViewer, sxPromptDialogFile) are variadic:
 *    key text, value, key text, value, ..., terminated by a null key.
 *  - Memory from sxMalloc is zero-filled and goes back with sxFree. Blocks that the host
 *    hands to the plug-in (image pixels) come from sxMalloc too.
 *  - Every call is made on the host's user-interface thread.
 */
#ifndef SXAPILIB_H
#define SXAPILIB_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define SX_EXPORT __attribute__((visibility("default")))
#else
#define SX_EXPORT
#endif

/* ---- Handles ---------------------------------------------------------------------------- */

typedef struct SxPluginRec* SxPlugin;     /* the loaded plug-in, passed to sxpInit/sxpExit */
typedef struct SxModuleRec* SxModule;     /* the plug-in's shared object */
typedef struct SxResourceRec* SxResource; /* the plug-in's resource file */
typedef struct SxToolRec* SxTool;         /* a registered tool */
typedef struct SxGuiRec* SxGui;           /* a dialog or a control */
typedef SxGui SxDialog;                   /* dialogs are GUI objects */
typedef struct SxPixmapRec* SxPixmap;
typedef struct SxCursorRec* SxCursor;
typedef struct SxImageInfoRec* SxImageInfo;

/* ---- Callback types --------------------------------------------------------------------- */

/* Called when the user starts a tool. Returns 0. */
typedef int (*SxToolStartFn)(SxTool tool, SxResource resource);

/* Dialog event function: event is one of SxDialogEvent. Returns 0. */
typedef int (*SxDialogFn)(SxDialog dialog, int id, int event, void* data);

/* Control callback: reason is one of SxReason (or SX_MOUSE_EVENT for GL mouse functions);
 * callData depends on the control: SxScaleCallData for scales, SxGLDrawData for GL draws,
 * SxMouseData for GL mouse functions, null otherwise. Returns 0. */
typedef int (*SxGuiFn)(SxGui control, int id, int reason, void* data, void* callData);

/* ---- Constants -------------------------------------------------------------------------- */

enum SxDialogEvent {
  SX_EVENT_INIT = 4,     /* once, when the dialog is created */
  SX_EVENT_SHOW = 8,     /* every time the dialog is shown */
  SX_EVENT_CLOSE = 16,   /* the shown dialog is being hidden, by the user or by
                            sxHideDialog; it is hidden, not destroyed */
  SX_EVENT_ACTIVATE = 32 /* the shown dialog became the active window */
};

enum SxReason { SX_REASON_ACTIVATE = 1, SX_REASON_REFRESH = 2 };

enum SxCallbackMask {
  SX_MASK_ACTIVATE = 1,
  SX_MASK_REFRESH = 2,
  SX_MASK_ACTIVATE_REFRESH = 3,
  SX_MASK_GL_DRAW = 64
};

/* Mouse functions of GL controls: the mask of sxGLSetMouseFunc and the event passed. */
enum { SX_MOUSE_EVENT = 1 };

/* Action codes of SxMouseData. */
enum SxMouseAction { SX_MOUSE_MOVE = 0, SX_MOUSE_RELEASE = 1, SX_MOUSE_PRESS = 2 };

/* Drag states of a scale's activate callback. */
enum SxScaleDrag { SX_SCALE_DRAG_START = 0, SX_SCALE_DRAGGING = 1, SX_SCALE_FINAL = 2 };

enum SxMessageKind {
  SX_MESSAGE_ERROR = 1025,
  SX_MESSAGE_WARNING = 513,
  SX_MESSAGE_INFORMATION = 257,
  SX_MESSAGE_YES_NO = 2052
};
enum { SX_ANSWER_YES = 1, SX_ANSWER_NO = 0 };

enum SxPromptFileMode { SX_PROMPT_OPEN = 0, SX_PROMPT_SAVE = 1 };

enum SxCursorId { SX_CURSOR_WAIT = 2 };

/* sxControlSetAttribute: the control paints its whole view itself (no background erase). */
enum SxControlAttribute { SX_ATTRIBUTE_OPAQUE = 0 };

/* Image kinds reported by sxGetTextureType and sxReadImage. */
enum SxImageKind {
  SX_IMAGE_INTENSITY = 2,       /* one plane of w*h bytes */
  SX_IMAGE_INTENSITY_ALPHA = 3, /* two planes: intensity, then alpha */
  SX_IMAGE_RGB = 4,             /* three planes: red, green, blue */
  SX_IMAGE_RGBA = 5             /* one plane of w*h groups of r, g, b, a */
};

/* ---- Call data records ------------------------------------------------------------------ */

typedef struct SxGLDrawData {
  int viewWidth;
  int viewHeight;
} SxGLDrawData;

typedef struct SxMouseData {
  int action; /* SxMouseAction */
  int x;      /* pixels from the left edge of the view */
  int y;      /* pixels from the bottom edge of the view */
} SxMouseData;

typedef struct SxScaleCallData {
  int dragState; /* SxScaleDrag */
} SxScaleCallData;

/* ---- Frame ------------------------------------------------------------------------------ */

SX_EXPORT SxModule sxGetModuleHandle(SxPlugin plugin);
/* Reads "<module file name without extension>.rsrc.json" beside the module; 0 on failure. */
SX_EXPORT SxResource sxLoadResource(SxModule module);
SX_EXPORT void sxUnloadResource(SxResource resource);
SX_EXPORT int sxRegisterHelpFile(SxPlugin plugin, const char* file);
/* Registers a tool; the variadic part is key/value text pairs ended by a null key.
 * Returns the tool, or 0 on failure. The host calls startFn(tool, resource) on each start. */
SX_EXPORT SxTool sxRegisterViewer(SxPlugin plugin, const char* name, SxToolStartFn startFn,
                                  SxResource resource, ...);
SX_EXPORT void sxUnregisterAllTools(SxPlugin plugin);

/* ---- Dialogs ---------------------------------------------------------------------------- */

/* Creates dialog template id of the resource. fn receives the events whose bits are in
 * mask; SX_EVENT_INIT is delivered before this call returns. Returns 0 on failure. */
SX_EXPORT SxDialog sxResourceGetDialog(SxGui parent, SxResource resource, int id, int mask,
                                       SxDialogFn fn, void* data);
/* Showing a hidden dialog delivers SX_EVENT_SHOW, runs every refresh callback, then
 * delivers SX_EVENT_ACTIVATE. */
SX_EXPORT int sxShowDialog(SxDialog dialog);
SX_EXPORT int sxHideDialog(SxDialog dialog);
/* Runs the refresh callback of every control of the dialog, in control order. */
SX_EXPORT int sxRefreshDialog(SxDialog dialog);
SX_EXPORT int sxSetCaption(SxGui gui, const char* caption);
SX_EXPORT int sxGuiSetHelpContext(SxGui gui, const char* context);

/* ---- Controls --------------------------------------------------------------------------- */

/* The control with that id, or 0 when the dialog has none. */
SX_EXPORT SxGui sxFindGuiById(SxDialog dialog, int id);
SX_EXPORT int sxSetGuiCallback(SxGui control, int mask, SxGuiFn fn, void* data);
SX_EXPORT int sxSetEnabled(SxGui gui, int enabled);
SX_EXPORT int sxSetVisible(SxGui gui, int visible);
/* Runs the control's refresh callback. */
SX_EXPORT int sxRefreshControl(SxGui control);
/* Redraws a GL control: runs its draw callback in the control's GL context. */
SX_EXPORT int sxDrawControl(SxGui control);
SX_EXPORT int sxGuiSetFixedFont(SxGui control);
SX_EXPORT int sxControlSetAttribute(SxGui control, int attribute, int value);
SX_EXPORT int sxGuiGetViewSize(SxGui control, int* width, int* height);

/* ---- Text controls ---------------------------------------------------------------------- */

SX_EXPORT int sxTextSetString(SxGui control, const char* text);
/* Copies at most max - 1 characters and a terminator into buf. */
SX_EXPORT int sxTextGetString(SxGui control, char* buf, int max);
SX_EXPORT int sxTextSetInteger(SxGui control, int value, const char* format);
SX_EXPORT int sxTextGetInteger(SxGui control, int* value);
SX_EXPORT int sxTextSetFloat(SxGui control, float value, const char* format);
SX_EXPORT int sxTextGetFloat(SxGui control, float* value);
SX_EXPORT int sxTextSetDouble(SxGui control, double value, const char* format);
SX_EXPORT int sxTextGetDouble(SxGui control, double* value);
/* Angles in degrees shown as degrees, minutes and seconds; format is "STANDARD_LAT" or
 * "STANDARD_LON". sxTextGetDMS reads back what sxTextSetDMS writes and the usual typed
 * forms (36 26 46.5 N, 36:26:46.5, -36.446). */
SX_EXPORT int sxTextSetDMS(SxGui control, double degrees, const char* format);
SX_EXPORT int sxTextGetDMS(SxGui control, double* degrees, const char* format);
SX_EXPORT int sxTextSetEditable(SxGui control, int editable);

/* ---- Toggles, option menus, lists ------------------------------------------------------- */

SX_EXPORT int sxToggleButtonSetState(SxGui control, int state);
/* Returns the state (0 or 1) itself. */
SX_EXPORT int sxToggleButtonGetState(SxGui control);

/* Positions count from 1. */
SX_EXPORT int sxOptionMenuAddItem(SxGui control, const char* label);
SX_EXPORT int sxOptionMenuSelectItemAtPos(SxGui control, int pos);
SX_EXPORT int sxOptionMenuGetSelectedItemPos(SxGui control, int* pos);

SX_EXPORT int sxListAppendItem(SxGui control, const char* item);
SX_EXPORT int sxListDeleteAllItems(SxGui control);
SX_EXPORT int sxListSelectItemAtPos(SxGui control, int pos);
SX_EXPORT int sxListSetTopPos(SxGui control, int pos);
SX_EXPORT int sxListGetSelectedItemPos(SxGui control, int* pos);

/* ---- Scales and progress bars ----------------------------------------------------------- */

SX_EXPORT int sxScaleSetMinMax(SxGui control, double min, double max);
SX_EXPORT int sxScaleSetSpinIncrement(SxGui control, double increment);
SX_EXPORT int sxScaleSetValue(SxGui control, double value);
SX_EXPORT int sxScaleGetValue(SxGui control, double* value);

SX_EXPORT int sxProgressSetMinMax(SxGui control, double min, double max);
SX_EXPORT int sxProgressGetMinMax(SxGui control, double* min, double* max);
SX_EXPORT int sxProgressSetValue(SxGui control, double value);

/* ---- Pixmaps and cursors ---------------------------------------------------------------- */

/* 0 when the resource has no such pixmap. */
SX_EXPORT SxPixmap sxResourceGetPixmap(SxResource resource, int id);
SX_EXPORT int sxSetPixmap(SxGui control, SxPixmap pixmap);
/* resource 0 asks for the host's own cursors (SX_CURSOR_WAIT). */
SX_EXPORT SxCursor sxResourceGetCursor(SxResource resource, int id);
/* Shows a cursor; 0 restores the normal one. */
SX_EXPORT int sxSetCursor(SxCursor cursor);

/* ---- Preferences (per tool) ------------------------------------------------------------- */

/* Each getter stores the stored value, or the default when the key is not held, and
 * returns 0. A stored number is converted to the type asked for (integers truncate toward
 * zero); a text asked for as a number, or a number asked for as a text, counts as not held. */
SX_EXPORT int sxPluginToolPrefGetInteger(SxTool tool, const char* key, int* value, int def);
SX_EXPORT int sxPluginToolPrefGetFloat(SxTool tool, const char* key, float* value, float def);
SX_EXPORT int sxPluginToolPrefGetDouble(SxTool tool, const char* key, double* value, double def);
/* Copies at most max characters and a terminator: buf must hold max + 1 bytes. */
SX_EXPORT int sxPluginToolPrefGetString(SxTool tool, const char* key, char* buf, int max,
                                        const char* def);
SX_EXPORT int sxPluginToolPrefSetInteger(SxTool tool, const char* key, int value);
SX_EXPORT int sxPluginToolPrefSetFloat(SxTool tool, const char* key, float value);
SX_EXPORT int sxPluginToolPrefSetDouble(SxTool tool, const char* key, double value);
SX_EXPORT int sxPluginToolPrefSetString(SxTool tool, const char* key, const char* value);

/* ---- Messages and prompts --------------------------------------------------------------- */

/* Shows a message box of a SxMessageKind; returns the answer (SX_ANSWER_YES for yes to a
 * question, SX_ANSWER_NO otherwise). */
SX_EXPORT int sxMessageDialog(SxGui parent, const char* title, const char* text, int kind);

/* File prompt (SxPromptFileMode). Pairs: "PromptFileFlags" (int), "PromptFilePattern",
 * "PromptFileTitle", "PromptFileDirectory", "PromptFileFullFilename" (texts), then 0.
 * Returns 0 when the user chose; *names is then a list of *count texts ending in a null
 * entry, freed with sxFreeStringList. Any other result: cancelled. */
SX_EXPORT int sxPromptDialogFile(SxGui parent, int mode, int* count, char*** names, ...);
SX_EXPORT void sxFreeStringList(char** names);

/* Colour prompt with components 0 ... 255 held in 16 bits; returns 0 when the user chose. */
SX_EXPORT int sxPromptDialogColor(SxGui parent, unsigned short r, unsigned short g,
                                  unsigned short b, unsigned short* outR, unsigned short* outG,
                                  unsigned short* outB);

/* ---- Images ----------------------------------------------------------------------------- */

/* Reads an image's header; 0 on success (release with sxFreeImageInfo). */
SX_EXPORT int sxReadImageInfo(const char* path, SxImageInfo* info);
/* These three return 1 on success and 0 on failure. */
SX_EXPORT int sxGetTextureType(SxImageInfo info, int* kind);
SX_EXPORT int sxGetTextureWidth(SxImageInfo info, int* width);
SX_EXPORT int sxGetTextureHeight(SxImageInfo info, int* height);
/* Decodes an image. On success (0) *pixels is a block from sxMalloc laid out as its
 * SxImageKind says, rows bottom row first; the caller frees it with sxFree. */
SX_EXPORT int sxReadImage(const char* path, unsigned char** pixels, int* kind, int* width,
                          int* height);
SX_EXPORT void sxFreeImageInfo(SxImageInfo info);

/* ---- Memory ----------------------------------------------------------------------------- */

/* A zero-filled block, or 0. */
SX_EXPORT void* sxMalloc(size_t size);
SX_EXPORT void sxFree(void* block);

/* ---- GL controls ------------------------------------------------------------------------ */

/* Sets the mouse function of a GL control; mask SX_MOUSE_EVENT. fn gets SxMouseData. */
SX_EXPORT int sxGLSetMouseFunc(SxGui control, int mask, SxGuiFn fn, void* data);

/* ---- What a plug-in exports ------------------------------------------------------------- */

/* The host looks these up by name. The texts are pointers to NUL-terminated text. */
typedef int (*SxpInitFn)(SxPlugin plugin, void* hostArg1, void* hostArg2);
typedef void (*SxpExitFn)(SxPlugin plugin);

#ifdef __cplusplus
}
#endif

#endif /* SXAPILIB_H */
