// Whole message pages through the real device match the plain per-glyph path pixel for pixel.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/headless_device.h"
#include "tests/support/test_font.h"

namespace {
// A full message page, after a name line: 12 lines of 31 characters and a last line of 6. The
// characters cycle through the shaded glyphs at a stride that repeats some and not others,
// with the solid, half, full-stop and missing glyphs among them.
std::string page() {
    std::string text = "_\x01";
    auto add = [&](uint16_t code) { text += {char(code >> 8), char(code & 0xFF)}; };
    add(kFullGlyph);
    add(kLeftHalfGlyph);
    text += "\r\n";
    const uint16_t others[] = {kFullGlyph, kLeftHalfGlyph, kFullStopGlyph, kMissingGlyph};
    int n = 0;
    for (int line = 0; line < 13; ++line) {
        for (int i = 0; i < (line < 12 ? 31 : 6); ++i, ++n)
            add(n % 9 == 4 ? others[n % 4]
                           : uint16_t(kShadedGlyphFirst + n * 7 % kShadedGlyphCount));
        text += '\n';
    }
    return text;
}

using Frame = std::function<void(GraphicsDevice&)>;

// The back buffer after each frame of `frames`, drawn on a fresh device of the given size.
std::vector<BackBufferImage> render(int width, int height, bool plain,
                                    const std::vector<Frame>& frames) {
    std::unique_ptr<HeadlessDevice> d;
    {
        std::unique_ptr<PlainSprites> plainSprites;
        if (plain) plainSprites = std::make_unique<PlainSprites>();
        d = std::make_unique<HeadlessDevice>(width, height);
    }
    std::vector<BackBufferImage> images;
    if (!d->ok()) return images;
    for (const Frame& f : frames) {
        d->graphics->beginFrame(0xFF204060);
        d->graphics->sprite()->Begin();
        f(*d->graphics);
        d->graphics->sprite()->End();
        d->readBack();
        images.push_back(d->image);
        d->graphics->endFrame();
    }
    return images;
}
}  // namespace

TEST(TextPage, PagesDrawnAgainAndOverTheWrappedRingMatchThePlainPath) {
    const std::string text = page();
    const std::vector<Frame> frames = {
        // Part of the page, as the message window reveals it.
        {[&](GraphicsDevice& g) {
            g.drawText(30, 100, 0xFFFFFFFF, text.c_str(), -1, 0xFFFF, 150);
        }},
        // The whole page: the first characters again, the rest new.
        {[&](GraphicsDevice& g) { g.drawText(30, 100, 0xFFFFFFFF, text.c_str()); }},
        // The page twice more, over itself at an odd offset, in other colours and sizes.
        {[&](GraphicsDevice& g) {
            g.drawText(30, 100, 0xFFFFFFFF, text.c_str());
            g.drawText(33.5f, 101.25f, 0x80F0C020, text.c_str(), 20);
            g.drawText(10, 20, 0xC0FF00FF, text.c_str(), 33, 12, 100);
        }},
    };
    for (auto [width, height] : {std::pair{800, 600}, std::pair{1024, 768}, std::pair{643, 517}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const std::vector<BackBufferImage> plain = render(width, height, true, frames);
        const std::vector<BackBufferImage> batched = render(width, height, false, frames);
        ASSERT_EQ(plain.size(), frames.size());
        ASSERT_EQ(batched.size(), frames.size());
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_EQ(firstDifference(plain[i], batched[i]), "") << "frame " << i;
        // The page really is on screen: the first and second frames differ.
        EXPECT_NE(firstDifference(plain[0], plain[1]), "");
    }
}
