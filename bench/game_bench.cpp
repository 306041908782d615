// The game's frame: a lit 13-part figure on a stage with the message window typing and a fade
// at 800 x 600 on the real device, and the game's own CPU work per frame on the null device.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/frame_timer.h"
#include "app/settings.h"
#include "archive/catalogue.h"
#include "bench/bench_device.h"
#include "bench/bench_figure.h"
#include "bench/bench_paired.h"
#include "game/dress_up_screen.h"
#include "game/fade.h"
#include "game/game.h"
#include "gfx/graphics_device.h"
#include "platform/null_render_device.h"
#include "tests/support/game_addons.h"
#include "tests/support/test_files.h"
#include "tools/writers/archive_writer.h"
#include "tools/writers/psd_writer.h"

namespace {
// A page that keeps typing: the scene the player sees most of the time.
const char* kScenario =
    "%f0,256,0;%f1,256,0;%W1;%f1,160,0;%mb0,stage;"
    "%ml0,body;%ma0,1,part01;%ma0,2,part02;%ma0,3,part03;%ma0,4,part04;%ma0,5,part05;"
    "%ma0,6,part06;%ma0,7,part07;%ma0,8,part08;%ma0,9,part09;%ma0,10,part10;%ma0,11,part11;"
    "%ma0,12,part12;%mm0,sway;%ld0,1,1,1;%lv0,0,-0.3,-1;%le0,1;%croute,1;"
    ":Page;%n;きょうはいいてんきですね。おにいちゃん、いっしょにおさんぽしませんか。%R%JPage;";

// Writes the add-ons into a fresh folder and makes it the current one.
std::filesystem::path sceneFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "tr2_game_bench";
    std::filesystem::remove_all(folder);
    writeGameAddOns(folder, {{"script.txt", kScenario}});
    std::vector<ArchiveMember> members;
    auto add = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        ArchiveMember m;
        m.name = name;
        m.data = bytes;
        members.push_back(m);
    };
    add("body.tmb", writeTmb(bodyModel()));
    for (int i = 1; i <= 12; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "part%02d.tmb", i);
        add(name, writeTmb(partModel(i)));
    }
    add("sway.tsb", writeTsb(swayMotion()));
    writeArchiveFile(folder / "add-ons" / "figure.tr2", fileListDescription(members), members);
    std::filesystem::copy_file("add-ons/font.tr2", folder / "add-ons" / "font.tr2");
    std::filesystem::current_path(folder);
    return folder;
}

// Starts the game and runs it into the scene: everything loaded, the page typing.
void startScene(Game& game) {
    mutableSettings().noSound = true;
    frameTimer().drivenStep = 0.016f;
    game.initialise();
    for (int i = 0; i < 60; ++i) game.frame();
}

void BM_GameFrame800x600(benchmark::State& state) {
    const auto previous = std::filesystem::current_path();
    sceneFolder();
    {
        BenchDevice bench(800, 600);
        Game game;
        startScene(game);
        for (auto _ : state) game.frame();
    }
    std::filesystem::current_path(previous);
}
BENCHMARK(BM_GameFrame800x600)->Unit(benchmark::kMillisecond)->UseRealTime();

// Whether the current folder's add-ons hold the demo; skips the benchmark when they do not.
bool demoAddOnsHere(benchmark::State& state) {
    if (fileSize("script.txt") != 0 || (buildCatalogue(), fileSize("script.txt") != 0)) return true;
    state.SkipWithError("run from build/run, where the demo add-ons are");
    return false;
}

// Starts the demo without sound or a saved state, at 16 ms a frame.
void startDemo(Game& game) {
    mutableSettings().noSound = true;
    frameTimer().drivenStep = 0.016f;
    GameStart start;
    start.savedState = false;
    game.initialise(start);
}

// The demo itself, from the run folder's add-ons: the title over the lit heroine in her room,
// after its opening camera path and fades have settled (6 s of game time).
void BM_DemoTitleFrame800x600(benchmark::State& state) {
    if (!demoAddOnsHere(state)) return;
    BenchDevice bench(800, 600);
    Game game;
    startDemo(game);
    for (int i = 0; i < 375; ++i) game.frame();
    for (auto _ : state) game.frame();
}
BENCHMARK(BM_DemoTitleFrame800x600)->Unit(benchmark::kMillisecond)->UseRealTime();

// The demo past its title at 1024 x 768: "Start" chosen, the heroine in full costume on her
// stage, the message window with her first line typed out and waiting for a click, and fade
// channel 1 held half way (level 160) over everything. Frames are timed to the end of their
// rendering, alternately without and with the device's shortcuts (before_ms, after_ms,
// ratio); same_picture says whether both ways draw the scene to the same bytes.
void BM_DemoSceneFrame1024x768(benchmark::State& state) {
    if (!demoAddOnsHere(state)) return;
    BenchDevice bench(1024, 768);
    RenderDevice* device = bench.graphics.device();
    if (!device) {
        state.SkipWithError("no render device");
        return;
    }
    Game game;
    startDemo(game);
    for (int i = 0; i < 375 && !game.state.choiceMode; ++i) game.frame();
    if (!game.state.choiceMode) {
        state.SkipWithError("the title's choices did not open");
        return;
    }
    game.chooseEntry(0);
    for (int i = 0; i < 3000 && !(game.state.waitingForClick && game.state.messageWindowShown); ++i)
        game.frame();
    if (!game.state.waitingForClick || !game.figure(0)) {
        state.SkipWithError("the first page of the scene was not reached");
        return;
    }
    startFade(game.fades[1], 160, 0);
    game.frame();
    state.counters["same_picture"] = samePictureBothWays(device, [&] { game.drawFrame(); }) ? 1 : 0;
    runPairedFrames(state, device, [&] { game.frame(); });
}
BENCHMARK(BM_DemoSceneFrame1024x768)->Unit(benchmark::kMillisecond)->UseRealTime();

// The game's CPU work: script, camera, updates and draw submission, without the rasteriser.
void BM_GameFrameCpu(benchmark::State& state) {
    const auto previous = std::filesystem::current_path();
    sceneFolder();
    {
        buildCatalogue();
        GraphicsDevice graphics;
        graphics.initWithDevice(std::make_unique<NullRenderDevice>());
        setGraphicsDevice(&graphics);
        Game game;
        startScene(game);
        for (auto _ : state) game.frame();
        setGraphicsDevice(nullptr);
    }
    std::filesystem::current_path(previous);
}
BENCHMARK(BM_GameFrameCpu)->Unit(benchmark::kMicrosecond);

// Opening the hair window with 1000 hair add-ons in the catalogue, each in its own archive
// with a 36 x 36 icon of two layers: listing, icon loading, textures and cells.
void BM_OpenItemWindow1000AddOns(benchmark::State& state) {
    const auto previous = std::filesystem::current_path();
    const auto folder = std::filesystem::temp_directory_path() / "tr2_item_window_bench";
    std::filesystem::remove_all(folder);
    writeGameAddOns(folder, {{"script.txt", "%ml0,figure;%Z1;"}});
    PsdDocument icon;
    const std::vector<uint32_t> pixels(36 * 36, 0xFF30C0C0);
    icon.layers = {psdLayer("dim", 0, 0, 36, 36, pixels), psdLayer("lit", 0, 0, 36, 36, pixels)};
    ArchiveMember member;
    member.data = writePsd(icon);
    for (int i = 0; i < 1000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "hair%04d", i);
        member.name = std::string(name) + ".psd";
        const std::string keys = std::string("TYPE=HAIR\nNAME=") + name +
                                 "\nICON_0=" + member.name + "\nFILE_0=figure.tmb\n";
        writeArchiveFile(folder / "add-ons" / (std::string(name) + ".tr2"), keys, {member});
    }
    std::filesystem::copy_file("add-ons/font.tr2", folder / "add-ons" / "font.tr2");
    std::filesystem::current_path(folder);
    {
        BenchDevice bench(800, 600);
        Game game;
        startScene(game);
        if (DressUpScreen* screen = game.dressUpScreen.get()) {
            for (auto _ : state) screen->openItemWindow(1);
        } else {
            state.SkipWithError("the dress-up screen did not open");
        }
    }
    std::filesystem::current_path(previous);
}
BENCHMARK(BM_OpenItemWindow1000AddOns)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace

BENCHMARK_MAIN();
