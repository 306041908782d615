// The interface pictures (PSD) of the demo.
#pragma once

#include <filesystem>

// Writes inter.psd, fade.psd, mask.psd, title2.psd, setup.psd, item_nil.psd, item_sys.psd,
// scene01.psd and scene02.psd into `dir`; false with a message on stderr when one fails.
bool makeInterfaceArt(const std::filesystem::path& dir);
