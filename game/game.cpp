// The game object: construction, start-up in its fixed order, and the per-frame update.
#include "game/game.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "app/frame_timer.h"
#include "app/settings.h"
#include "archive/catalogue.h"
#include "audio/sound_system.h"
#include "character/camera.h"
#include "game/dress_up_screen.h"
#include "game/message_window.h"
#include "game/widget.h"
#include "gfx/graphics_device.h"
#include "gfx/layered_image.h"
#include "media/model_instance.h"
#include "platform/crt_rand.h"
#include "platform/system.h"

namespace {
Game* current = nullptr;

float gaugeFill(int32_t value) {
    return static_cast<float>(std::clamp(value, 0, 100)) * 0.01f;
}
}  // namespace

Game* currentGame() {
    return current;
}
void setCurrentGame(Game* game) {
    current = game;
}

void DrawList::add(ModelInstance* object) {
    objects.push_back(object);
}

void DrawList::remove(ModelInstance* object) {
    const auto at = std::find(objects.begin(), objects.end(), object);
    if (at != objects.end()) objects.erase(at);
}

Game::Game() {
    for (int32_t& v : state.variables) v = 0;
    reset();
}

Game::~Game() {
    // Widgets unlink themselves from the global list; the scene objects go with their slots.
    closeChoiceMenu();
    dressUpScreen.reset();
    for (int i = 0; i < kModelSlotCount; ++i) removeFromSlot(i);
    if (current == this) current = nullptr;
}

void Game::initialise(const GameStart& start) {
    for (int i = 0; i < kModelSlotCount; ++i) removeFromSlot(i);
    for (SceneLight& light : lights) light = SceneLight{};
    widgetLists[kMessageWidgets].clear();
    widgetLists[kGaugeWidgets].clear();
    messageWindow.reset();
    gauges.clear();
    playerGauge = heroineGauge = nullptr;
    current = this;

    if (start.interface) fadeImage = loadLayeredImage("fade.psd");
    for (FadeChannel& fade : fades) fade = FadeChannel{};
    setCameraPath(camera, nullptr, false);
    frameTimer().reset();

    if (start.interface) loadInterface();
    if (start.interface) maskImage = loadLayeredImage("mask.psd");
    initSound();
    sound().stopVoiceSchedules();
    frameTimer().reset();

    titleShown = quitRequested = escapeAllowed = false;
    camera.locked = camera.busy = false;
    titleOverlay.reset();
    scenePicture.reset();
    reset();
    camera.pathTime = 0;

    setNames(playerName(), heroineName());
    if (start.savedState) loadState();
    crtSrand(static_cast<uint32_t>(std::time(nullptr)));
    startFile(start.script);
    frameTimer().reset();
}

void Game::loadInterface() {
    interfaceImage = loadLayeredImage("inter.psd");
    messageWindow = std::make_unique<MessageWindow>(interfaceImage.get());
    messageWindow->text = state.messageText;
    messageWindow->callback = [this](Widget&) { clickAdvance(); };
    widgetLists[kMessageWidgets].push_back(messageWindow.get());

    const char* gaugeLayers[4][2] = {{"ani_gauge", "ani_gauge"},
                                     {"imo_gauge", "imo_gauge"},
                                     {"ani_gauge_e", "ani_gauge"},
                                     {"imo_gauge_e", "imo_gauge"}};
    for (const auto& layers : gaugeLayers) {
        gauges.push_back(std::make_unique<Widget>(interfaceImage.get(), layers[0], layers[1],
                                                  nullptr, nullptr, true, 0));
        widgetLists[kGaugeWidgets].push_back(gauges.back().get());
    }
    playerGauge = gauges[2].get();
    heroineGauge = gauges[3].get();
}

int Game::frame() {
    FrameTimer& timer = frameTimer();
    timer.tick();
    const float step = timer.step();

    state.skip = state.inputEnabled &&
                 (asyncKeyDown(VK_LCONTROL) || asyncKeyDown(VK_RCONTROL) || wheelAccumulator != 0);
    sound().soundTick(step, state.skip);

    const float ms = step * 1000.0f;
    run(ms);
    playCameraPath(camera, ms);
    for (FadeChannel& fade : fades) stepFade(fade, ms);

    for (ModelInstance* object : drawList.objects) object->update(step);
    if (messageWindow) messageWindow->blinkTimer += step * 60.0f;
    if (playerGauge) playerGauge->horizontalScale = gaugeFill(state.variables[129]);
    if (heroineGauge) heroineGauge->horizontalScale = gaugeFill(state.variables[128]);

    const bool screenOpen = dressUpScreen != nullptr;
    setWidgetsShown(!screenOpen && state.inputEnabled);
    setMessageWidgetsShown(state.inputEnabled && state.messageWindowShown && !screenOpen &&
                           !titleShown && !state.choiceMode);
    if (dressUpScreen) dressUpScreen->itemScreenFrame(step);
    wheelAccumulator = 0;

    drawFrame();
    if (GraphicsDevice* g = graphicsDevice()) g->endFrame();
    return quitRequested ? 1 : 0;
}

void Game::setWidgetsShown(bool shown) {
    for (int list = 0; list < 4; ++list)
        for (Widget* widget : widgetLists[list]) widget->visible = shown;
}

void Game::setMessageWidgetsShown(bool shown) {
    for (Widget* widget : widgetLists[kMessageWidgets]) widget->visible = shown;
    for (Widget* widget : widgetLists[kGaugeWidgets])
        widget->visible = shown && state.gaugesEnabled;
}

void Game::resetFrameTimer() {
    frameTimer().reset();
}

ModelInstance* Game::modelSlot(int index) const {
    return index >= 0 && index < kModelSlotCount ? modelSlots[index].get() : nullptr;
}

ModelInstance* Game::stage(int index) const {
    return index >= 0 && index < kStageSlotCount ? modelSlots[index].get() : nullptr;
}

CharacterInstance* Game::figure(int index) const {
    if (index < 0 || index >= kFigureCount) return nullptr;
    return static_cast<CharacterInstance*>(modelSlots[kStageSlotCount + index].get());
}

const Model* Game::stageModel() const {
    const ModelInstance* stage0 = modelSlots[0].get();
    return stage0 ? stage0->body : nullptr;
}

void Game::removeFromSlot(int slot) {
    if (!modelSlots[slot]) return;
    drawList.remove(modelSlots[slot].get());
    modelSlots[slot].reset();
}

bool Game::registerModel(const char* name) {
    return ::registerModel(seenModels, state.variables, name);
}

bool Game::isModelSeen(const char* name) const {
    return ::isModelSeen(seenModels, state.variables, name);
}

void Game::saveState() const {
    ::saveState(seenModels, state.variables);
}

void Game::loadState() {
    ::loadState(seenModels, state.variables);
}
