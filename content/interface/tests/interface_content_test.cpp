// The built interface add-ons: every file and layer the game looks up exists, the dress-up
// screen's pieces do not cover each other, and every sound decodes and is not silent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "archive/catalogue.h"
#include "audio/memory_stream.h"
#include "audio/ogg_source.h"
#include "game/fade.h"
#include "media/psd_decoder.h"

namespace {
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool contains(const Box& b) const {
        return b.left >= left && b.top >= top && b.right() <= right() && b.bottom() <= bottom();
    }
    bool overlaps(const Box& b) const {
        return b.left < right() && left < b.right() && b.top < bottom() && top < b.bottom();
    }
};

struct Layer {
    Box box;
    bool visible = false;  // some pixel is not fully transparent
    bool opaqueWhite = true;
};

// The layers of a PSD from the add-ons, by name, in file order.
std::vector<std::pair<std::string, Layer>> layersOf(const char* file) {
    size_t size = 0;
    char* data = loadFile(file, &size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data);
    std::vector<std::pair<std::string, Layer>> layers;
    const int count = countPsdLayers(bytes, size);
    for (int i = 0; i < count; ++i) {
        PsdLayer* psd = readPsdLayer(bytes, size, i);
        if (!psd) continue;
        Layer layer;
        layer.box = {psd->left, psd->top, psd->width, psd->height};
        const size_t n = static_cast<size_t>(psd->width) * psd->height;
        for (size_t p = 0; psd->pixels && p < n; ++p) {
            layer.visible |= (psd->pixels[p] >> 24) != 0;
            layer.opaqueWhite &= psd->pixels[p] == 0xFFFFFFFFu;
        }
        layers.emplace_back(psd->name, layer);
        freePsdLayer(psd);
    }
    std::free(data);
    return layers;
}

Layer find(const std::vector<std::pair<std::string, Layer>>& layers, const std::string& name) {
    for (const auto& [n, l] : layers)
        if (n == name) return l;
    ADD_FAILURE() << "no layer " << name;
    return {};
}

class InterfaceContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(chdir(TR2_BINARY_DIR "/run"), 0);
        buildCatalogue();
    }
};

TEST_F(InterfaceContent, EveryLayerTheGameLooksUpIsThereAndDrawn) {
    std::map<std::string, std::vector<std::string>> wanted = {
        {"inter.psd",
         {"window", "pageicon", "ani_gauge", "ani_gauge_e", "imo_gauge", "imo_gauge_e", "menuitem",
          "menuitem_i"}},
        {"setup.psd",
         {"title", "BGwin", "BGsample", "menu1_a", "menu1_b", "menu2_a", "menu2_b", "menu3_a",
          "menu3_b", "BGbutton_L", "BGbutton_R", "itembutton_U", "itembutton_D", "itembutton13a",
          "itembutton13b", "filewin", "filebutton", "window"}},
    };
    for (int k = 1; k <= 13; ++k) wanted["setup.psd"].push_back("itemwin" + std::to_string(k));
    for (int k = 1; k <= 12; ++k) wanted["setup.psd"].push_back("itembutton" + std::to_string(k));
    for (const auto& [file, names] : wanted) {
        const auto layers = layersOf(file.c_str());
        for (const std::string& name : names) {
            SCOPED_TRACE(file + " " + name);
            const Layer l = find(layers, name);
            EXPECT_TRUE(l.visible);
            EXPECT_TRUE(Box({0, 0, 800, 600}).contains(l.box));
        }
    }
    // Pictures drawn by index: the title's two layers, the cells' two states, the remove cell,
    // the scene cards over the whole screen.
    EXPECT_EQ(layersOf("title2.psd").size(), 2u);
    EXPECT_EQ(layersOf("item_nil.psd").size(), 2u);
    EXPECT_GE(layersOf("item_sys.psd").size(), 1u);
    for (const char* card : {"scene01.psd", "scene02.psd"}) {
        const auto layers = layersOf(card);
        ASSERT_FALSE(layers.empty());
        EXPECT_EQ(layers[0].second.box.width, 800);
        EXPECT_EQ(layers[0].second.box.height, 600);
    }
}

TEST_F(InterfaceContent, FadeIsOpaqueWhiteAndTheMaskIsCentredOn128) {
    // The fade is tinted black or white, so it must be white; the mask is centred by 64.
    const auto fade = layersOf("fade.psd");
    ASSERT_FALSE(fade.empty());
    EXPECT_TRUE(fade[0].second.opaqueWhite);
    const auto mask = layersOf("mask.psd");
    ASSERT_FALSE(mask.empty());
    EXPECT_EQ(mask[0].second.box.width, 128);
    EXPECT_EQ(mask[0].second.box.height, 128);
}

TEST_F(InterfaceContent, DressUpScreenPiecesDoNotCoverEachOther) {
    const auto setup = layersOf("setup.psd");
    const Box panel = find(setup, "itemwin13").box;
    // The 48 cells the game places at (510 + 40 c, 110 + 40 r), 40 x 40 each.
    const Box grid{510, 110, 6 * 40, 8 * 40};
    EXPECT_TRUE(panel.contains(grid));
    std::vector<std::pair<std::string, Box>> buttons;
    for (int k = 1; k <= 12; ++k)
        buttons.emplace_back("itembutton" + std::to_string(k),
                             find(setup, "itembutton" + std::to_string(k)).box);
    for (const char* name : {"itembutton13a", "itembutton_U", "itembutton_D"})
        buttons.emplace_back(name, find(setup, name).box);
    for (size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(buttons[i].first);
        EXPECT_TRUE(panel.contains(buttons[i].second));
        EXPECT_FALSE(grid.overlaps(buttons[i].second));
        for (size_t j = i + 1; j < buttons.size(); ++j)
            EXPECT_FALSE(buttons[i].second.overlaps(buttons[j].second)) << buttons[j].first;
    }
    // Eight save or load buttons, 40 apart from the "filebutton" layer, inside "filewin".
    const Box fileButton = find(setup, "filebutton").box;
    Box last = fileButton;
    last.top += 7 * 40;
    EXPECT_TRUE(find(setup, "filewin").box.contains(last));
    EXPECT_LE(fileButton.height, 40);
    // The left column and the menu stay clear of the item window and the info panel.
    const Box info = find(setup, "window").box;
    for (const char* name : {"title", "BGwin", "menu1_a", "menu2_a", "menu3_a"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(find(setup, name).box.overlaps(panel));
        EXPECT_FALSE(find(setup, name).box.overlaps(info));
    }
    EXPECT_TRUE(find(setup, "BGwin").box.contains(find(setup, "BGsample").box));
    // Info panel text: 20 characters of 14 from left + 20, two lines of 19 from top + 36.
    EXPECT_GE(info.width, 20 + 20 * 14);
    EXPECT_GE(info.height, 36 + 2 * 19);
}

TEST_F(InterfaceContent, MessageWindowHoldsAFullPage) {
    // 25 characters of 25 pixels from left + 28; the name line and three lines of 29 from
    // top + 16; the page icon sits on the window.
    const auto inter = layersOf("inter.psd");
    const Box window = find(inter, "window").box;
    EXPECT_GE(window.width, 28 + 25 * 25);
    EXPECT_GE(window.height, 16 + 4 * 29);
    EXPECT_TRUE(window.contains(find(inter, "pageicon").box));
    // Gauge fills grow rightwards from their own left edge inside their frames.
    EXPECT_TRUE(find(inter, "ani_gauge").box.contains(find(inter, "ani_gauge_e").box));
    EXPECT_TRUE(find(inter, "imo_gauge").box.contains(find(inter, "imo_gauge_e").box));
    EXPECT_EQ(find(inter, "menuitem").box.width, find(inter, "menuitem_i").box.width);
}

// The character codes "font.bin" has a glyph for.
std::vector<bool> glyphCodes() {
    std::vector<bool> codes(65536, false);
    size_t size = 0;
    char* data = loadFile("font.bin", &size);
    const auto* b = reinterpret_cast<const uint8_t*>(data);
    auto word = [&](size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24;
    };
    if (size >= 16) {
        const size_t count = word(4), glyph = word(8);
        const size_t record = 2 + glyph * glyph;
        for (size_t i = 0; i < count && 16 + (i + 1) * record <= size; ++i) {
            const size_t at = 16 + i * record;
            codes[b[at] | b[at + 1] << 8] = true;
        }
    }
    std::free(data);
    return codes;
}

TEST_F(InterfaceContent, EveryCharacterTheScenarioShowsHasAGlyph) {
    // A character without a glyph shows as a solid square; comment lines are never shown.
    const std::vector<bool> codes = glyphCodes();
    for (const char* file : {"script.txt", "chapter2.txt"}) {
        char* text = loadFile(file);
        const auto* p = reinterpret_cast<const unsigned char*>(text);
        bool comment = false, lineStart = true;
        for (; *p; ++p) {
            if (lineStart) comment = *p == '#';
            lineStart = *p == '\n';
            if (*p < 0x80) continue;
            if (!p[1]) break;
            const int code = p[0] << 8 | p[1];
            if (!comment) {
                EXPECT_TRUE(codes[code]) << file << ": no glyph for 0x" << std::hex << code;
            }
            ++p;
        }
        std::free(text);
    }
}

// A fade to clear that stops a hair short of it leaves a full-screen quad of alpha 1 drawn on
// every later frame: each fade of the scenario to 255 or 256 must end exactly clear. Levels
// are followed through each file in order, as the fades run when nothing jumps.
TEST_F(InterfaceContent, FadesToClearEndClear) {
    for (const char* file : {"script.txt", "chapter2.txt"}) {
        char* text = loadFile(file);
        FadeChannel channels[2];
        for (const char* p = text; (p = std::strstr(p, "%f")) != nullptr; p += 2) {
            int channel = 0, level = 0, frames = 0;
            if (std::sscanf(p, "%%f%d,%d,%d;", &channel, &level, &frames) != 3) continue;
            if (channel < 0 || channel > 1) continue;
            FadeChannel& fade = channels[channel];
            startFade(fade, level, frames);
            stepFade(fade, float(frames * kFadeStepMs));
            if (level == 255 || level == 256) {
                EXPECT_EQ(fade.colour >> 24, 0u)
                    << file << ": " << std::string(p, std::strcspn(p, "\n")) << " ends at level "
                    << fade.level;
            }
        }
        std::free(text);
    }
}

struct Decoded {
    bool opened = false;
    int channels = 0, rate = 0;
    std::vector<int16_t> samples;
};

Decoded decode(const std::string& name) {
    Decoded d;
    MemoryStream stream(name.c_str());
    {
        // The decoder closes the stream's data when it goes, so it goes first.
        OggSource source(&stream, false, &d.opened);
        d.channels = source.channels();
        d.rate = source.rate();
        int16_t buffer[4096];
        size_t got;
        while (d.opened && (got = source.read(buffer, sizeof buffer)) > 0)
            d.samples.insert(d.samples.end(), buffer, buffer + got / 2);
    }
    return d;
}

int peak(const std::vector<int16_t>& s) {
    int p = 0;
    for (int16_t v : s) p = std::max(p, std::abs(static_cast<int>(v)));
    return p;
}

TEST_F(InterfaceContent, EverySoundDecodesAndIsHeard) {
    std::vector<std::pair<std::string, double>> sounds = {// name, longest seconds
                                                          {"se100", 1},
                                                          {"se101", 1},
                                                          {"se102", 1},
                                                          {"0012", 5},
                                                          {"0015", 5}};
    for (int n = 21; n <= 35; ++n) sounds.emplace_back("00" + std::to_string(n), 5);
    for (int n = 100; n <= 109; ++n) sounds.emplace_back("0" + std::to_string(n), 5);
    for (const auto& [name, longest] : sounds) {
        SCOPED_TRACE(name);
        const Decoded d = decode(name + ".ogg");
        ASSERT_TRUE(d.opened);
        ASSERT_GT(d.channels, 0);
        const double seconds = static_cast<double>(d.samples.size()) / d.channels / d.rate;
        EXPECT_GT(seconds, 0.1);
        EXPECT_LT(seconds, longest);
        EXPECT_GT(peak(d.samples), 3000);
    }
}

TEST_F(InterfaceContent, LoopsJoinWithoutAClick) {
    // Music and the ambient loop repeat: the step from the last frame to the first must be no
    // bigger than the steps the sound takes anyway around the join.
    for (const char* name : {"bgm01.ogg", "bgm02.ogg", "amb01.ogg"}) {
        SCOPED_TRACE(name);
        const Decoded d = decode(name);
        ASSERT_TRUE(d.opened);
        ASSERT_EQ(d.channels, 2);
        const size_t frames = d.samples.size() / 2;
        EXPECT_GT(static_cast<double>(frames) / d.rate, 15);
        EXPECT_GT(peak(d.samples), 8000);
        for (int c = 0; c < 2; ++c) {
            auto at = [&](size_t f) { return static_cast<int>(d.samples[2 * (f % frames) + c]); };
            int usual = 0;
            for (size_t f = frames - 32; f < frames + 32; ++f)
                if (f != frames - 1) usual = std::max(usual, std::abs(at(f + 1) - at(f)));
            EXPECT_LE(std::abs(at(0) - at(frames - 1)), 2 * usual + 64) << "channel " << c;
        }
    }
}
}  // namespace
