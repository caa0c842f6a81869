// OpenGL context errors and their messages.
#pragma once

#include <QString>
#include <functional>

namespace vorticel {

// The program's own codes for the window-system steps of a context.
enum GlContextError : int {
    kGlNoPixelFormat = 1408,
    kGlSetPixelFormat = 1409,
    kGlCreateContext = 1410,
    kGlLinkContext = 1411,
    kGlUnlinkContext = 1412,
    kGlDeleteContext = 1413,
};

// The message of a GL error code (0x0500..0x0505) or of a context code; empty otherwise.
QString GlErrorMessage(int code);

// Shows `code`'s message in an error box captioned "OpenGL application error". With code 0, drains
// the pending GL errors of the current context instead, one message each, stopping at the first
// GL_INVALID_OPERATION. `pendingError` reads the next GL error (0 when none).
void ReportGLError(int code, const std::function<int()>& pendingError = {});

} // namespace vorticel
