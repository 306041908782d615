// The real render device on a hidden window, as the benchmarks that draw use it.
#pragma once

#include <memory>

#include "app/settings.h"
#include "archive/catalogue.h"
#include "gfx/graphics_device.h"
#include "platform/window.h"

struct BenchDevice {
    std::unique_ptr<Window> window;
    GraphicsDevice graphics;

    // The device loads "font.bin" from the add-ons of the run folder the benchmarks start in.
    explicit BenchDevice(int width = 800, int height = 600) {
        buildCatalogue();
        Settings& s = mutableSettings();
        s.screenWidth = width;
        s.screenHeight = height;
        s.windowed = true;
        WindowDescription d;
        d.outerWidth = width;
        d.outerHeight = height;
        window = createWindow(d);
        setGraphicsDevice(&graphics);
        if (window) graphics.init(window.get());
    }
    ~BenchDevice() { setGraphicsDevice(nullptr); }
};
