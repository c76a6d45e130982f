// FFmpeg and the hundred libraries it brings are loaded on the first video frame asked for,
// not at every start of the program, where mapping them took half the time to the window.
#include "imgpreview/videoframe.h"

#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/xdgdirs.h"

#include <dlfcn.h>

namespace g3 {

namespace {

using OpenVideo = VideoDecoder* (*)(const char* path);

// The module's entry point, looked up once: in codecs/ beside the executable, else (tests
// and tools run from the build tree) where the build puts it. Null when neither loads. Once
// loaded it stays mapped to the end of the process (RTLD_NODELETE): FFmpeg keeps allocations
// in its own globals, which must not vanish while the process still runs its exit handlers.
OpenVideo openVideoEntry() {
    static const LibraryHandle module = [] {
        for (const std::string& dir : {joinPath(executableFolder(), "codecs"), std::string(G3_BUILD_CODECS_DIR)}) {
            LibraryHandle m(::dlopen(joinPath(dir, "videoframe.so").c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
            if (m) return m;
        }
        return LibraryHandle();
    }();
    return module ? reinterpret_cast<OpenVideo>(::dlsym(module.get(), "g3_open_video")) : nullptr;
}

} // namespace

VideoStream::VideoStream(const std::string& path) {
    if (OpenVideo open = openVideoEntry()) d_.reset(open(path.c_str()));
}

VideoStream::~VideoStream() = default;

bool VideoStream::isOpen() const {
    return d_ != nullptr;
}

const TAviStreamInfo& VideoStream::info() const {
    return d_->info();
}

std::vector<std::uint8_t> VideoStream::frameAsDib(std::uint32_t index) {
    return d_ ? d_->frameAsDib(index) : std::vector<std::uint8_t>();
}

} // namespace g3
