// The message table and the report loop of OpenGL errors.
#include "app/gl_errors.h"

#include "app/messages.h"
#include "app/text.h"

namespace vorticel {
namespace {

constexpr int kInvalidOperation = 0x0502;

} // namespace

QString GlErrorMessage(int code) {
    switch (code) {
    case 0x0500:
        return Text(kStrGlInvalidEnum);
    case 0x0501:
        return Text(kStrGlInvalidValue);
    case 0x0503:
        return Text(kStrGlStackOverflow);
    case 0x0504:
        return Text(kStrGlStackUnderflow);
    case 0x0505:
        return Text(kStrGlOutOfMemory);
    case kGlNoPixelFormat:
        return Text(kStrGlNoPixelFormat);
    case kGlSetPixelFormat:
        return Text(kStrGlSetPixelFormat);
    case kGlCreateContext:
        return Text(kStrGlCreateContext);
    case kGlLinkContext:
        return Text(kStrGlLinkContext);
    case kGlUnlinkContext:
        return Text(kStrGlUnlinkContext);
    case kGlDeleteContext:
        return Text(kStrGlDeleteContext);
    default:
        return {};
    }
}

void ReportGLError(int code, const std::function<int()>& pendingError) {
    const auto next = [&pendingError] { return pendingError ? pendingError() : 0; };
    if (code == 0) {
        code = next();
    }
    while (code != 0 && code != kInvalidOperation) {
        ShowMessage(MessageKind::Error, Text(kStrGlErrorCaption), GlErrorMessage(code));
        code = next();
    }
}

} // namespace vorticel
