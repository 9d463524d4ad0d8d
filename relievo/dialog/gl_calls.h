// The OpenGL 1.1 functions the dialog draws with, found in the process at the first draw.
//
// The host loads its GL library only when a GL control first draws, into the process's global
// scope, so the plug-in does not link one: it looks the functions up by name when the host
// first calls a draw callback, and keeps them for the process's life.
#ifndef RELIEVO_DIALOG_GL_CALLS_H
#define RELIEVO_DIALOG_GL_CALLS_H

#include <GL/gl.h>

namespace relievo {

#define RELIEVO_GL_CALLS(X) \
  X(glBegin)                \
  X(glClear)                \
  X(glClearColor)           \
  X(glColor3ub)             \
  X(glDrawPixels)           \
  X(glEnd)                  \
  X(glGetIntegerv)          \
  X(glPixelStorei)          \
  X(glPopAttrib)            \
  X(glPushAttrib)           \
  X(glRasterPos2i)          \
  X(glShadeModel)           \
  X(glVertex3i)

// One member per function, named as the function is.
struct GlCalls {
#define RELIEVO_GL_MEMBER(name) decltype(&::name) name;
  RELIEVO_GL_CALLS(RELIEVO_GL_MEMBER)
#undef RELIEVO_GL_MEMBER
};

// The functions; null when the process holds no GL library with all of them (a draw
// callback then draws nothing). Looked up once, at the first call.
const GlCalls* glCalls();

}  // namespace relievo

#endif  // RELIEVO_DIALOG_GL_CALLS_H
