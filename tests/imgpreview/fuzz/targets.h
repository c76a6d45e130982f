// The loader's fuzz targets: each hands arbitrary bytes to one decoder the way the loader
// does. A target must never crash, hang or read outside the bytes, whatever they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace g3fuzz {

struct Target {
    const char* name;
    void (*run)(const std::uint8_t* data, std::size_t size);
};

// bmp, jpeg, png, gif, psd, emf, peicons, eml
std::span<const Target> targets();
const Target* targetNamed(const char* name);

// Makes the QGuiApplication the decoders draw with (offscreen); once.
void startGui();

} // namespace g3fuzz
